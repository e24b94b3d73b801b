#pragma once
// Helpers of the HID tests: config.ini beside the test program, and pumping the main thread.
#include "framework/core/Text.h"
#include "framework/win/Application.h"
#include "framework/win/WinText.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace HidTest {

// The test program's folder, with its final backslash.
inline std::wstring ProgramDirectory()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring result(path, length);
    return result.substr(0, result.find_last_of(L"\\/") + 1);
}

inline std::wstring ConfigPath() { return ProgramDirectory() + L"config.ini"; }

// Writes config.ini beside the program with the given lines; no lines removes it.
inline void WriteConfig(const std::vector<std::string>& ALines)
{
    DeleteFileW(ConfigPath().c_str());
    if (ALines.empty()) return;
    std::ofstream file(std::filesystem::path(ConfigPath()), std::ios::binary);
    for (const auto& line : ALines) file << line << "\r\n";
}

// Pumps the main thread's messages until ADone answers true; false after ATimeoutMs.
template <class F>
bool PumpUntil(F ADone, DWORD ATimeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    while (!ADone()) {
        if (GetTickCount() - start > ATimeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        Application.ProcessMessages();
    }
    return true;
}

inline void PumpFor(DWORD AMs)
{
    PumpUntil([] { return false; }, AMs);
}

} // namespace HidTest
