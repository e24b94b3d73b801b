#include "framework/win/MessageFilter.h"

void AllowWindowMessage(HWND AWindow, UINT AMessage)
{
    using TFilter = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
    static const auto filter = reinterpret_cast<TFilter>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx")));
    if (filter) filter(AWindow, AMessage, MSGFLT_ALLOW, nullptr);
}
