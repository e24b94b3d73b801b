#pragma once
// Tray icon component: the icon with its hint in the notification area, a click event for the
// left button and a pop-up menu for the right. The icon comes back when the shell's taskbar is
// created anew.
#include "framework/core/Component.h"
#include "framework/core/Event.h"
#include "framework/win/Handle.h"
#include "framework/win/PopupMenu.h"
#include "framework/win/UtilityWindow.h"

#include <string>

class TTrayIcon : public TComponent {
public:
    explicit TTrayIcon(TComponent* AOwner);
    ~TTrayIcon() override;

    bool Visible() const { return FVisible; }
    void SetVisible(bool AVisible);
    const std::u16string& Hint() const { return FHint; }
    // The tray shows at most 127 characters; a longer hint is cut there.
    void SetHint(const std::u16string& AHint);
    // The program's icon resource shown (1, the application's icon, at start); a picture the
    // program lacks shows the system's application icon.
    WORD IconResource() const { return FIconResource; }
    void SetIconResource(WORD AResource);
    TPopupMenu* PopupMenu = nullptr;

    // Left button released (once for a double click).
    TEvent<void(TTrayIcon* Sender)> OnClick;

    // The window that receives the icon's notifications, and the icon's number on it.
    HWND Handle() const { return FWindow.Handle(); }
    static constexpr UINT kIconId = 1;
    // The message that brings the icon's mouse events, the event in its LParam.
    static constexpr UINT kCallbackMessage = WM_APP + 0x3A2;

private:
    bool HandleMessage(TMessage& AMessage);
    bool Notify(DWORD AAction);
    void Add();

    bool FVisible = false;
    bool FAdded = false;
    bool FAfterDoubleClick = false;
    std::u16string FHint;
    WORD FIconResource = 1;
    TIconOwner FIcon;
    UINT FTaskbarCreated;
    TUtilityWindow FWindow;
};
