# cmake -DROOT=<source tree> -P check_layers.cmake
# Fails, naming each one, when an include in the core runs against the layers.
cmake_minimum_required(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/layer_rules.cmake)

logwick_layer_violations(${ROOT} found)
if(found)
  list(JOIN found "\n  " text)
  message(FATAL_ERROR "includes against the layers:\n  ${text}")
endif()
message(STATUS "every include of the core runs downward")
