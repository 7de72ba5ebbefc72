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
