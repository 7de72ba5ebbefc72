# What each target may include. A library exposes the headers of its own
# folder and nothing else of the tree: the build tree holds, per folder, an
# include folder with one link to the source folder, so "lists/report.h"
# resolves for lists/ and whatever links logwick_lists, and "app/..." for
# nobody below app/. An include that runs upward does not compile.

# Makes `link` a link to the folder `source` (a junction where Windows grants
# no symbolic links); an existing link to elsewhere is replaced.
function(logwick_link_folder source link)
  if(IS_SYMLINK ${link})
    file(READ_SYMLINK ${link} target)
    if(target STREQUAL source)
      return()
    endif()
    file(REMOVE ${link})
  elseif(IS_DIRECTORY ${link})
    return()
  endif()
  get_filename_component(parent ${link} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${source} ${link} SYMBOLIC RESULT failed)
  if(failed AND CMAKE_HOST_WIN32)
    file(TO_NATIVE_PATH ${source} native_source)
    file(TO_NATIVE_PATH ${link} native_link)
    execute_process(COMMAND cmd /c mklink /J "${native_link}" "${native_source}"
                    RESULT_VARIABLE failed OUTPUT_QUIET)
  endif()
  if(failed)
    message(FATAL_ERROR "cannot link ${link} to ${source}: ${failed}")
  endif()
endfunction()

# logwick_expose_folder(TARGET PUBLIC|PRIVATE [FOLDER path])
# Lets TARGET (and, PUBLIC, what links it) include the headers of FOLDER
# (default: the folder of the calling CMakeLists) as "<name>/<header>".
function(logwick_expose_folder target scope)
  cmake_parse_arguments(E "" "FOLDER" "" ${ARGN})
  if(NOT E_FOLDER)
    set(E_FOLDER ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  get_filename_component(name ${E_FOLDER} NAME)
  set(root ${CMAKE_BINARY_DIR}/include/${name})
  logwick_link_folder(${E_FOLDER} ${root}/${name})
  target_include_directories(${target} ${scope} ${root})
endfunction()
