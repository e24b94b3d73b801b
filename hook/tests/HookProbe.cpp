// HookProbe MODE: the other programs of the hook tests.
//   create  creates a hook component in this process and starts the keyboard watch; the exit code
//           is 1 when the library is loaded, plus 2 when a module named uiHook.dll is in the process.
//   edit    a window whose edit control holds the keyboard focus, until it is closed.
//   mouse   the mouse watch, swallowing clicks: sends an injected left click, prints "ready", then
//           prints every button event ("button state extra") until a real click has come and gone.
//   macro   records a keyboard macro, prints "ready", then each event until B is released, then
//           the entries handed to the stop handler ("entry type/state/value/extended").
//   mousemacro  records a mouse macro, prints "ready", then each event ("event type button state
//           x,y name|state") until the back side button is released, then the entries
//           ("entry type/state/button/x,y/time").
//   target X Y W H  a window at that place that prints "ready", then "down" and "up" for each
//           press and release of the left button on it, until it is closed.
#include "framework/core/Text.h"
#include "framework/win/Application.h"
#include "framework/win/Thread.h"
#include "hook/uiHook.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

void Pump(DWORD AMs, const bool* ADone = nullptr)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < AMs && !(ADone && *ADone)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Application.ProcessMessages();
    }
}

void Say(const std::string& ALine)
{
    std::fputs((ALine + "\n").c_str(), stdout);
    std::fflush(stdout);
}

int Create()
{
    TuiHook hook(nullptr);
    hook.StartHookKeyboard();
    return (hook.DLLLoaded() ? 1 : 0) | (GetModuleHandleW(L"uiHook.dll") ? 2 : 0);
}

LRESULT CALLBACK EditWindowProc(HWND AWnd, UINT AMsg, WPARAM AW, LPARAM AL)
{
    if (AMsg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(AWnd, AMsg, AW, AL);
}

int Edit()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = EditWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QelHookProbeEdit";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"Hook probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300,
                                  120, nullptr, nullptr, wc.hInstance, nullptr);
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 260, 24, window,
                                reinterpret_cast<HMENU>(1), wc.hInstance, nullptr);
    SetForegroundWindow(window);
    SetFocus(edit);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

int Mouse()
{
    TuiHook hook(nullptr);
    bool up = false;
    hook.OnHookMouseAllButton.Bind([&](TMouseButtons AButton, int AState, int16_t AExtra, bool& ABlocked) {
        Say(std::to_string(static_cast<int>(AButton)) + " " + std::to_string(AState) + " " + std::to_string(AExtra));
        ABlocked = true;
        if (AButton == TMouseButtons::LCLICK && AState == 0) up = true;
    });
    hook.StartHookMouse();
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    Say("injected " + std::to_string(SendInput(2, click, sizeof(INPUT))));
    Pump(1500);
    Say("ready");
    Pump(30000, &up);
    Pump(300);
    return up ? 0 : 1;
}

int Macro()
{
    TuiHook hook(nullptr);
    bool done = false;
    hook.OnRecordKeyboardMacroKey.Bind([&](int AType, int AKey, int AState, int AExtended, double, const std::u16string&,
                                           const std::u16string&, TStringList&) {
        Say("event " + std::to_string(AType) + " " + std::to_string(AKey) + " " + std::to_string(AState) + " " +
            std::to_string(AExtended));
        if (AType == 1 && AKey == 'B' && AState == 0) done = true;
    });
    hook.OnStopRecordKeyboardMacroKey.Bind([](TStringList& AList) {
        for (int i = 0; i < AList.Count(); ++i) {
            const TMACROKEYHOOK& k = static_cast<TMacroKeyObject*>(AList.Objects(i))->FMacroKey;
            Say("entry " + std::to_string(k.nKeyType) + "/" + std::to_string(k.nKeyState) + "/" +
                std::to_string(k.nKeyValue) + "/" + std::to_string(k.nKeyValueExtended));
        }
    });
    hook.RecordKeyboardMacroKey();
    Say("ready");
    Pump(30000, &done);
    hook.StopRecordKeyboardMacroKey();
    return done ? 0 : 1;
}

}  // namespace

int MouseMacro()
{
    TuiHook hook(nullptr);
    bool done = false;
    hook.OnRecordMouseMacroKey.Bind([&](int AType, TMouseButtons AButton, int AState, uint16_t AX, uint16_t AY, double,
                                        const std::u16string& AText, const std::u16string& AStateText, TStringList&) {
        Say("event " + std::to_string(AType) + " " + std::to_string(static_cast<int>(AButton)) + " " +
            std::to_string(AState) + " " + std::to_string(AX) + "," + std::to_string(AY) + " " + Utf8FromUtf16(AText) +
            "|" + Utf8FromUtf16(AStateText));
        if (AType == 1 && AButton == TMouseButtons::XCLICK4 && AState == 0) done = true;
    });
    hook.OnStopRecordMouseMacroKey.Bind([](TStringList& AList) {
        for (int i = 0; i < AList.Count(); ++i) {
            const TMOUSEMACROKEY& m = static_cast<TMOUSEMacroKeyObject*>(AList.Objects(i))->FMOUSEMacroKey;
            Say("entry " + std::to_string(m.nKeyType) + "/" + std::to_string(m.nKeyState) + "/" +
                std::to_string(static_cast<int>(m.MouseButton)) + "/" + std::to_string(m.X) + "," + std::to_string(m.Y) +
                "/" + std::to_string(m.TimeValue));
        }
    });
    hook.RecordMouseMacro();
    Say("ready");
    Pump(30000, &done);
    hook.StopRecordMouseMacro();
    return done ? 0 : 1;
}

LRESULT CALLBACK TargetWindowProc(HWND AWnd, UINT AMsg, WPARAM AW, LPARAM AL)
{
    if (AMsg == WM_LBUTTONDOWN) Say("down");
    if (AMsg == WM_LBUTTONUP) Say("up");
    if (AMsg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(AWnd, AMsg, AW, AL);
}

int Target(int argc, wchar_t** argv)
{
    if (argc < 6) return 100;
    WNDCLASSW wc{};
    wc.lpfnWndProc = TargetWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"QelHookProbeTarget";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"Hook target", WS_POPUP | WS_VISIBLE,
                                  _wtoi(argv[2]), _wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]), nullptr, nullptr,
                                  wc.hInstance, nullptr);
    if (!window) return 101;
    Say("ready");
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

int wmain(int argc, wchar_t** argv)
{
    Application.Initialize();
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"create") return Create();
    if (mode == L"edit") return Edit();
    if (mode == L"mouse") return Mouse();
    if (mode == L"macro") return Macro();
    if (mode == L"mousemacro") return MouseMacro();
    if (mode == L"target") return Target(argc, argv);
    return 100;
}
