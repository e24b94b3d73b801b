#include "shell/MouseMonitor.h"

#include "framework/win/Application.h"
#include "framework/win/FileSystem.h"
#include "framework/win/WinText.h"
#include "lang/LanguageCatalog.h"
#include "lang/LanguagePlatformWin.h"
#include "profile/ProductConstants.h"

#include <shellapi.h>

namespace {
TForm::TParams MainWindowParams()
{
    TForm::TParams p;
    p.ClassName = kMonitorWindowClass;
    p.Caption = kMonitorWindowCaption;
    p.Style = WS_POPUP;
    // A tool window gets no task-bar button.
    p.ExStyle = WS_EX_TOOLWINDOW;
    p.ClientWidth = 504;
    p.ClientHeight = 400;
    return p;
}
} // namespace

TQelMonMain::TQelMonMain(TComponent* AOwner) : TForm(AOwner, MainWindowParams())
{
    MyPopupMenu = new TPopupMenu(this);
    Config1 = MyPopupMenu->Add(u"Config");
    About1 = MyPopupMenu->Add(u"About");
    About1->Visible = false;
    Exit1 = MyPopupMenu->Add(u"Exit");
    Config1->OnClick.Bind(this, &TQelMonMain::Config1Click);
    About1->OnClick.Bind(this, &TQelMonMain::About1Click);
    Exit1->OnClick.Bind(this, &TQelMonMain::Exit1Click);

    TrayIcon1 = new TTrayIcon(this);
    TrayIcon1->PopupMenu = MyPopupMenu;
    TrayIcon1->OnClick.Bind(this, &TQelMonMain::TrayIconDblClick);
    TrayIcon1->SetHint(kTrayIconHint);
    TrayIcon1->SetVisible(true);

    uiLanguage1 = new TuiLanguage(this, TWinLanguagePlatform::Instance());
    uiLanguage1->LoadStoredData(BuiltInLanguageData());
    uiHook1 = new TuiHook(this);

    FormCreate();
}

TQelMonMain::~TQelMonMain() { FormDestroy(); }

void TQelMonMain::FormCreate() {}

bool TQelMonMain::WndProc(TMessage& AMessage)
{
    // Closing the main window ends the monitor, as it does for any application's main form.
    if (AMessage.Msg == WM_CLOSE) {
        Application.Terminate();
        return true;
    }
    return TForm::WndProc(AMessage);
}

void TQelMonMain::FormDestroy() {}

void TQelMonMain::OpenConfigProgram()
{
    if (HWND cfg = FindWindowW(nullptr, W(kCfgWindowCaption))) {
        ShowWindow(cfg, SW_SHOW);
        SetForegroundWindow(cfg);
        return;
    }
    // The full path in the monitor's own folder: no other program of that name on the search path
    // can be started in its place.
    const std::u16string folder = ProgramFolder();
    const std::u16string file = folder + kCfgFileName;
    // A missing configuration program is not reported.
    static_cast<void>(ShellExecuteW(nullptr, L"open", W(file), nullptr, W(folder), SW_SHOW));
}

void TQelMonMain::ProcessMessageAndSleep50ms()
{
    Application.ProcessMessages();
    Sleep(50);
}

void TQelMonMain::Config1Click(TMenuItem*) { OpenConfigProgram(); }

void TQelMonMain::TrayIconDblClick(TTrayIcon*) { OpenConfigProgram(); }

void TQelMonMain::About1Click(TMenuItem*)
{
    Show();
    ProcessMessageAndSleep50ms();
    SetForegroundWindow(Handle());
}

void TQelMonMain::Exit1Click(TMenuItem*)
{
    if (HWND cfg = FindWindowW(nullptr, W(kCfgWindowCaption))) PostMessageW(cfg, WM_MONITOR_EXIT, 0, 0);
    Application.Terminate();
}

void TQelMonMain::BtnOKClick() { Hide(); }

void TQelMonMain::BtnGoWebClick()
{
    static_cast<void>(ShellExecuteW(Handle(), L"open", W(TextWeb), nullptr, nullptr, SW_SHOWNORMAL));
}
