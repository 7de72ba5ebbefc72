# Cross-build for 64-bit Windows with mingw-w64 (posix threads variant, so that
# std::thread and std::mutex work), tests run through Wine.
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LOGWICK_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LOGWICK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LOGWICK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${LOGWICK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LOGWICK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Without a static runtime every exe needs libstdc++-6.dll, libgcc_s_seh-1.dll
# and libwinpthread-1.dll beside it; Wine then ends it with status 53 and no
# message. -static pulls in winpthread as well.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(LOGWICK_WINE NAMES wine wine64)
if(LOGWICK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${LOGWICK_WINE})
endif()

# Host-only, header-only libraries (CLI11) are wired up after project().
set(CMAKE_PROJECT_INCLUDE ${CMAKE_CURRENT_LIST_DIR}/mingw-w64-project.cmake)
