# Runs after every project() of the mingw-w64 cross-build (see mingw-w64.cmake).
include_guard(GLOBAL)

# CLI11 is header-only and lives in the host's /usr/include. Putting that whole
# folder on the path would shadow the mingw-w64 headers, so the cross-build sees
# it through a folder that holds only a link to CLI/.
if(NOT TARGET CLI11::CLI11 AND EXISTS /usr/include/CLI/CLI.hpp)
  set(_logwick_cross_include ${CMAKE_BINARY_DIR}/cross-include)
  file(MAKE_DIRECTORY ${_logwick_cross_include})
  file(CREATE_LINK /usr/include/CLI ${_logwick_cross_include}/CLI SYMBOLIC)
  add_library(CLI11::CLI11 INTERFACE IMPORTED GLOBAL)
  set_target_properties(CLI11::CLI11 PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${_logwick_cross_include})
endif()

# SQLite, OpenSSL and libpq for Windows, cross-built from Debian's source
# packages by scripts/windows/deps/build.sh (make test-windows runs it): one
# folder per library, each with include/ and lib/. Searched like the
# cross-compiler's own folder, so that find_package(SQLite3) and
# find_package(PostgreSQL) take them and nothing of the host.
set(LOGWICK_WINDOWS_DEPS "" CACHE STRING
  "Folders of the cross-built SQLite, OpenSSL and libpq (scripts/windows/deps/build.sh prints them)")
list(APPEND CMAKE_FIND_ROOT_PATH ${LOGWICK_WINDOWS_DEPS})

# They are static libraries: libpq brings OpenSSL and the system libraries
# the three call along.
find_package(PostgreSQL QUIET)
find_package(OpenSSL QUIET COMPONENTS SSL Crypto)
if(PostgreSQL_FOUND AND OpenSSL_FOUND)
  set_property(TARGET PostgreSQL::PostgreSQL APPEND PROPERTY INTERFACE_LINK_LIBRARIES
    OpenSSL::SSL OpenSSL::Crypto secur32 ws2_32 crypt32 gdi32 shell32 advapi32 user32)
endif()
