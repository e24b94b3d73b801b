// Test double of the configuration program, never shipped. Built as "QelCfg.exe".
//   QelCfg.exe [/hidden]            a window of class "TQelCfgMain" captioned "QEL_CONFIG_EX" that
//                                   appends to QelCfg.log beside itself "start <cwd>" and
//                                   "msg <n> <wParam> <lParam>" for every message 7000..7999
//   QelCfg.exe /send N WPARAM LPARAM sends message N to the window of class "TQelMonMain" and
//                                   exits 0 when there was one, 1 otherwise
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

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

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1 && wcscmp(argv[1], L"/send") == 0) return Send(argc, argv);
    const bool hidden = argc > 1 && wcscmp(argv[1], L"/hidden") == 0;

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
