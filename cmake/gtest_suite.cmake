# A GoogleTest executable, its tests labelled with the layer they exercise:
#   taborvane_gtest_suite(NAME SOURCES a_test.cpp ... LIBRARIES lib ... LABELS layer ...)
# CTest lists its cases one by one, or, with TABORVANE_GTEST_CASE_TESTS off,
# runs the program once for all of them: under the sanitizers, starting a
# process costs more than most cases.
find_package(GTest REQUIRED)
include(GoogleTest)

function(taborvane_gtest_suite name)
  cmake_parse_arguments(PARSE_ARGV 1 suite "" "" "SOURCES;LIBRARIES;LABELS")
  add_executable(${name} ${suite_SOURCES})
  target_link_libraries(${name} PRIVATE ${suite_LIBRARIES} GTest::gtest_main taborvane_defaults)
  # A case skipped inside makes the whole test skipped in CTest's eyes.
  set(skipped "\\[  SKIPPED \\]")
  if(TABORVANE_GTEST_CASE_TESTS)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30
      PROPERTIES SKIP_REGULAR_EXPRESSION "${skipped}" LABELS "${suite_LABELS}")
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES SKIP_REGULAR_EXPRESSION "${skipped}" LABELS "${suite_LABELS}")
  endif()
endfunction()
