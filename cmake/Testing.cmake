# Test registration shared by the native, sanitizer and Windows builds.
#
# The same test sources run natively and under Wine, for the 64-bit and the
# 32-bit Windows build alike. Under Wine each test executable is one process (a
# Wine start costs seconds); the tests of a build share its prefix and run one
# at a time, since they put real windows on its display.

if(WIN32)
  # win32 or win64: the build's tests are named and labelled after it.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(INKSTONE_TEST_PREFIX "win32")
  else()
    set(INKSTONE_TEST_PREFIX "win64")
  endif()
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(NOT MSVC)
    target_compile_options(gtest PRIVATE -O1)  # as the test programs (tests/)
    target_compile_options(gtest_main PRIVATE -O1)
  endif()
  include(CheckCXXSourceCompiles)
  check_cxx_source_compiles("#include <mutex>\nstd::mutex m;\nint main() { return 0; }" INKSTONE_HAS_STD_MUTEX)
  if(NOT INKSTONE_HAS_STD_MUTEX)
    # The Win32 threads model's C++ library (the 32-bit build's) has no
    # std::mutex: GoogleTest gets its one use of it on a Win32 event.
    target_compile_options(gtest PUBLIC -include ${PROJECT_SOURCE_DIR}/tests/support/GtestNotification.h)
    target_sources(gtest PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/GtestNotification.cpp)
  endif()
  # Every test program ends at once on a fault that nothing handles.
  add_library(inkstone_end_at_once OBJECT ${PROJECT_SOURCE_DIR}/tests/support/EndAtOnce.cpp)
  add_library(inkstone_gtest INTERFACE)
  target_link_libraries(inkstone_gtest INTERFACE gtest_main)
  target_sources(inkstone_gtest INTERFACE $<TARGET_OBJECTS:inkstone_end_at_once>)

  # The build's own Wine session (prefix, display, wineserver) lives in the
  # build folder: <build>/wine-run and <build>/wine-session call the scripts
  # with it, and run the tests.
  foreach(script wine-run wine-session real-tablet)
    file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/${script} @ONLY CONTENT
"#!/usr/bin/env bash
# ${script} for the programs of this build (@INKSTONE_TEST_PREFIX@).
export INKSTONE_WINE_BUILD=@CMAKE_BINARY_DIR@ INKSTONE_WINE_ARCH=@INKSTONE_TEST_PREFIX@
exec @PROJECT_SOURCE_DIR@/scripts/${script} \"$@\"
")
    file(CHMOD ${CMAKE_BINARY_DIR}/${script} PERMISSIONS
         OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  endforeach()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
  set(INKSTONE_WINE_FIXTURE wine_${INKSTONE_TEST_PREFIX})

  set(setup_command ${CMAKE_BINARY_DIR}/wine-session start)
  if(INKSTONE_TEST_PREFIX STREQUAL "win32")
    # Whether this machine runs 32-bit code is found out once, by a tiny probe.
    list(APPEND setup_command --probe $<TARGET_FILE:wow64_probe>)
  endif()
  add_test(NAME ${INKSTONE_TEST_PREFIX}.wine.setup COMMAND ${setup_command})
  add_test(NAME ${INKSTONE_TEST_PREFIX}.wine.cleanup COMMAND ${CMAKE_BINARY_DIR}/wine-session stop)
  set_tests_properties(${INKSTONE_TEST_PREFIX}.wine.setup PROPERTIES
    FIXTURES_SETUP ${INKSTONE_WINE_FIXTURE} RESOURCE_LOCK ${INKSTONE_WINE_FIXTURE} LABELS ${INKSTONE_TEST_PREFIX})
  set_tests_properties(${INKSTONE_TEST_PREFIX}.wine.cleanup PROPERTIES
    FIXTURES_CLEANUP ${INKSTONE_WINE_FIXTURE} RESOURCE_LOCK ${INKSTONE_WINE_FIXTURE} LABELS ${INKSTONE_TEST_PREFIX})
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

# inkstone_add_test(<name> SOURCES ... [LIBS ...] [IN dir] [ENVIRONMENT ...] [VALGRIND])
# Builds a GoogleTest executable and registers it as one test named
# <prefix>.<name>, run in the current binary folder or, with IN, built into
# and run in <dir>. VALGRIND also runs it under valgrind in the plain native
# build.
function(inkstone_add_test name)
  cmake_parse_arguments(T "VALGRIND" "IN" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} inkstone_gtest)
  set(directory ${CMAKE_CURRENT_BINARY_DIR})
  if(T_IN)
    set(directory ${T_IN})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${directory})
  endif()
  set(test_name ${INKSTONE_TEST_PREFIX}.${name})
  add_test(NAME ${test_name} COMMAND ${name} WORKING_DIRECTORY ${directory})
  inkstone_test_properties(${test_name})
  if(T_ENVIRONMENT)
    set_tests_properties(${test_name} PROPERTIES ENVIRONMENT "${T_ENVIRONMENT}")
  endif()
  if(T_VALGRIND AND NOT WIN32 AND NOT INKSTONE_SANITIZE)
    find_program(VALGRIND valgrind REQUIRED)
    add_test(NAME valgrind.${name}
             COMMAND ${VALGRIND} --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite
                     $<TARGET_FILE:${name}>
             WORKING_DIRECTORY ${directory})
    set_tests_properties(valgrind.${name} PROPERTIES LABELS valgrind)
  endif()
