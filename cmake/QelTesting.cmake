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

# Fuzz targets of platform-free readers of outside data, native build only. clang++ with libFuzzer
# is looked for once.
if(NOT WIN32)
  find_program(QEL_CLANGXX NAMES clang++)
  set(QEL_LIBFUZZER OFF)
  if(QEL_CLANGXX)
    set(probe ${CMAKE_BINARY_DIR}/libfuzzer-probe.cpp)
    file(WRITE ${probe} "#include <cstddef>\n#include <cstdint>\nextern \"C\" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }\n")
    execute_process(COMMAND ${QEL_CLANGXX} -fsanitize=fuzzer ${probe} -o ${CMAKE_BINARY_DIR}/libfuzzer-probe
                    RESULT_VARIABLE probe_result OUTPUT_QUIET ERROR_QUIET)
    if(probe_result EQUAL 0)
      set(QEL_LIBFUZZER ON)
    endif()
  endif()
endif()

# qel_fuzz(name TARGET file LIBS ... SOURCES ... DEPENDS ... SEEDS folder): every build runs the
# seed inputs through the fuzz target with a small driver (test name_fuzz_seeds, linked with
# LIBS); where clang offers libFuzzer, a fixed number of fuzzing runs follows (test name_fuzzer,
# compiled by clang from the target and SOURCES, rebuilt when DEPENDS change), and what it finds
# new goes to a corpus in the build tree.
function(qel_fuzz name)
  cmake_parse_arguments(F "" "TARGET;SEEDS" "LIBS;SOURCES;DEPENDS" ${ARGN})
  add_executable(${name}_fuzz_seeds ${F_TARGET} ${CMAKE_SOURCE_DIR}/framework/tests/FuzzDriver.cpp)
  target_link_libraries(${name}_fuzz_seeds PRIVATE ${F_LIBS})
  add_test(NAME ${name}_fuzz_seeds COMMAND ${name}_fuzz_seeds ${F_SEEDS})
  if(NOT QEL_LIBFUZZER)
    return()
  endif()
  set(fuzz_sources ${F_TARGET} ${F_SOURCES})
  set(fuzzer ${CMAKE_CURRENT_BINARY_DIR}/${name}_fuzzer)
  add_custom_command(
    OUTPUT ${fuzzer}
    COMMAND ${QEL_CLANGXX} -std=c++20 -g -O1 -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast
            -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I${CMAKE_SOURCE_DIR}
            ${fuzz_sources} -o ${fuzzer}
    DEPENDS ${fuzz_sources} ${F_DEPENDS}
    COMMENT "Building the fuzzer ${name}_fuzzer with libFuzzer"
    VERBATIM)
  add_custom_target(${name}_fuzzer ALL DEPENDS ${fuzzer})
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}-fuzz-corpus)
  file(MAKE_DIRECTORY ${corpus})
  add_test(NAME ${name}_fuzzer COMMAND ${fuzzer} -runs=20000 -max_len=2048 ${corpus} ${F_SEEDS})
endfunction()
