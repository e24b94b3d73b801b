# qel_fuzz(NAME TARGET file SEEDS dir MAX_LEN n RUNS n SOURCES ... HEADERS ... LIBS ... [LINK ...]):
# a fuzz target (TARGET defines LLVMFuzzerTestOneInput) over the code under test, native builds
# only. Every build runs the seed inputs through it with a small driver (test NAME_seeds, linked
# with LIBS); where clang offers libFuzzer, NAMEer is built with clang from TARGET and SOURCES
# (plus the LINK flags) and test NAMEer fuzzes for a fixed number of runs from the seeds, keeping
# what it finds new in a corpus of the build tree.
find_program(QEL_CLANGXX NAMES clang++)
if(QEL_CLANGXX AND NOT DEFINED QEL_LIBFUZZER)
  set(probe ${CMAKE_BINARY_DIR}/libfuzzer-probe.cpp)
  file(WRITE ${probe} "#include <cstddef>\n#include <cstdint>\nextern \"C\" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }\n")
  execute_process(COMMAND ${QEL_CLANGXX} -fsanitize=fuzzer ${probe} -o ${CMAKE_BINARY_DIR}/libfuzzer-probe
                  RESULT_VARIABLE probe_result OUTPUT_QUIET ERROR_QUIET)
  if(probe_result EQUAL 0)
    set(QEL_LIBFUZZER ON CACHE INTERNAL "clang++ builds libFuzzer targets")
  else()
    set(QEL_LIBFUZZER OFF CACHE INTERNAL "clang++ builds libFuzzer targets")
  endif()
endif()

function(qel_fuzz name)
  cmake_parse_arguments(F "" "TARGET;SEEDS;MAX_LEN;RUNS" "SOURCES;HEADERS;LIBS;LINK" ${ARGN})
  add_executable(${name}_seeds ${F_TARGET} ${CMAKE_SOURCE_DIR}/cmake/FuzzDriver.cpp)
  target_link_libraries(${name}_seeds PRIVATE ${F_LIBS})
  add_test(NAME ${name}_seeds COMMAND ${name}_seeds ${F_SEEDS})

  if(NOT QEL_LIBFUZZER)
    return()
  endif()
  set(fuzzer ${CMAKE_CURRENT_BINARY_DIR}/${name}er)
  add_custom_command(
    OUTPUT ${fuzzer}
    COMMAND ${QEL_CLANGXX} -std=c++20 -g -O1 -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast
            -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I${CMAKE_SOURCE_DIR}
            ${F_TARGET} ${F_SOURCES} ${F_LINK} -o ${fuzzer}
    DEPENDS ${F_TARGET} ${F_SOURCES} ${F_HEADERS}
    COMMENT "Building ${name}er with libFuzzer"
    VERBATIM)
  add_custom_target(${name}er ALL DEPENDS ${fuzzer})
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  file(MAKE_DIRECTORY ${corpus})
  add_test(NAME ${name}er COMMAND ${fuzzer} -runs=${F_RUNS} -max_len=${F_MAX_LEN} ${corpus} ${F_SEEDS})
endfunction()
