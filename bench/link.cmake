# Timed read-out of a paced simulated panel (scripts/bench.d/20-link.sh).
if(NOT WIN32)
  add_executable(logwick-bench-link ${CMAKE_CURRENT_LIST_DIR}/link_read_bench.cpp)
endif()
