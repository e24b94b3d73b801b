#include "framework/win/Application.h"
#include "framework/win/TrayIcon.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The icon's mouse events, in the order the shell sends them, and the clicks they make.
TEST(TrayIconClicks, ADoubleClickIsOneClickAndALostReleaseSwallowsNoLaterClick)
{
    Application.Initialize();
    struct TCase {
        const char* Name;
        std::vector<UINT> Events;
        int Clicks;
    };
    const TCase cases[] = {
        {"click", {WM_LBUTTONDOWN, WM_LBUTTONUP}, 1},
        {"double click", {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}, 1},
        {"double click, then a click", {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}, 2},
        {"double click without its release, then a click",
         {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN, WM_LBUTTONUP},
         2},
    };
    for (const auto& c : cases) {
        TTrayIcon icon(nullptr);
        int clicks = 0;
        icon.OnClick.Bind([&](TTrayIcon* sender) {
            EXPECT_EQ(sender, &icon);
            ++clicks;
        });
        for (UINT event : c.Events) SendMessageW(icon.Handle(), TTrayIcon::kCallbackMessage, TTrayIcon::kIconId, event);
        EXPECT_EQ(clicks, c.Clicks) << c.Name;
    }
}

} // namespace
