// Test tool: looks at and pokes the desktop from inside Wine, for the tray scenarios.
//   ShellProbe.exe wait CLASS MS     exit 0 once a top-level window of CLASS exists (1 on time-out)
//   ShellProbe.exe count CLASS       prints the number of top-level windows of CLASS
//   ShellProbe.exe state CAPTION     prints "visible=V foreground=F" of the window with CAPTION
//   ShellProbe.exe close CLASS       posts WM_CLOSE to the window of CLASS
//   ShellProbe.exe dialog-text       prints the text of the message box that is shown
//   ShellProbe.exe press-ok          presses OK on that message box
//   ShellProbe.exe taskbar-created   broadcasts the shell's "TaskbarCreated" message
//   ShellProbe.exe tray-remove CLASS deletes the tray icons of the process owning the window of
//                                    CLASS, as a restarting shell would lose them
//   ShellProbe.exe client-origin CLASS  prints "X Y", the screen position of the client area of
//                                    the window of CLASS
//   ShellProbe.exe send CLASS ID MSG prints what the child ID of the window of CLASS answers to
//                                    the message MSG (a number) without parameters
//   ShellProbe.exe windows-of CLASS  prints "CLASS exstyle=0xX" of every visible top-level window
//                                    of the process owning the window of CLASS, one a line
//   ShellProbe.exe type-into         a window of class QelTypingProbe with a focused edit control,
//                                    brought to the foreground; when it is closed, prints
//                                    "focus=F foreground=F text=T while-indicator=N": whether the
//                                    edit still had the focus and the window the foreground, what
//                                    was typed into it, and how many of its characters came while
//                                    a window of class TQelMuteIndicator existed
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

namespace {

struct TCount {
    const wchar_t* ClassName;
    int Count;
};

BOOL CALLBACK CountProc(HWND hwnd, LPARAM lp)
{
    auto* c = reinterpret_cast<TCount*>(lp);
    wchar_t name[256];
    if (GetClassNameW(hwnd, name, 256) && wcscmp(name, c->ClassName) == 0) ++c->Count;
    return TRUE;
}

BOOL CALLBACK PrintStatic(HWND AChild, LPARAM)
{
    wchar_t cls[32] = {}, text[512] = {};
    GetClassNameW(AChild, cls, 32);
    if (_wcsicmp(cls, L"Static") != 0 || GetWindowTextW(AChild, text, 512) == 0) return TRUE;
    char utf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    printf("%s\n", utf8);
    return FALSE;
}

BOOL CALLBACK PrintVisibleOfProcess(HWND hwnd, LPARAM lp)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != static_cast<DWORD>(lp) || !IsWindowVisible(hwnd)) return TRUE;
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    printf("%ls exstyle=0x%lx\n", name, static_cast<unsigned long>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
    return TRUE;
}

struct TTyping {
    HWND Edit = nullptr;
    WNDPROC EditProc = nullptr;
    int WhileIndicator = 0;
};
TTyping GTyping;

LRESULT CALLBACK TypingEditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_CHAR && FindWindowW(L"TQelMuteIndicator", nullptr)) ++GTyping.WhileIndicator;
    return CallWindowProcW(GTyping.EditProc, hwnd, msg, wp, lp);
}

LRESULT CALLBACK TypingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_CLOSE) {
        wchar_t text[256] = {};
        GetWindowTextW(GTyping.Edit, text, 256);
        printf("focus=%d foreground=%d text=%ls while-indicator=%d\n", GetFocus() == GTyping.Edit ? 1 : 0,
               GetForegroundWindow() == hwnd ? 1 : 0, text, GTyping.WhileIndicator);
        fflush(stdout);
        DestroyWindow(hwnd);
        return 0;
    }
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

