#pragma once
// Helpers of the HID tests: config.ini beside the test program, and pumping the main thread.
#include "framework/core/Text.h"
#include "framework/tests/MessagePump.h"
#include "framework/win/FileSystem.h"
#include "framework/win/WinText.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace HidTest {

// The test program's folder, with its final backslash.
inline std::wstring ProgramDirectory() { return reinterpret_cast<const wchar_t*>(ProgramFolder().c_str()); }

inline std::wstring ConfigPath() { return ProgramDirectory() + L"config.ini"; }

// Writes config.ini beside the program with the given lines; no lines removes it.
inline void WriteConfig(const std::vector<std::string>& ALines)
{
    DeleteFileW(ConfigPath().c_str());
    if (ALines.empty()) return;
    std::ofstream file(std::filesystem::path(ConfigPath()), std::ios::binary);
    for (const auto& line : ALines) file << line << "\r\n";
}

using ::PumpFor;
using ::PumpUntil;

} // namespace HidTest
