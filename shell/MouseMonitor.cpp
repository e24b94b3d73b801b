#include "shell/MouseMonitor.h"

#include "framework/win/Application.h"
#include "framework/win/FileSystem.h"
#include "framework/win/MessageFilter.h"
#include "framework/win/Registry.h"
#include "framework/win/WinText.h"
#include "lang/LanguageCatalog.h"
#include "lang/LanguagePlatformWin.h"
#include "lang/TranslationService.h"
#include "profile/DMUnit.h"
#include "profile/FunctionTable.h"
#include "profile/ProductConstants.h"
#include "shell/AboutPanel.h"
#include "shell/DeviceReport.h"
#include "shell/MuteIndicator.h"
#include "shell/MuteSound.h"

#include <shellapi.h>

#include <span>

namespace {
constexpr char16_t kProfileIDKey[] = u"software\\QelHV730gmmouse";
constexpr char16_t kProfileIDValue[] = u"ProfileID";
constexpr unsigned kArrivalDelayMs = 1500;
// How long a profile switch waits for the configuration program to handle it: a hung program
// would otherwise stop the monitor's main thread, and with it every reader's hand-off, for good.
constexpr UINT kProfileSwitchedTimeoutMs = 3000;

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

TQelMonMain::TQelMonMain(TComponent* AOwner, const THidApi& AHidApi)
    : TForm(AOwner, MainWindowParams()), FMicrophoneMute(Handle(), WM_MICROPHONE_MUTE_CHANGED)
{
    // A configuration program at another integrity level still reaches the monitor.
    AllowWindowMessage(Handle(), WM_CFG_PROFILE_CHANGED);
    AllowWindowMessage(Handle(), WM_CFG_SETTINGS_CHANGED);

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

    AboutPanel = new TAboutPanel(this);
    AboutPanel->BtnOK->OnClick.Bind([this](TuiPictureButton*) { BtnOKClick(); });
    AboutPanel->BtnGoWeb->OnClick.Bind([this](TuiPictureButton*) { BtnGoWebClick(); });

    uiLanguage1 = new TuiLanguage(this, TWinLanguagePlatform::Instance());
    uiLanguage1->LoadStoredData(BuiltInLanguageData());
    uiHook1 = new TuiHook(this);
    MuteIndicator = new TMuteIndicator(this);

    uiHIDData1 = new TuiHIDData(this, AHidApi);
    uiHIDData1->SetFastOnData(false);
    uiHIDData1->OnData.Bind(this, &TQelMonMain::uiHIDData1Data);
    TimerDeviceArrial = new TTimer(this);
    TimerDeviceArrial->SetEnabled(false);
    TimerDeviceArrial->SetInterval(kArrivalDelayMs);
    TimerDeviceArrial->OnTimer.Bind(this, &TQelMonMain::TimerDeviceArrialTimer);
    // Made last: its own arrival 1500 ms after creation finds the timer ready.
    uiHIDEvent1 = new TuiHIDEvent(this);
    uiHIDEvent1->OnDeviceArrival.Bind(this, &TQelMonMain::uiHIDEvent1DeviceArrival);

    FormCreate();
}

TQelMonMain::~TQelMonMain() { FormDestroy(); }

void TQelMonMain::FormCreate()
{
    RefreshLanguage();
    if (CoreAudioSystem()) FMicrophoneMute.CreateAudioEndpoint();
    // The icon starts with the state of the endpoint held; without one it stays as it is.
    if (const std::optional<bool> muted = FMicrophoneMute.EndpointMuted()) ShowMicrophoneState(*muted);
}

bool TQelMonMain::WndProc(TMessage& AMessage)
{
    switch (AMessage.Msg) {
    case WM_SHOWWINDOW:
        // The About panel's pictures are held only while someone can see them.
        if (AMessage.WParam)
            AboutPanel->LoadPictures();
        else
            AboutPanel->ReleasePictures();
        return false;
    case WM_CLOSE:
        // Closing the main window ends the monitor, as it does for any application's main form.
        Application.Terminate();
        return true;
    case WM_DEVICE_EVENT:
        HandleDeviceEvent(AMessage.WParam, AMessage.LParam);
        return true;
    case WM_CFG_PROFILE_CHANGED:
        DM->LoadProfileGroupSettingInfoFromRegistry();
        DM->LoadAllProfileInfoFromRegistry();
        DM->LoadCurrentProfileInfoFromRegistry();
        WriteProfileIDToRegistry(static_cast<uint32_t>(AMessage.LParam));
        return true;
    case WM_CFG_SETTINGS_CHANGED:
        DM->LoadAllProfileInfoFromRegistry();
        RefreshLanguage();
        return true;
    case WM_MICROPHONE_MUTE_CHANGED:
        // A mute made elsewhere (or this monitor's own): only the icon follows.
        ShowMicrophoneState(AMessage.WParam != 0);
        return true;
    default:
        return TForm::WndProc(AMessage);
    }
}

void TQelMonMain::FormDestroy() { uiHIDData1->HidStopRead(); }

void TQelMonMain::uiHIDEvent1DeviceArrival(TuiHIDEvent*)
{
    // Each arrival starts the count anew: a burst gives one restart after its last arrival.
    TimerDeviceArrial->SetEnabled(false);
    TimerDeviceArrial->SetEnabled(true);
}

void TQelMonMain::TimerDeviceArrialTimer(TTimer*)
{
    TimerDeviceArrial->SetEnabled(false);
    RestartDeviceReading();
}

void TQelMonMain::RestartDeviceReading()
{
    uiHIDData1->HidStopRead();
    ProcessMessageAndSleep50ms();
    uiHIDData1->HidFindAndReadDevice(MouseUsageAndPage, u"*");
}

void TQelMonMain::uiHIDData1Data(const std::u16string&, const std::u16string&, uint8_t ReportID, const uint8_t* Data,
                                 uint16_t Size)
{
    // Only compares and posts: the reader waits for this handler.
    const auto event = DecodeDeviceReport(ReportID, std::span<const uint8_t>(Data, Size));
    if (!event) return;
    if (ReportID == kButtonReportID) {
        const std::wstring trace = L"KeyIndex = " + std::to_wstring(*event) + L" postmessage record!";
        OutputDebugStringW(trace.c_str());
    }
    PostMessageW(Handle(), WM_DEVICE_EVENT, *event, 1);
}

void TQelMonMain::HandleDeviceEvent(WPARAM AWParam, LPARAM ALParam)
{
    HWND cfg = FindWindowW(W(kCfgWindowClass), nullptr);
    const TDeviceEvent event = ClassifyDeviceEvent(AWParam);
    switch (event.Kind) {
    case TDeviceEvent::TKind::ProfileSwitch:
        WriteProfileIDToRegistry(ProfileIDOfProfile(event.Index));
        NotifyProfileSwitched(cfg, event.Index);
        break;
    case TDeviceEvent::TKind::Button:
        DoButtonFunction(event.Index, DM->FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[event.Index].FunctionCode,
                         ALParam);
        break;
    case TDeviceEvent::TKind::Ignored:
        break;
    }
}

void TQelMonMain::NotifyProfileSwitched(HWND AConfigWindow, unsigned AProfile)
{
    if (!AConfigWindow) return;
    // A responsive configuration program handles the message before the monitor goes on; a hung
    // one, or one slower than the time-out, is given up on. The answer is not used.
    DWORD_PTR result = 0;
    static_cast<void>(SendMessageTimeoutW(AConfigWindow, WM_DEVICE_PROFILE_SWITCHED, AProfile, 0,
                                          SMTO_NORMAL | SMTO_ABORTIFHUNG, kProfileSwitchedTimeoutMs, &result));
}

void TQelMonMain::DoButtonFunction(unsigned, uint16_t FunctionCode, LPARAM)
{
    if (FunctionCode != kFunctionMicrophoneMute) return;
    // What the platform holds after the toggle is shown and heard; with no microphone, nothing.
    const std::optional<bool> muted = MicrophoneMute();
    if (!muted) return;
    // The quickest first: the sound starts on a thread of its own, the indicator is the monitor's
    // own window, and the tray icon waits for the shell to take it.
    if (DM->FMuteFeedback.Sound) PlayMuteSound(*muted);
    if (DM->FMuteFeedback.Indicator) MuteIndicator->Show(*muted);
    ShowMicrophoneState(*muted);
}

void TQelMonMain::ShowMicrophoneState(bool AMuted)
{
    if (DM->FMuteFeedback.TrayIcon) TrayIcon1->SetIconResource(AMuted ? kIconMuted : kIconLive);
}

bool TQelMonMain::WriteProfileIDToRegistry(uint32_t Value)
{
    TRegistry registry(HKEY_CURRENT_USER);
    if (!registry.OpenKey(kProfileIDKey, false)) return false;
    registry.WriteInteger(kProfileIDValue, Value);
    return true;
}

std::optional<bool> TQelMonMain::MicrophoneMute() { return FMicrophoneMute.MicrophoneMute(); }

void TQelMonMain::RefreshLanguage()
{
    const int current = uiLanguage1->GetLanguageIndexByShortID(uiLanguage1->Lang());
    const int chosen = DM->FAllProfileSettingInfo.CurrentLanguage;
    // Lang starts empty, so the stored language is always made current once at start.
    if (current != chosen)
        uiLanguage1->SetLang(uiLanguage1->GetLanguageShortIDByIndex(chosen));

    TrayIcon1->SetHint(TranslateText(u"Gaming Mouse Driver"));
    Application.SetTitle(TranslateText(kApplicationTitle));
    MyPopupMenu->Items(0)->Caption = TranslateText(u"Config");
    MyPopupMenu->Items(1)->Caption = TranslateText(u"About");
    MyPopupMenu->Items(2)->Caption = TranslateText(u"Exit");
    // The driver title is the hint that stays.
    TrayIcon1->SetHint(TranslateText(kTrayIconHint));
    Application.SetTitle(TranslateText(kApplicationTitle));
}

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
    const std::u16string& site = AboutPanel->TextWeb->Text();
    static_cast<void>(ShellExecuteW(Handle(), L"open", W(site), nullptr, nullptr, SW_SHOWNORMAL));
}
