// Test double of the configuration program, never shipped. Built as "QelCfg.exe".
//   QelCfg.exe [/hidden] [/stop-after N]
//                                   a window of class "TQelCfgMain" captioned "QEL_CONFIG_EX" that
//                                   appends to QelCfg.log beside itself "start <cwd>" and
//                                   "msg <n> <wParam> <lParam>" for every message 7000..7999;
//                                   with /stop-after it stops answering for good once it has
//                                   logged message N (its window procedure never returns)
//   QelCfg.exe /send N WPARAM LPARAM sends message N to the window of class "TQelMonMain" and
//                                   exits 0 when there was one, 1 otherwise
//   QelCfg.exe /set-language INDEX  stores INDEX as the chosen language in the all-profile
//                                   settings under HKCU\software\software\QelHV730gmmouse, as
//                                   the configuration program does; exits 1 when it cannot
#include "profile/ProfileRecords.h"

#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

UINT StopAfter = 0;

std::wstring LogPath()
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L"\\/") + 1) + L"QelCfg.log";
}

void Log(const wchar_t* AFormat, ...)
{
    wchar_t line[1024];
    va_list args;
    va_start(args, AFormat);
    vswprintf(line, 1024, AFormat, args);
    va_end(args);
    if (FILE* f = _wfopen(LogPath().c_str(), L"a")) {
        fwprintf(f, L"%ls\n", line);
        fclose(f);
    }
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg >= 7000 && msg <= 7999) {
        Log(L"msg %u %lld %lld", msg, static_cast<long long>(wp), static_cast<long long>(lp));
        if (msg == StopAfter) Sleep(INFINITE);
        return 0;
    }
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

int Send(int argc, wchar_t** argv)
{
    if (argc < 5) return 2;
    HWND mon = FindWindowW(L"TQelMonMain", nullptr);
    if (!mon) return 1;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(mon, static_cast<UINT>(_wtoi(argv[2])), static_cast<WPARAM>(_wtoi64(argv[3])),
                        static_cast<LPARAM>(_wtoi64(argv[4])), SMTO_ABORTIFHUNG, 10000, &result);
    return 0;
}

int SetLanguage(int argc, wchar_t** argv)
{
    if (argc < 3) return 2;
    const wchar_t* key = L"software\\software\\QelHV730gmmouse";
    const wchar_t* value = L"allsettings.pfd";
    std::vector<BYTE> image(sizeof(TALLGAMESINFO));
    DWORD size = static_cast<DWORD>(image.size());
    if (RegGetValueW(HKEY_CURRENT_USER, key, value, RRF_RT_REG_BINARY, nullptr, image.data(), &size) != ERROR_SUCCESS
        || size != image.size())
        return 1;
    image[offsetof(TALLGAMESINFO, CurrentLanguage)] = static_cast<BYTE>(_wtoi(argv[2]));
    return RegSetKeyValueW(HKEY_CURRENT_USER, key, value, REG_BINARY, image.data(), size) == ERROR_SUCCESS ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1 && wcscmp(argv[1], L"/send") == 0) return Send(argc, argv);
    if (argc > 1 && wcscmp(argv[1], L"/set-language") == 0) return SetLanguage(argc, argv);
    bool hidden = false;
    for (int i = 1; i < argc; ++i) {
        if (wcscmp(argv[i], L"/hidden") == 0) hidden = true;
        if (wcscmp(argv[i], L"/stop-after") == 0 && i + 1 < argc) StopAfter = static_cast<UINT>(_wtoi(argv[++i]));
    }

    wchar_t cwd[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, cwd);
    Log(L"start %ls", cwd);

    WNDCLASSW wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"TQelCfgMain";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, L"TQelCfgMain", L"QEL_CONFIG_EX", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200,
                                nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd) return 3;
    if (!hidden) ShowWindow(hwnd, SW_SHOW);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 0;
}
