# A GoogleTest executable whose cases CTest lists one by one:
#   taborvane_gtest_suite(NAME SOURCES a_test.cpp ... LIBRARIES lib ...)
find_package(GTest REQUIRED)
include(GoogleTest)

function(taborvane_gtest_suite name)
  cmake_parse_arguments(PARSE_ARGV 1 suite "" "" "SOURCES;LIBRARIES")
  add_executable(${name} ${suite_SOURCES})
  target_link_libraries(${name} PRIVATE ${suite_LIBRARIES} GTest::gtest_main taborvane_defaults)
  # A case skipped inside makes the whole test skipped in CTest's eyes.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30 PROPERTIES SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
endfunction()
