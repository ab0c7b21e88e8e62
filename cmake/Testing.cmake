# Test registration shared by the native, sanitizer and 64-bit Windows builds.
#
# The same test sources run natively and under Wine. Under Wine each test
# executable is one process (a Wine start costs seconds), the tests share one
# prefix and run one at a time, since they put real windows on one display.

if(WIN32)
  set(INKSTONE_TEST_PREFIX "wine")
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_library(inkstone_gtest INTERFACE)
  target_link_libraries(inkstone_gtest INTERFACE gtest_main)
  set(INKSTONE_WINE_SESSION ${PROJECT_SOURCE_DIR}/scripts/wine-session)
  add_test(NAME wine.setup COMMAND ${INKSTONE_WINE_SESSION} start)
  add_test(NAME wine.cleanup COMMAND ${INKSTONE_WINE_SESSION} stop)
  set_tests_properties(wine.setup PROPERTIES FIXTURES_SETUP wine RESOURCE_LOCK wine)
  set_tests_properties(wine.cleanup PROPERTIES FIXTURES_CLEANUP wine RESOURCE_LOCK wine)
else()
  if(INKSTONE_SANITIZE)
    set(INKSTONE_TEST_PREFIX "asan")
  else()
    set(INKSTONE_TEST_PREFIX "native")
  endif()
  find_package(GTest REQUIRED)
  add_library(inkstone_gtest INTERFACE)
  target_link_libraries(inkstone_gtest INTERFACE GTest::gtest_main)
endif()

# inkstone_add_test(<name> SOURCES ... [LIBS ...] [WORKING_DIRECTORY dir] [VALGRIND])
# Builds a GoogleTest executable and registers it as one test named
# <prefix>.<name>. VALGRIND also runs it under valgrind in the plain native build.
function(inkstone_add_test name)
  cmake_parse_arguments(T "VALGRIND" "WORKING_DIRECTORY" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} inkstone_gtest)
  if(NOT T_WORKING_DIRECTORY)
    set(T_WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  set(test_name ${INKSTONE_TEST_PREFIX}.${name})
  add_test(NAME ${test_name} COMMAND ${name} WORKING_DIRECTORY ${T_WORKING_DIRECTORY})
  inkstone_test_properties(${test_name})
  if(T_VALGRIND AND NOT WIN32 AND NOT INKSTONE_SANITIZE)
    find_program(VALGRIND valgrind REQUIRED)
    add_test(NAME valgrind.${name}
             COMMAND ${VALGRIND} --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite
                     $<TARGET_FILE:${name}>
             WORKING_DIRECTORY ${T_WORKING_DIRECTORY})
    set_tests_properties(valgrind.${name} PROPERTIES LABELS valgrind)
  endif()
endfunction()

# Properties every test of this build needs; Wine tests share the session.
function(inkstone_test_properties test_name)
  if(WIN32)
    set_tests_properties(${test_name} PROPERTIES
      FIXTURES_REQUIRED wine RESOURCE_LOCK wine LABELS wine TIMEOUT 300)
  else()
    set_tests_properties(${test_name} PROPERTIES LABELS ${INKSTONE_TEST_PREFIX} TIMEOUT 300)
  endif()
endfunction()

# inkstone_add_benchmark(<name> SOURCES ... [LIBS ...] [ARGS ...])
# A benchmark is a program that prints its figures; it is registered as a test
# labelled "benchmark", which the test command runs first and verbosely.
# Native benchmarks use Google Benchmark; Windows ones are plain timing programs.
function(inkstone_add_benchmark name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS;ARGS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS})
  if(NOT WIN32)
    find_package(benchmark REQUIRED)
    target_link_libraries(${name} PRIVATE benchmark::benchmark)
  endif()
  set(test_name ${INKSTONE_TEST_PREFIX}.bench.${name})
  add_test(NAME ${test_name} COMMAND ${name} ${B_ARGS} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  inkstone_test_properties(${test_name})
  set_tests_properties(${test_name} PROPERTIES LABELS benchmark TIMEOUT 900)
endfunction()
