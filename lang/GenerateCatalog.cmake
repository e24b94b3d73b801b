cmake_minimum_required(VERSION 3.25)
# Turns a readable catalog (UTF-8 text) into the language data format: as a C++ source with one
# byte array when OUT ends in ".cpp", else as a language file of that name:
#   cmake -DIN=<catalog> -DOUT=<source.cpp or file> -P GenerateCatalog.cmake
# Catalog lines: "#..." and empty lines are not data; "[source]" starts the source texts;
# "[language NAME]" starts a language's table of "source=translation" lines; every other line is
# one entry, exactly as it stands. The sections keep their order; the language count is the
# number of "[language ...]" sections.

include(${CMAKE_CURRENT_LIST_DIR}/../cmake/QelBytes.cmake)

file(READ "${IN}" content HEX)
string(REGEX MATCHALL "[0-9a-f][0-9a-f]" bytes "${content}")
# The last line needs no line break of its own.
list(APPEND bytes "0a")

set(section "")
set(languages "")
set(line "")
set(lineno 0)
foreach(byte IN LISTS bytes)
  if(NOT byte STREQUAL "0a")
    list(APPEND line ${byte})
    continue()
  endif()
  math(EXPR lineno "${lineno} + 1")
  set(current "${line}")
  set(line "")
  if(current STREQUAL "")
    continue()
  endif()
  list(GET current 0 first)
  if(first STREQUAL "23")
    continue()
  endif()
  if("0d" IN_LIST current)
    message(FATAL_ERROR "${IN}:${lineno}: carriage return; the catalog has LF line ends")
  endif()
  if(first STREQUAL "5b")
    set(header "")
    foreach(b IN LISTS current)
      math(EXPR code "0x${b}")
      if(code GREATER 126)
        message(FATAL_ERROR "${IN}:${lineno}: section names are ASCII")
      endif()
      string(ASCII ${code} char)
      string(APPEND header "${char}")
    endforeach()
    if(header STREQUAL "[source]")
      set(section source)
    elseif(header MATCHES "^\\[language ([^]]+)\\]$")
      set(section "lang${CMAKE_MATCH_1}")
      if(section IN_LIST languages)
        message(FATAL_ERROR "${IN}:${lineno}: language ${CMAKE_MATCH_1} appears twice")
      endif()
      list(APPEND languages ${section})
      utf16_of_line("${current}" ${lineno} name_hex name_units)
      # The name is the header's text after "[language " (ten units, 40 hex digits) up to "]".
      string(LENGTH "${CMAKE_MATCH_1}" name_len)
      math(EXPR name_hex_len "${name_len} * 4")
      string(SUBSTRING "${name_hex}" 40 ${name_hex_len} name_hex)
      set(name_${section} "${name_hex}")
      set(units_name_${section} ${name_len})
      set(hex_${section} "")
      set(units_${section} 0)
    else()
      message(FATAL_ERROR "${IN}:${lineno}: unknown section ${header}")
    endif()
    continue()
  endif()
  if(section STREQUAL "")
    message(FATAL_ERROR "${IN}:${lineno}: an entry before the first section")
  endif()
  if(NOT section STREQUAL "source" AND NOT "3d" IN_LIST current)
    message(FATAL_ERROR "${IN}:${lineno}: a table line needs \"=\"")
  endif()
  utf16_of_line("${current}" ${lineno} entry_hex entry_units)
  # Every entry is followed by CR LF.
  string(APPEND hex_${section} "${entry_hex}0d000a00")
  math(EXPR units_${section} "${units_${section}} + ${entry_units} + 2")
endforeach()

if(NOT DEFINED units_source)
  message(FATAL_ERROR "${IN}: no [source] section")
endif()

hex_le(${units_source} 4 data)
string(APPEND data "${hex_source}")
list(LENGTH languages count)
hex_le(${count} 4 count_hex)
string(APPEND data "${count_hex}")
foreach(section IN LISTS languages)
  hex_le(${units_name_${section}} 4 len)
  string(APPEND data "${len}${name_${section}}")
  hex_le(${units_${section}} 4 len)
  string(APPEND data "${len}${hex_${section}}")
endforeach()

string(TOLOWER "${data}" data)

if(NOT OUT MATCHES "\\.cpp$")
  write_bytes("${OUT}" "${data}")
  return()
endif()

string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," array "${data}")
# 16 bytes to a line.
string(REPEAT "0x..," 16 row)
string(REGEX REPLACE "(${row})" "\\1\n" array "${array}")
file(WRITE "${OUT}.tmp" "// Made by lang/GenerateCatalog.cmake from lang/BuiltInLanguages.txt at build time.
#include \"lang/LanguageCatalog.h\"

namespace {

const uint8_t kBuiltInLanguageData[] = {
${array}
};

} // namespace

std::span<const uint8_t> BuiltInLanguageData() { return kBuiltInLanguageData; }
")
file(RENAME "${OUT}.tmp" "${OUT}")
