#include "framework/win/UtilityWindow.h"

#include "framework/win/Application.h"

#include <exception>

namespace {
constexpr wchar_t kClassName[] = L"TPUtilWindow";

void RegisterClassOnce(WNDPROC AProc)
{
    WNDCLASSW wc{};
    HINSTANCE inst = GetModuleHandleW(nullptr);
    if (GetClassInfoW(inst, kClassName, &wc)) return;
    wc.lpfnWndProc = AProc;
    wc.hInstance = inst;
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);
}
} // namespace

TUtilityWindow::TUtilityWindow(THandler AHandler) : FHandler(std::move(AHandler))
{
    RegisterClassOnce(&TUtilityWindow::WndProc);
    FHandle = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (FHandle) SetWindowLongPtrW(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TUtilityWindow::~TUtilityWindow()
{
    if (FHandle) {
        SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
        DestroyWindow(FHandle);
    }
}

LRESULT CALLBACK TUtilityWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<TUtilityWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->FHandler) {
        TMessage m{msg, wp, lp, 0};
        try {
            if (self->FHandler(m)) return m.Result;
        } catch (...) {
            // An exception must not unwind through the system's frames: a component's handler
            // that fails is reported, and its message counts as handled, with result 0.
            Application.HandleException(std::current_exception());
            return 0;
        }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}
