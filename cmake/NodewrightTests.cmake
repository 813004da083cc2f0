# nw_unit_test(NAME SOURCES... LIBS...): one GoogleTest executable, run
# natively (every case its own CTest test) and, in the Windows build, as a
# whole under Wine. Without NW_TESTS it adds nothing.
if(NOT NW_TESTS)
  function(nw_unit_test)
  endfunction()
  function(nw_script_test)
  endfunction()
  return()
endif()

enable_testing()

# GoogleTest: Debian's package natively; for Windows, built here from
# Debian's googletest sources with the cross compiler.
if(WIN32 AND CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

function(nw_unit_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBS")
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES TIMEOUT 120 LABELS "unit;wine")
  else()
    gtest_discover_tests(${name} PROPERTIES LABELS unit)
  endif()
endfunction()

# nw_script_test(NAME TIMEOUT s LABELS ... ENVIRONMENT ... COMMAND ... [SHARDS n]):
# a test script as one CTest test or, with SHARDS, as n tests NAME.1 ... NAME.n
# that each run every nth of its cases (--shard=K/N, tests/e2e/harness.py), so
# that they may run at the same time. The longer a test may take, the
# earlier ctest -j starts it (COST), which shortens a parallel run.
function(nw_script_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "SHARDS;TIMEOUT" "LABELS;ENVIRONMENT;COMMAND")
  set(tests "")
  if(arg_SHARDS)
    foreach(k RANGE 1 ${arg_SHARDS})
      add_test(NAME ${name}.${k} COMMAND ${arg_COMMAND} --shard=${k}/${arg_SHARDS})
      list(APPEND tests ${name}.${k})
    endforeach()
  else()
    add_test(NAME ${name} COMMAND ${arg_COMMAND})
    set(tests ${name})
  endif()
  set_tests_properties(${tests} PROPERTIES
    TIMEOUT ${arg_TIMEOUT}
    COST ${arg_TIMEOUT}
    LABELS "${arg_LABELS}"
    ENVIRONMENT "${arg_ENVIRONMENT}")
endfunction()
