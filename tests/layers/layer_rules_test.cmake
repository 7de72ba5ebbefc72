# cmake -DWORK=<scratch folder> -P layer_rules_test.cmake
# The rules catch each kind of upward include and pass the sound ones: a small
# tree of both is written to WORK and checked.
cmake_minimum_required(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/layer_rules.cmake)

file(REMOVE_RECURSE ${WORK})
# file|include line|expected finding ("" for none)
set(cases
    "events/qt.h|#include <QString>|a Qt header"
    "events/qt_module.cpp|#  include <QtCore/QObject>|a Qt header"
    "lists/up.cpp|#include \"link/readout.h\"|link/ does not stand below lists/"
    "link/app.h|#include \"app/fetchlog.h\"|app/ does not stand below link/"
    "sim/cli.cpp|#include <cli/commands.h>|cli/ does not stand below sim/"
    "history/link.h|#include \"link/protocol.h\"|link/ does not stand below history/"
    "link/history.cpp|#include \"history/archive.h\"|history/ does not stand below link/"
    "desk/qt.cpp|#include <QWidget>|a Qt header"
    "desk/face.h|#include \"app/main_window.h\"|app/ does not stand below desk/"
    "history/model.h|#include \"desk/face.h\"|desk/ does not stand below history/"
    "desk/core.cpp|#include \"sync/server_sync.h\"|"
    "lists/escape.h|#include \"../app/settings.h\"|a path that leaves the folder"
    "events/missing.cpp|#include \"nowhere.h\"|no such file beside it"
    "lists/down.cpp|#include \"events/t7k_event.h\"|"
    "sim/frames.cpp|#include \"link/frames.h\"|"
    "history/lists.cpp|#include \"lists/t7k_event_list.h\"|"
    "link/std.cpp|#include <vector>|"
    "link/beside.cpp|#include \"std.cpp\"|"
)
set(expected "")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 file)
  list(GET fields 1 line)
  list(GET fields 2 why)
  file(WRITE ${WORK}/${file} "${line}\n")
  if(why)
    string(REGEX REPLACE "^#[ \t]*include[ \t]*[<\"]([^>\"]*).*" "\\1" name "${line}")
    list(APPEND expected "${file}: ${name} (${why})")
  endif()
endforeach()

logwick_layer_violations(${WORK} found)
list(SORT found)
list(SORT expected)
if(NOT found STREQUAL expected)
  list(JOIN found "\n  " got)
  list(JOIN expected "\n  " want)
  message(FATAL_ERROR "the layer rules found\n  ${got}\nwhere they should find\n  ${want}")
endif()
message(STATUS "the layer rules catch every kind of upward include")
