# The programs' version: the project's version plus, when built from a git
# checkout, what `git describe` says of it. The description is taken at build
# time (not only when CMake configures), so a version never goes stale; without
# git or outside a checkout it is simply left out.
#
# Included from the top CMakeLists.txt it defines the library logwick_version
# (header "version/program_version.h"); run with -P it rewrites the generated
# source, touching it only when the description changed.

function(logwick_write_version_source source_dir output)
  set(LOGWICK_GIT_DESCRIBE "")
  find_package(Git QUIET)
  if(GIT_FOUND)
    # Only the project's own checkout counts, not a repository it happens to sit in.
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${source_dir} rev-parse --show-toplevel
                    OUTPUT_VARIABLE top RESULT_VARIABLE rc ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(rc EQUAL 0 AND top)
      file(REAL_PATH "${top}" top)
      file(REAL_PATH "${source_dir}" here)
    endif()
    if(rc EQUAL 0 AND top STREQUAL here)
      execute_process(COMMAND ${GIT_EXECUTABLE} -C ${source_dir} describe --tags --always --dirty
                      OUTPUT_VARIABLE LOGWICK_GIT_DESCRIBE RESULT_VARIABLE rc ERROR_QUIET
                      OUTPUT_STRIP_TRAILING_WHITESPACE)
      if(NOT rc EQUAL 0)
        set(LOGWICK_GIT_DESCRIBE "")
      endif()
    endif()
  endif()
  configure_file(${source_dir}/cmake/program_version.cpp.in ${output} @ONLY)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  logwick_write_version_source(${SOURCE_DIR} ${OUTPUT})
  return()
endif()

set(_dir ${CMAKE_BINARY_DIR}/generated)
set(_source ${_dir}/program_version.cpp)
configure_file(${PROJECT_SOURCE_DIR}/cmake/program_version.h.in ${_dir}/version/program_version.h @ONLY)
logwick_write_version_source(${PROJECT_SOURCE_DIR} ${_source})
add_custom_target(logwick_version_describe
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DOUTPUT=${_source}
          -P ${PROJECT_SOURCE_DIR}/cmake/LogwickVersion.cmake
  BYPRODUCTS ${_source}
  COMMENT "Version: git describe"
  VERBATIM)
add_library(logwick_version STATIC ${_source})
target_include_directories(logwick_version PUBLIC ${_dir})
add_dependencies(logwick_version logwick_version_describe)
