# Timed run of the desktop program's event list (scripts/bench.d/30-gui.sh).
if(TARGET logwick_gui AND TARGET logwick_samples AND NOT WIN32)
  find_package(Qt6 COMPONENTS Test QUIET)
  if(TARGET Qt6::Test)
    add_executable(logwick-bench-gui ${CMAKE_CURRENT_LIST_DIR}/gui_list_bench.cpp)
    target_link_libraries(logwick-bench-gui PRIVATE logwick_gui logwick_samples Qt6::Test)
  endif()
endif()
