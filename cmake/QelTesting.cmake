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

# qel_test(name SOURCES ... LIBS ... [PROPERTIES ...]): one GoogleTest program; under the Windows
# build ctest runs it through Wine (CMAKE_CROSSCOMPILING_EMULATOR). PROPERTIES go to every test
# of the program (for instance a RESOURCE_LOCK for a file they share).
function(qel_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 120 ${T_PROPERTIES})
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/QelFuzz.cmake)
