#pragma once
// The monitor's main window: hidden, found by other programs by its class and caption. It hosts
// the tray icon and its menu and doubles as the About window.
#include "framework/win/Form.h"
#include "framework/win/PopupMenu.h"
#include "framework/win/TrayIcon.h"
#include "hook/uiHook.h"
#include "lang/uiLanguage.h"

#include <string>

class TQelMonMain : public TForm {
public:
    explicit TQelMonMain(TComponent* AOwner);
    ~TQelMonMain() override;

    TTrayIcon* TrayIcon1;
    TPopupMenu* MyPopupMenu;
    TMenuItem* Config1;
    TMenuItem* About1;
    TMenuItem* Exit1;
    // Holds the built-in languages "CH" and "US"; the stored languages follow a "ui.local".
    TuiLanguage* uiLanguage1;
    TuiHook* uiHook1;
    // The vendor's web site shown on the About panel and opened by its button.
    std::u16string TextWeb = u"https://example.com/qel";

    void OpenConfigProgram();
    void ProcessMessageAndSleep50ms();

    void Config1Click(TMenuItem* Sender);
    void About1Click(TMenuItem* Sender);
    void Exit1Click(TMenuItem* Sender);
    void TrayIconDblClick(TTrayIcon* Sender);
    void BtnOKClick();
    void BtnGoWebClick();

protected:
    bool WndProc(TMessage& AMessage) override;

private:
    void FormCreate();
    void FormDestroy();
};