endfunction()

# Properties every test of this build needs; Wine tests share the session.
function(inkstone_test_properties test_name)
  if(WIN32)
    # 77: a 32-bit program on a machine that cannot run 32-bit code (wine-run).
    set_tests_properties(${test_name} PROPERTIES
      FIXTURES_REQUIRED ${INKSTONE_WINE_FIXTURE} RESOURCE_LOCK ${INKSTONE_WINE_FIXTURE}
      LABELS "wine;${INKSTONE_TEST_PREFIX}" TIMEOUT 300 SKIP_RETURN_CODE 77)
  else()
    set_tests_properties(${test_name} PROPERTIES LABELS ${INKSTONE_TEST_PREFIX} TIMEOUT 300)
  endif()
endfunction()

# inkstone_add_benchmark(<name> SOURCES ... [LIBS ...] [ARGS ...] [ENVIRONMENT ...])
# A benchmark is a program that prints its figures; it is registered as a test
# labelled "benchmark", which the test command runs first and verbosely.
# Native benchmarks use Google Benchmark; Windows ones are plain timing programs.
function(inkstone_add_benchmark name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS;ARGS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS})
  if(WIN32)
    target_sources(${name} PRIVATE $<TARGET_OBJECTS:inkstone_end_at_once>)
  else()
    find_package(benchmark REQUIRED)
    target_link_libraries(${name} PRIVATE benchmark::benchmark)
  endif()
  set(test_name ${INKSTONE_TEST_PREFIX}.bench.${name})
  add_test(NAME ${test_name} COMMAND ${name} ${B_ARGS} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  inkstone_test_properties(${test_name})
  set_tests_properties(${test_name} PROPERTIES LABELS "benchmark;${INKSTONE_TEST_PREFIX}" TIMEOUT 900
    ENVIRONMENT "${B_ENVIRONMENT}")
endfunction()

if(WIN32)
  # A test program that crashes fails at once: no debugger waits in the prefix
  # (a hang would run into the timeout, an exit status of 0 would pass).
  add_executable(crashing_program ${PROJECT_SOURCE_DIR}/tools/crashing_program.c)
  add_test(NAME ${INKSTONE_TEST_PREFIX}.wine.crash_fails_at_once COMMAND crashing_program)
  inkstone_test_properties(${INKSTONE_TEST_PREFIX}.wine.crash_fails_at_once)
  set_tests_properties(${INKSTONE_TEST_PREFIX}.wine.crash_fails_at_once PROPERTIES WILL_FAIL TRUE TIMEOUT 60)
endif()