int TypeInto()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = TypingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QelTypingProbe";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, L"QelTypingProbe", L"Typing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400,
                                  120, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window) return 1;
    GTyping.Edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 360, 28, window,
                                   nullptr, wc.hInstance, nullptr);
    GTyping.EditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(GTyping.Edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TypingEditProc)));
    SetForegroundWindow(window);
    SetFocus(GTyping.Edit);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

BOOL CALLBACK RemoveProc(HWND hwnd, LPARAM lp)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != static_cast<DWORD>(lp)) return TRUE;
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = hwnd;
    nid.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &nid);
    return TRUE;
}

// Runs AProc over the top-level windows with the identifier of the process that owns the window of
// AClass in its LPARAM; 1 when there is no such window.
int EnumWindowsOfProcessOf(const wchar_t* AClass, WNDENUMPROC AProc)
{
    HWND hwnd = FindWindowW(AClass, nullptr);
    if (!hwnd) return 1;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    EnumWindows(AProc, static_cast<LPARAM>(pid));
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return 2;
    const wchar_t* cmd = argv[1];
    if (wcscmp(cmd, L"wait") == 0 && argc == 4) {
        const DWORD start = GetTickCount();
        while (!FindWindowW(argv[2], nullptr)) {
            if (GetTickCount() - start > static_cast<DWORD>(_wtoi(argv[3]))) return 1;
            Sleep(50);
        }
        return 0;
    }
    if (wcscmp(cmd, L"count") == 0 && argc == 3) {
        TCount c{argv[2], 0};
        EnumWindows(CountProc, reinterpret_cast<LPARAM>(&c));
        printf("%d\n", c.Count);
        return 0;
    }
    if (wcscmp(cmd, L"state") == 0 && argc == 3) {
        HWND hwnd = FindWindowW(nullptr, argv[2]);
        if (!hwnd) return 1;
        printf("visible=%d foreground=%d\n", IsWindowVisible(hwnd) ? 1 : 0, GetForegroundWindow() == hwnd ? 1 : 0);
        return 0;
    }
    if (wcscmp(cmd, L"close") == 0 && argc == 3) {
        HWND hwnd = FindWindowW(argv[2], nullptr);
        return hwnd && PostMessageW(hwnd, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (wcscmp(cmd, L"dialog-text") == 0) {
        HWND box = FindWindowW(L"#32770", nullptr);
        if (!box) return 1;
        EnumChildWindows(box, PrintStatic, 0);
        return 0;
    }
    if (wcscmp(cmd, L"press-ok") == 0) {
        HWND box = FindWindowW(L"#32770", nullptr);
        return box && PostMessageW(box, WM_COMMAND, IDOK, 0) ? 0 : 1;
    }
    if (wcscmp(cmd, L"taskbar-created") == 0) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG,
                            5000, &result);
        return 0;
    }
    if (wcscmp(cmd, L"tray-remove") == 0 && argc == 3) return EnumWindowsOfProcessOf(argv[2], RemoveProc);
    if (wcscmp(cmd, L"client-origin") == 0 && argc == 3) {
        HWND hwnd = FindWindowW(argv[2], nullptr);
        POINT origin{0, 0};
        if (!hwnd || !ClientToScreen(hwnd, &origin)) return 1;
        printf("%ld %ld\n", static_cast<long>(origin.x), static_cast<long>(origin.y));
        return 0;
    }
    if (wcscmp(cmd, L"send") == 0 && argc == 5) {
        HWND hwnd = FindWindowW(argv[2], nullptr);
        HWND child = hwnd ? GetDlgItem(hwnd, _wtoi(argv[3])) : nullptr;
        if (!child) return 1;
        printf("%ld\n", static_cast<long>(SendMessageW(child, static_cast<UINT>(_wtoi(argv[4])), 0, 0)));
        return 0;
    }
    if (wcscmp(cmd, L"windows-of") == 0 && argc == 3) return EnumWindowsOfProcessOf(argv[2], PrintVisibleOfProcess);
    if (wcscmp(cmd, L"type-into") == 0) return TypeInto();
    return 2;
}
