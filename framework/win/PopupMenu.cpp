#include "framework/win/PopupMenu.h"

#include "framework/win/Application.h"
#include "framework/win/Handle.h"
#include "framework/win/WinText.h"

TMenuItem::TMenuItem(TComponent* AOwner, const std::u16string& ACaption) : TComponent(AOwner), Caption(ACaption) {}

TMenuItem* TPopupMenu::Add(const std::u16string& ACaption)
{
    FItems.push_back(new TMenuItem(this, ACaption));
    return FItems.back();
}

HMENU TPopupMenu::BuildMenu() const
{
    HMENU menu = CreatePopupMenu();
    // Captions go in as they are: no automatic accelerator keys are added.
    for (size_t i = 0; i < FItems.size(); ++i) {
        if (FItems[i]->Visible) AppendMenuW(menu, MF_STRING, i + 1, W(FItems[i]->Caption));
    }
    return menu;
}

void TPopupMenu::Popup(HWND AWindow, int X, int Y)
{
    TMenuOwner menu(BuildMenu());
    // Without the window in the foreground the menu would not close on a click elsewhere.
    SetForegroundWindow(AWindow);
    Application.MenuLoopEntered();
    const UINT cmd = static_cast<UINT>(
        TrackPopupMenuEx(menu.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, X, Y, AWindow, nullptr));
    Application.MenuLoopLeft();
    PostMessageW(AWindow, WM_NULL, 0, 0);
    if (cmd >= 1 && cmd <= FItems.size()) FItems[cmd - 1]->OnClick(FItems[cmd - 1]);
}
