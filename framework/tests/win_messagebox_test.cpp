#include "framework/win/Application.h"
#include "framework/win/MessageBox.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

// Plays the user: waits for the message box, reads it and presses OK.
struct TSeen {
    std::wstring Caption;
    std::wstring Text;
};

BOOL CALLBACK FindStatic(HWND AChild, LPARAM AParam)
{
    wchar_t cls[32] = {}, text[256] = {};
    GetClassNameW(AChild, cls, 32);
    if (_wcsicmp(cls, L"Static") == 0 && GetWindowTextW(AChild, text, 256) > 0) {
        reinterpret_cast<TSeen*>(AParam)->Text = text;
        return FALSE;
    }
    return TRUE;
}

TEST(ShowMessage, ModalWithTheTextTitledWithTheApplicationTitle)
{
    Application.SetTitle(u"QEL Skirmisher HV730 Gaming Mouse Monitor");
    TSeen seen;
    std::atomic<bool> found{false};
    std::thread user([&] {
        for (int i = 0; i < 500 && !found; ++i) {
            if (HWND box = FindWindowW(L"#32770", nullptr)) {
                wchar_t caption[256] = {};
                GetWindowTextW(box, caption, 256);
                seen.Caption = caption;
                EnumChildWindows(box, FindStatic, reinterpret_cast<LPARAM>(&seen));
                found = true;
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
            Sleep(20);
        }
    });
    ShowMessage(u"uiHook.dll can not be found!");
    user.join();
    ASSERT_TRUE(found);
    EXPECT_EQ(seen.Caption, L"QEL Skirmisher HV730 Gaming Mouse Monitor");
    EXPECT_EQ(seen.Text, L"uiHook.dll can not be found!");
}

} // namespace
