# Sample event logs; kept apart from the simulator so that tests, benchmarks and
# the demo can use them without the serial side.
add_library(logwick_samples STATIC ${CMAKE_CURRENT_LIST_DIR}/event_generator.cpp)
target_link_libraries(logwick_samples PUBLIC logwick_events)
target_include_directories(logwick_samples PUBLIC ${PROJECT_SOURCE_DIR})
