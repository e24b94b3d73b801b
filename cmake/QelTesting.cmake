# GoogleTest from the distribution's sources, built with the same compiler as the code.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest's own sources are not ours to keep warning-clean.
foreach(t gtest gtest_main)
  target_compile_options(${t} PRIVATE -w)
endforeach()
include(GoogleTest)

# qel_test(name SOURCES ... LIBS ... [FILTER expr] [PROPERTIES ...]): one GoogleTest program;
# under the Windows build ctest runs it through Wine (CMAKE_CROSSCOMPILING_EMULATOR). PROPERTIES go
# to every test of the program (for instance a RESOURCE_LOCK for a file they share). FILTER (a
# --gtest_filter expression) leaves out tests that need a set-up of their own, added separately.
function(qel_test name)
  cmake_parse_arguments(T "" "FILTER" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  set(filter)
  if(T_FILTER)
    set(filter TEST_FILTER ${T_FILTER})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 ${filter}
                       PROPERTIES TIMEOUT 120 ${T_PROPERTIES})
endfunction()
