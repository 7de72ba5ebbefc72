# The panel history archive at scale (scripts/bench.d/40-history.sh).
if(TARGET logwick_history)
  add_executable(logwick-bench-history ${CMAKE_CURRENT_LIST_DIR}/history_bench.cpp)
  target_link_libraries(logwick-bench-history PRIVATE logwick_history logwick_samples)
endif()
# Synchronisation with a shared server on loopback (scripts/bench.d/50-sync.sh).
if(TARGET logwick_sync)
  add_executable(logwick-bench-sync ${CMAKE_CURRENT_LIST_DIR}/sync_bench.cpp)
  target_link_libraries(logwick-bench-sync PRIVATE logwick_sync logwick_samples)
endif()
