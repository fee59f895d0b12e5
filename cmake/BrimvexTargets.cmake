# brimvex_library(NAME SOURCES ... DEPS ...): one static library per subsystem directory.
# The include root is src/, so headers are included as "platform/trace.h".
function(brimvex_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(brimvex_${name} STATIC ${ARG_SOURCES})
  target_include_directories(brimvex_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(brimvex_${name} PUBLIC ${ARG_DEPS} PRIVATE brimvex_options)
endfunction()

# brimvex_test(NAME SOURCES ... DEPS ... [LABELS ...]): one GoogleTest executable.
function(brimvex_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(test_${name} ${ARG_SOURCES})
  target_link_libraries(test_${name} PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest_main brimvex_options)
  target_include_directories(test_${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # The label list has to survive two list expansions (the include script, then the test script)
  # as one value; unescaped, its ";" split LABELS and ENVIRONMENT got read as a property name.
  string(REPLACE ";" "\\\\\\\\\\\\\\;" _labels "${name};${ARG_LABELS}")
  gtest_discover_tests(test_${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS "${_labels}" ENVIRONMENT "BRIMVEX_RESOURCES=${PROJECT_SOURCE_DIR}/resources")
endfunction()

function(brimvex_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(bench_${name} ${ARG_SOURCES})
  target_link_libraries(bench_${name} PRIVATE ${ARG_DEPS} benchmark::benchmark_main brimvex_options)
endfunction()
