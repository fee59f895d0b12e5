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
  # The label and environment lists have to survive two list expansions (the include script,
  # then the test script) as one value each; unescaped, a ";" split them and the rest got read as
  # a property name. Device pages keep profiles in the user's data folder: tests get their own.
  string(REPLACE ";" "\\\\\\\\\\\\\\;" _labels "${name};${ARG_LABELS}")
  set(_env "BRIMVEX_RESOURCES=${PROJECT_SOURCE_DIR}/resources"
           "XDG_DATA_HOME=${CMAKE_BINARY_DIR}/test-data/${name}")
  # Leaks of system libraries the programs under test load are not ours to mend.
  if(BRIMVEX_SANITIZE STREQUAL "address")
    list(APPEND _env "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
  endif()
  string(REPLACE ";" "\\\\\\\\\\\\\\;" _env "${_env}")
  gtest_discover_tests(test_${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS "${_labels}" ENVIRONMENT "${_env}")
endfunction()

function(brimvex_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(bench_${name} ${ARG_SOURCES})
  target_link_libraries(bench_${name} PRIVATE ${ARG_DEPS} benchmark::benchmark_main brimvex_options)
endfunction()
