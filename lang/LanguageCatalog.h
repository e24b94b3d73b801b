#pragma once
// The built-in language data of the monitor's main window, in the language data format: the
// source texts and the languages "CH" (index 0) and "US" (index 1). The build makes it from the
// readable catalog lang/BuiltInLanguages.txt.
#include <cstdint>
#include <span>

std::span<const uint8_t> BuiltInLanguageData();
