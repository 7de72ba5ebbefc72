# The house rules for includes. Each core folder stands on the folders below
# it (events < lists < link < sim; history on lists, sync on history), and the
# desktop model desk/ on the core; none of them includes a Qt header or
# anything of the front ends, app/, win/ and cli/.
cmake_minimum_required(VERSION 3.20)

set(LOGWICK_CORE_FOLDERS events lists link history sync sim desk)
set(LOGWICK_BELOW_events events)
set(LOGWICK_BELOW_lists events lists)
set(LOGWICK_BELOW_link events lists link)
set(LOGWICK_BELOW_history events lists history)
set(LOGWICK_BELOW_sync events lists history sync)
set(LOGWICK_BELOW_sim events lists link sim)
set(LOGWICK_BELOW_desk events lists link history sync desk)
set(LOGWICK_TREE_FOLDERS events lists link history sync sim desk cli app win res tests bench fuzz scripts)

# Why `file` (of core folder `folder`, relative to `root`) may not include
# `name` written with `delimiter` (< or "); empty when it may.
function(logwick_include_fault root folder file delimiter name out)
  string(REGEX MATCH "^[^/]+" first "${name}")
  set(why "")
  if(first MATCHES "^Q[A-Zt]")
    set(why "a Qt header")
  elseif(name MATCHES "(^|/)\\.\\.(/|$)")
    set(why "a path that leaves the folder")
  elseif(first IN_LIST LOGWICK_TREE_FOLDERS AND NOT first IN_LIST LOGWICK_BELOW_${folder})
    set(why "${first}/ does not stand below ${folder}/")
  elseif(delimiter STREQUAL "\"" AND NOT name MATCHES "/")
    get_filename_component(dir ${root}/${file} DIRECTORY)
    if(NOT EXISTS ${dir}/${name})
      set(why "no such file beside it")
    endif()
  endif()
  set(${out} "${why}" PARENT_SCOPE)
endfunction()

# Every include in the core folders of `root` that breaks the rules, as
# "FILE: INCLUDE (why)", into `out`.
function(logwick_layer_violations root out)
  set(found "")
  foreach(folder IN LISTS LOGWICK_CORE_FOLDERS)
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${root} ${root}/${folder}/*)
    foreach(file IN LISTS files)
      if(NOT file MATCHES "\\.(h|hh|hpp|inc|c|cc|cpp|cxx)$")
        continue()
      endif()
      file(STRINGS ${root}/${file} lines REGEX "^[ \t]*#[ \t]*include")
      foreach(line IN LISTS lines)
        if(line MATCHES "#[ \t]*include[ \t]*([<\"])([^>\"]*)")
          logwick_include_fault(${root} ${folder} ${file} "${CMAKE_MATCH_1}" "${CMAKE_MATCH_2}" why)
          if(why)
            list(APPEND found "${file}: ${CMAKE_MATCH_2} (${why})")
          endif()
        endif()
      endforeach()
    endforeach()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()
