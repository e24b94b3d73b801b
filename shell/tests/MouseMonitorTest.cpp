#include "shell/MouseMonitor.h"

#include "framework/win/Application.h"
#include "framework/win/Handle.h"
#include "profile/ProductConstants.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> MenuCaptions(HMENU AMenu)
{
    std::vector<std::wstring> out;
    for (int i = 0; i < GetMenuItemCount(AMenu); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(AMenu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        out.push_back(text);
    }
    return out;
}

TEST(MainWindow, HiddenBorderlessToolWindowFoundByClassAndCaption)
{
    Application.Initialize();
    TQelMonMain form(nullptr);
    HWND found = FindWindowW(L"TQelMonMain", L"QEL_MONITOR_EX");
    ASSERT_EQ(found, form.Handle());
    EXPECT_FALSE(IsWindowVisible(found));
    const LONG_PTR style = GetWindowLongPtrW(found, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(found, GWL_EXSTYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME), 0);
    EXPECT_NE(exStyle & WS_EX_TOOLWINDOW, 0); // no task-bar button
    RECT client{};
    GetClientRect(found, &client);
    EXPECT_EQ(client.right, 504);
    EXPECT_EQ(client.bottom, 400);

    // The About item exists but is hidden; the shown menu has two items.
    ASSERT_EQ(form.MyPopupMenu->Count(), 3);
    EXPECT_FALSE(form.About1->Visible);
    TMenuOwner menu(form.MyPopupMenu->BuildMenu());
    EXPECT_EQ(MenuCaptions(menu.Get()), (std::vector<std::wstring>{L"Config", L"Exit"}));
    EXPECT_EQ(form.TrayIcon1->Hint(), kTrayIconHint);
}

TEST(MainWindow, AboutShowsAtDesktopCentreAndOkHidesIt)
{
    Application.Initialize();
    TQelMonMain form(nullptr);
    form.About1Click(form.About1);
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    RECT wr{}, work{};
    GetWindowRect(form.Handle(), &wr);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((wr.left + wr.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((wr.top + wr.bottom) / 2, (work.top + work.bottom) / 2, 1);
    form.BtnOKClick();
    EXPECT_FALSE(IsWindowVisible(form.Handle()));
}

TEST(TrayIcon, HintIsCutToTheTraysLimit)
{
    Application.Initialize();
    TTrayIcon icon(nullptr);
    icon.SetHint(std::u16string(300, u'x'));
    EXPECT_EQ(icon.Hint().size(), 127u);
}

} // namespace
