# logwick_add_test(NAME SOURCES... LIBS libs... [PROPERTIES name value...])
# One GoogleTest executable; each TEST becomes its own CTest case, with the
# test properties given.
function(logwick_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} logwick_test_support GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    LOGWICK_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data"
    LOGWICK_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  # `read` files into the panel history archive: never the user's own from a test.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300 ENVIRONMENT "LOGWICK_ARCHIVE=${CMAKE_BINARY_DIR}/test-archive.sqlite" ${T_PROPERTIES})
endfunction()
