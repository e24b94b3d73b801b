#include "framework/win/Application.h"
#include "framework/win/PopupMenu.h"

#include <gtest/gtest.h>

namespace {

HWND GMenuWindow = nullptr;

// Once the menu runs: the keys that choose its second item wait in the queue, and a timer's
// handler processes messages, as the monitor's device search does when its timer fires while
// the tray menu is open.
void CALLBACK ChooseSecondItemAndProcessMessages(HWND AWindow, UINT, UINT_PTR AId, DWORD)
{
    KillTimer(AWindow, AId);
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(GMenuWindow, WM_KEYDOWN, key, 0);
    Application.ProcessMessages();
}

// Should the keys be lost, the menu is closed from outside.
void CALLBACK CloseTheMenu(HWND AWindow, UINT, UINT_PTR AId, DWORD)
{
    KillTimer(AWindow, AId);
    EndMenu();
}

TEST(PopupMenu, MessagesProcessedByAHandlerWhileTheMenuRunsLeaveTheMenuItsInput)
{
    Application.Initialize();
    GMenuWindow = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(GMenuWindow, nullptr);
    TPopupMenu menu(nullptr);
    int chosen = 0;
    menu.Add(u"First")->OnClick.Bind([&](TMenuItem*) { chosen = 1; });
    menu.Add(u"Second")->OnClick.Bind([&](TMenuItem*) { chosen = 2; });
    SetTimer(GMenuWindow, 1, 200, ChooseSecondItemAndProcessMessages);
    SetTimer(GMenuWindow, 2, 5000, CloseTheMenu);
    menu.Popup(GMenuWindow, 20, 20);
    KillTimer(GMenuWindow, 2);
    DestroyWindow(GMenuWindow);
    EXPECT_EQ(chosen, 2);
}

} // namespace
