// The main window TQelMonMain with its own components: over the simulated device (Wine's HID
// devices send no reports), with the profile data of a registry key of its own, Wine's null
// microphone, and the configuration program's double as a real process.
#include "shell/MouseMonitor.h"

#include "audio/tests/EndpointNotification.h"
#include "framework/tests/ScreenPixels.h"
#include "framework/win/Application.h"
#include "framework/win/FileSystem.h"
#include "framework/win/Handle.h"
#include "hid/tests/HidTestSupport.h"
#include "hid/tests/SimulatedHidDevice.h"
#include "lang/LanguagePlatformWin.h"
#include "lang/TranslationService.h"
#include "lang/tests/LanguageTestSupport.h"
#include "profile/DMUnit.h"
#include "profile/FunctionTable.h"
#include "profile/ProductConstants.h"
#include "profile/tests/WinTestSupport.h"
#include "shell/MuteIndicator.h"

#include <gtest/gtest.h>

#include <dbt.h>
#include <shellapi.h>
#include <shlobj.h>

#include <wrl/client.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::u16string kMouse = u"\\\\?\\sim#vid_1d57&pid_0730#mouse";
const std::u16string kKeyboard = u"\\\\?\\sim#vid_1d57&pid_0731#keyboard";
constexpr char16_t kProfileIDKey[] = u"software\\QelHV730gmmouse";
constexpr uint8_t kLanguageCH = 0;
constexpr uint8_t kLanguageUS = 1;

std::u16string Documents()
{
    wchar_t buffer[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, buffer);
    return U(buffer) + u"\\";
}

std::wstring BesideProgram(const wchar_t* AName) { return HidTest::ProgramDirectory() + AName; }

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

// Debugger output of this process: the platform raises it as an exception, which a vectored
// handler sees before the platform's own handler swallows it.
std::vector<std::string> GTraces;
LONG CALLBACK CatchTrace(EXCEPTION_POINTERS* AInfo)
{
    const EXCEPTION_RECORD& r = *AInfo->ExceptionRecord;
    if (r.ExceptionCode == DBG_PRINTEXCEPTION_C && r.NumberParameters >= 2)
        GTraces.emplace_back(reinterpret_cast<const char*>(r.ExceptionInformation[1]));
    return EXCEPTION_CONTINUE_SEARCH;
}

// The configuration program's double, started beside the test program with its window found.
class TCfgDouble {
public:
    explicit TCfgDouble(const std::wstring& AArguments = L"/hidden")
    {
        DeleteFileW(LogPath().c_str());
        std::wstring command = L"\"" + BesideProgram(L"QelCfg.exe") + L"\" " + AArguments;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
        FProcess.Reset(pi.hProcess);
        CloseHandle(pi.hThread);
        for (int i = 0; i < 400 && !FindWindowW(L"TQelCfgMain", nullptr); ++i) Sleep(50);
    }
    ~TCfgDouble()
    {
        if (!FProcess) return;
        TerminateProcess(FProcess.Get(), 0);
        WaitForSingleObject(FProcess.Get(), 10000);
    }
    bool Running() const { return FindWindowW(L"TQelCfgMain", nullptr) != nullptr; }
    static std::wstring LogPath() { return BesideProgram(L"QelCfg.log"); }
    // The "msg ..." lines of its log.
    static std::vector<std::string> Messages()
    {
        std::vector<std::string> out;
        std::ifstream log{std::filesystem::path(LogPath())};
        for (std::string line; std::getline(log, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.rfind("msg ", 0) == 0) out.push_back(line);
        }
        return out;
    }

private:
    THandleOwner FProcess;
};

// The orange of the product's tile and of the live indicator's ring.
bool Orange(uint32_t APixel)
{
    return (APixel >> 16 & 0xFF) > 230 && (APixel >> 8 & 0xFF) > 100 && (APixel >> 8 & 0xFF) < 150 && (APixel & 0xFF) < 40;
}

// What the shell's taskbar shows in its notification area: the monitor's tile, with its red
// mute badge or without, or no icon at all.
enum class TTrayShows { Nothing, ProductIcon, MutedIcon };
TTrayShows TrayShows()
{
    const std::vector<uint32_t> taskbar = ScreenPixels(TrayArea());
    if (CountPixels(taskbar, Orange) < 20) return TTrayShows::Nothing;
    return CountPixels(taskbar, MuteRed) >= 8 ? TTrayShows::MutedIcon : TTrayShows::ProductIcon;
}

// The indicator's picture as the screen shows it.
enum class TIndicatorShows { Nothing, Live, Muted };
TIndicatorShows IndicatorShows(HWND AIndicator)
{
    RECT r{};
    if (!AIndicator || !IsWindowVisible(AIndicator) || !GetWindowRect(AIndicator, &r)) return TIndicatorShows::Nothing;
    const std::vector<uint32_t> pixels = ScreenPixels(r);
    if (CountPixels(pixels, MuteRed) > 100) return TIndicatorShows::Muted;
    if (CountPixels(pixels, Orange) > 100) return TIndicatorShows::Live;
    return TIndicatorShows::Nothing;
}

// Each test has its own profile data (registry key, Documents folder, config.ini); the ProfileID
// key starts absent.
class MonitorTest : public ::testing::Test {
protected:
    MonitorTest()
        : Name(CurrentTestName()),
          ProfileKey(u"software\\QelMonTests\\" + Name),
          Config(u"QelMonShellConfig_" + Name),
          Profiles(u"QelMonShellTests_" + Name, Documents(), false),
          ProfileIDKey(kProfileIDKey)
    {
        std::ofstream ini(FsPath(Config.Path() + u"config.ini"), std::ios::binary | std::ios::trunc);
        ini << "[options]\r\nProfileRegFolder=QelMonTests\\" << Utf8FromUtf16(Name)
            << "\r\nprofileFolder=QelMonShellTests_" << Utf8FromUtf16(Name) << "\r\n";
    }

    void SetUp() override
    {
        Application.Initialize();
        Application.ProcessMessages();
        HidTest::WriteConfig({});
        SimulatedHid::Reset();
        DM = new TDM(nullptr, Config.Path());
        DM->FAllProfileSettingInfo.CurrentLanguage = kLanguageUS;
    }
    void TearDown() override
    {
        Form.reset();
        delete DM;
        DM = nullptr;
        TranslationService::Reset();
        Application.OnException.Clear();
        EXPECT_EQ(SimulatedHid::OpenHandles(), 0);
        SimulatedHid::Reset();
    }

    void StartMonitor() { Form = std::make_unique<TQelMonMain>(nullptr, SimulatedHid::WalkApi()); }

    // Starts the monitor with the mouse plugged in and waits for its first search (about 3 s).
    void StartReadingMouse()
    {
        SimulatedHid::AddDevice(kMouse, 8, 24);
        StartMonitor();
        ASSERT_TRUE(HidTest::PumpUntil([] { return SimulatedHid::ReadsIssued() > 0; }, 15000))
            << "the monitor never read the mouse";
    }

    // Sends one report (identifier first) as the mouse and lets the main thread take it.
    void Report(std::vector<uint8_t> ABytes)
    {
        ASSERT_TRUE(HidTest::PumpUntil([] { return SimulatedHid::WaitForPendingReads(kMouse, 1, 0); }))
            << "no read pending";
        ASSERT_TRUE(SimulatedHid::Send(kMouse, ABytes));
    }

    void Arrival()
    {
        DEV_BROADCAST_DEVICEINTERFACE_W header{};
        header.dbcc_size = sizeof(header);
        header.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        SendMessageW(Form->uiHIDEvent1->WindowHandle(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL,
                     reinterpret_cast<LPARAM>(&header));
    }

    bool Muted() const
    {
        BOOL muted = FALSE;
        IAudioEndpointVolume* endpoint = Form->MicrophoneEndpoint();
        EXPECT_NE(endpoint, nullptr) << "no microphone endpoint: is the sound server running?";
        if (endpoint) {
            EXPECT_EQ(endpoint->GetMute(&muted), S_OK);
        }
        return muted != FALSE;
    }

    // ProfileID as stored, or -1 when there is none.
    long long StoredProfileID() const
    {
        std::vector<uint8_t> bytes;
        DWORD type = 0;
        if (!ProfileIDKey.Read(u"ProfileID", bytes, &type)) return -1;
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(bytes.size(), 4u);
        return bytes.size() == 4 ? static_cast<long long>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | bytes[3] << 24) : -1;
    }
    void CreateProfileIDKey() const
    {
        const uint32_t none = 99;
        ProfileIDKey.Write(u"Marker", &none, sizeof none, REG_DWORD);
    }

    void SetFunction(unsigned AKeyIndex, uint16_t ACode)
    {
        DM->FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[AKeyIndex].FunctionCode = ACode;
    }

    std::u16string Name;
    TTestRegistryKey ProfileKey;
    TTestFolder Config;
    TTestFolder Profiles;
    TTestRegistryKey ProfileIDKey;
    std::unique_ptr<TQelMonMain> Form;
};

// ---- The window itself ----

TEST_F(MonitorTest, HiddenBorderlessToolWindowFoundByClassAndCaption)
{
    StartMonitor();
    HWND found = FindWindowW(L"TQelMonMain", L"QEL_MONITOR_EX");
    ASSERT_EQ(found, Form->Handle());
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
    ASSERT_EQ(Form->MyPopupMenu->Count(), 3);
    EXPECT_FALSE(Form->About1->Visible);
    TMenuOwner menu(Form->MyPopupMenu->BuildMenu());
    EXPECT_EQ(MenuCaptions(menu.Get()), (std::vector<std::wstring>{L"Config", L"Exit"}));
    EXPECT_EQ(Form->TrayIcon1->Hint(), kTrayIconHint);
}

TEST_F(MonitorTest, AboutShowsAtDesktopCentreAndOkHidesIt)
{
    StartMonitor();
    Form->About1Click(Form->About1);
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));
    RECT wr{}, work{};
    GetWindowRect(Form->Handle(), &wr);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((wr.left + wr.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((wr.top + wr.bottom) / 2, (work.top + work.bottom) / 2, 1);
    Form->BtnOKClick();
    EXPECT_FALSE(IsWindowVisible(Form->Handle()));
}

TEST_F(MonitorTest, HoldsTheBuiltInLanguages)
{
    StartMonitor();
    EXPECT_EQ(Form->uiLanguage1->GetLanguageShortIDByIndex(0), u"CH");
    EXPECT_EQ(Form->uiLanguage1->GetLanguageShortIDByIndex(1), u"US");
    EXPECT_FALSE(Form->uiLanguage1->Active());
    Form->uiLanguage1->SetLang(u"CH");
    EXPECT_EQ(TranslateText(u"Config"), u"打开配置");
    // Other programs find the monitor by its caption: no language may change it.
    EXPECT_EQ(Form->Caption(), u"QEL_MONITOR_EX");
    Form->uiLanguage1->SetLang(u"US");
    EXPECT_EQ(TranslateText(u"Config"), u"Config");
}

TEST(TrayIcon, HintIsCutToTheTraysLimit)
{
    Application.Initialize();
    TTrayIcon icon(nullptr);
    icon.SetHint(std::u16string(300, u'x'));
    EXPECT_EQ(icon.Hint().size(), 127u);
}

// ---- The timeline of reading ----

TEST_F(MonitorTest, NothingIsReadBeforeTheFirstSearchAboutThreeSecondsAfterStart)
{
    SimulatedHid::AddDevice(kMouse, 8, 24);
    const auto start = std::chrono::steady_clock::now();
    StartMonitor();
    ASSERT_TRUE(HidTest::PumpUntil([] { return SimulatedHid::ReadsIssued() > 0; }, 15000));
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    // 1500 ms to the notifier's own arrival, 1500 ms of the restart timer, 50 ms of pause.
    EXPECT_GE(ms, 2950);
    EXPECT_LE(ms, 8000) << "a loaded machine may be slow, not this slow";
    EXPECT_EQ(Form->uiHIDData1->ReadingDevicePaths(), std::vector<std::u16string>{kMouse});
    // The window reads what the profile data module selected: the mouse's vendor collection.
    EXPECT_EQ(MouseUsageAndPage.UsagePage, 0xFFA0);
    EXPECT_EQ(MouseUsageAndPage.Usage, 0x0001);
}

TEST_F(MonitorTest, ABurstOfArrivalsGivesOneSearchAfterTheLast)
{
    StartReadingMouse();
    const int before = SimulatedHid::ReadsIssued();
    // Three arrivals within a second; each search stops the reader and starts a new one, whose
    // first read is counted.
    Arrival();
    HidTest::PumpFor(450);
    Arrival();
    HidTest::PumpFor(450);
    const auto last = std::chrono::steady_clock::now();
    Arrival();
    ASSERT_TRUE(HidTest::PumpUntil([&] { return SimulatedHid::ReadsIssued() > before; }, 10000));
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - last).count();
    EXPECT_GE(ms, 1450);
    EXPECT_LE(ms, 5000);
    HidTest::PumpFor(2500);
    EXPECT_EQ(SimulatedHid::ReadsIssued(), before + 1) << "more than one search";
    EXPECT_EQ(Form->uiHIDData1->ReadingDevicePaths(), std::vector<std::u16string>{kMouse});
}

TEST_F(MonitorTest, AnotherHidDeviceArrivingRestartsTheMousesReading)
{
    StartReadingMouse();
    const int before = SimulatedHid::ReadsIssued();
    SimulatedHid::TDeviceModel keyboard;
    keyboard.Path = kKeyboard;
    keyboard.Collection = {0x0006, 0x0001};
    SimulatedHid::AddDevice(keyboard);
    Arrival();
    ASSERT_TRUE(HidTest::PumpUntil([&] { return SimulatedHid::ReadsIssued() > before; }, 10000))
        << "the mouse was not read again";
    HidTest::PumpFor(300);
    EXPECT_EQ(SimulatedHid::ReadsIssued(), before + 1);
    EXPECT_EQ(Form->uiHIDData1->ReadingDevicePaths(), std::vector<std::u16string>{kMouse});
    // The new reader takes reports.
    SetFunction(3, kFunctionMicrophoneMute);
    const bool muted = Muted();
    Report({7, 0x08, 0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(HidTest::PumpUntil([&] { return Muted() != muted; }));
}

TEST_F(MonitorTest, WithoutTheMouseNoReaderUntilItArrives)
{
    SimulatedHid::TDeviceModel keyboard;
    keyboard.Path = kKeyboard;
    keyboard.Collection = {0x0006, 0x0001};
    SimulatedHid::AddDevice(keyboard);
    StartMonitor();
    HidTest::PumpFor(4500);
    EXPECT_TRUE(Form->uiHIDData1->ReadingDevicePaths().empty());
    EXPECT_EQ(SimulatedHid::ReadsIssued(), 0);

    SimulatedHid::AddDevice(kMouse, 8, 24);
    Arrival();
    EXPECT_TRUE(HidTest::PumpUntil([] { return SimulatedHid::ReadsIssued() == 1; }, 10000));
    EXPECT_EQ(Form->uiHIDData1->ReadingDevicePaths(), std::vector<std::u16string>{kMouse});
}

TEST_F(MonitorTest, DestroyingTheWindowStopsReading)
{
    StartReadingMouse();
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kMouse));
    Form.reset();
    // Every reader has let go of the device: no handle stays open (checked again at the end).
    EXPECT_EQ(SimulatedHid::OpenHandles(), 0);
    EXPECT_FALSE(SimulatedHid::WaitForPendingReads(kMouse, 1, 200));
}

// ---- The dispatch ----

TEST_F(MonitorTest, AButtonWithMicrophoneMuteTogglesOncePerReportAndOtherCodesDoNothing)
{
    PVOID handler = AddVectoredExceptionHandler(1, CatchTrace);
    GTraces.clear();
    StartReadingMouse();
    SetFunction(2, kFunctionMicrophoneMute);
    SetFunction(5, 1);
    SetFunction(14, kFunctionMicrophoneMute);
    const bool initial = Muted();
    // Reports are handled in order: the other code and the ignored reports come before the toggle
    // that is waited for.
    Report({7, 0x20, 0, 0, 0, 0, 0, 0}); // key 5: another code
    Report({7, 0x06, 0, 0, 0, 0, 0, 0}); // two buttons
    Report({7, 0x04, 0, 0, 0, 0, 0});    // 6 data bytes
    Report({7, 0x04, 0, 0, 0, 0, 0, 0}); // key 2: microphone mute
    ASSERT_TRUE(HidTest::PumpUntil([&] { return Muted() != initial; }));
    HidTest::PumpFor(300);
    EXPECT_EQ(Muted(), !initial) << "toggled more than once";
    Report({7, 0x00, 0x40, 0, 0, 0, 0, 0}); // key 14, the last with an assignment
    EXPECT_TRUE(HidTest::PumpUntil([&] { return Muted() == initial; }));
    RemoveVectoredExceptionHandler(handler);
    EXPECT_EQ(GTraces, (std::vector<std::string>{"KeyIndex = 5 postmessage record!", "KeyIndex = 2 postmessage record!",
                                                 "KeyIndex = 14 postmessage record!"}));
}

TEST_F(MonitorTest, AProfileReportWritesProfileIDAndTellsTheConfigurationProgram)
{
    TCfgDouble cfg;
    ASSERT_TRUE(cfg.Running());
    StartReadingMouse();
    struct TCase {
        std::vector<uint8_t> Report;
        long long ProfileID;
        const char* Message;
    };
    CreateProfileIDKey();
    const TCase cases[] = {
        {{8, 0x01, 0x03, 0, 0, 0, 0, 0}, 1, "msg 7040 3 0"},
        {{8, 0x01, 0x00, 0, 0, 0, 0, 0}, 0, "msg 7040 0 0"},
        {{7, 0x00, 0x00, 0x80, 0, 0, 0, 0}, 1, "msg 7040 2 0"}, // button bit 23: profile 2
        {{8, 0x01, 0x04, 0, 0, 0, 0, 0}, 1, "msg 7040 4 0"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(ProfileIDKey.Exists());
        RegDeleteKeyValueW(HKEY_CURRENT_USER, W(ProfileIDKey.Path()), L"ProfileID");
        const size_t before = TCfgDouble::Messages().size();
        Report(c.Report);
        ASSERT_TRUE(HidTest::PumpUntil([&] { return TCfgDouble::Messages().size() > before; })) << c.Message;
        EXPECT_EQ(TCfgDouble::Messages().back(), c.Message);
        EXPECT_EQ(StoredProfileID(), c.ProfileID) << c.Message;
    }
    // Reports that mean nothing send nothing.
    Report({8, 0x01, 0x05, 0, 0, 0, 0, 0});
    Report({8, 0x02, 0x01, 0, 0, 0, 0, 0});
    Report({8, 0x01, 0x03, 0, 0, 0, 0});
    HidTest::PumpFor(500);
    EXPECT_EQ(TCfgDouble::Messages().size(), 4u);

    // Without the key, nothing is written and the key is not created; the message goes all the same.
    ProfileIDKey.Delete();
    Report({8, 0x01, 0x02, 0, 0, 0, 0, 0});
    ASSERT_TRUE(HidTest::PumpUntil([&] { return TCfgDouble::Messages().size() == 5; }));
    EXPECT_EQ(TCfgDouble::Messages().back(), "msg 7040 2 0");
    EXPECT_FALSE(ProfileIDKey.Exists());
}

TEST_F(MonitorTest, WithoutTheConfigurationProgramAProfileSwitchIsStillRecorded)
{
    ASSERT_FALSE(FindWindowW(L"TQelCfgMain", nullptr));
    StartMonitor();
    CreateProfileIDKey();
    SendMessageW(Form->Handle(), WM_DEVICE_EVENT, 21, 1);
    EXPECT_EQ(StoredProfileID(), 0);
    SendMessageW(Form->Handle(), WM_DEVICE_EVENT, 25, 1);
    EXPECT_EQ(StoredProfileID(), 1);
}

TEST_F(MonitorTest, AConfigurationProgramThatStopsAnsweringDoesNotHoldTheMonitor)
{
    TCfgDouble cfg(L"/hidden /stop-after 7040");
    ASSERT_TRUE(cfg.Running());
    StartReadingMouse();
    SetFunction(2, kFunctionMicrophoneMute);
    const bool initial = Muted();
    for (const WPARAM event : {24, 22}) {
        const auto start = std::chrono::steady_clock::now();
        SendMessageW(Form->Handle(), WM_DEVICE_EVENT, event, 1);
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(ms, 10000) << "the monitor waited for a hung program";
    }
    EXPECT_EQ(TCfgDouble::Messages(), std::vector<std::string>{"msg 7040 3 0"}) << "the double stopped after one";
    // The main thread still takes the reader's reports and acts on them.
    Report({7, 0x04, 0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(HidTest::PumpUntil([&] { return Muted() != initial; }));
}

// ---- What the user sees of the microphone's state ----

TEST_F(MonitorTest, AToggleByTheButtonShowsTheStateInTheTrayAndTheIndicatorWithoutTakingTheFocus)
{
    StartReadingMouse();
    SetFunction(3, kFunctionMicrophoneMute);
    ASSERT_TRUE(SUCCEEDED(Form->MicrophoneEndpoint()->SetMute(FALSE, nullptr)));
    ASSERT_TRUE(HidTest::PumpUntil([] { return TrayShows() == TTrayShows::ProductIcon; }))
        << "the tray does not show the product icon";
    // A window of this program has the focus, as a game would.
    TCfgDouble other(L"");
    ASSERT_TRUE(other.Running());
    HWND foreground = FindWindowW(L"TQelCfgMain", nullptr);
    SetForegroundWindow(foreground);
    ASSERT_TRUE(HidTest::PumpUntil([&] { return GetForegroundWindow() == foreground; }));

    Report({7, 0x08, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(HidTest::PumpUntil([&] { return IndicatorShows(Form->MuteIndicator->Handle()) == TIndicatorShows::Muted; }))
        << "no indicator of the muted microphone";
    EXPECT_TRUE(Muted());
    HWND indicator = Form->MuteIndicator->Handle();
    const LONG_PTR exStyle = GetWindowLongPtrW(indicator, GWL_EXSTYLE);
    for (const LONG_PTR bit : std::initializer_list<LONG_PTR>{WS_EX_TOPMOST, WS_EX_NOACTIVATE, WS_EX_TRANSPARENT,
                                                               WS_EX_LAYERED, WS_EX_TOOLWINDOW})
        EXPECT_EQ(exStyle & bit, bit) << std::hex << bit;
    EXPECT_EQ(GetParent(indicator), nullptr);
    EXPECT_EQ(GetForegroundWindow(), foreground) << "the indicator took the foreground";
    // Near the bottom centre of the screen that holds the foreground window.
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(foreground, MONITOR_DEFAULTTOPRIMARY), &screen));
    RECT r{};
    GetWindowRect(indicator, &r);
    EXPECT_NEAR((r.left + r.right) / 2, (screen.rcWork.left + screen.rcWork.right) / 2, 1);
    EXPECT_GT(r.top, (screen.rcWork.top + screen.rcWork.bottom) / 2);
    EXPECT_LE(r.bottom, screen.rcWork.bottom);
    EXPECT_TRUE(HidTest::PumpUntil([] { return TrayShows() == TTrayShows::MutedIcon; })) << "the tray icon is not muted";
    EXPECT_EQ(Form->TrayIcon1->Hint(), kTrayIconHint);

    // A second press while it shows switches its picture.
    Report({7, 0x08, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(HidTest::PumpUntil([&] { return IndicatorShows(Form->MuteIndicator->Handle()) == TIndicatorShows::Live; }))
        << "the indicator did not switch to the live microphone";
    const auto secondShown = std::chrono::steady_clock::now();
    EXPECT_FALSE(Muted());
    EXPECT_TRUE(HidTest::PumpUntil([] { return TrayShows() == TTrayShows::ProductIcon; }))
        << "the tray icon did not come back";
    // Then it goes, and its window with it.
    ASSERT_TRUE(HidTest::PumpUntil([&] { return Form->MuteIndicator->Handle() == nullptr; }, 10000))
        << "the indicator stayed";
    EXPECT_FALSE(IsWindow(indicator));
    std::printf("indicator gone %lld ms after the second press was shown\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - secondShown)
                                           .count()));
    EXPECT_EQ(GetForegroundWindow(), foreground);
}

TEST_F(MonitorTest, WithTheFeedbackSwitchedOffAToggleShowsNothing)
{
    DM->FMuteFeedback = TMuteFeedbackOptions{false, false, false};
    StartReadingMouse();
    SetFunction(3, kFunctionMicrophoneMute);
    const bool initial = Muted();
    Report({7, 0x08, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(HidTest::PumpUntil([&] { return Muted() != initial; }));
    // A notification of the endpoint changes nothing either.
    EXPECT_EQ(NotifyFromAnotherThread(Form->MicrophoneCallback(), TRUE), S_OK);
    HidTest::PumpFor(500);
    EXPECT_EQ(Form->MuteIndicator->Handle(), nullptr);
    EXPECT_EQ(Form->TrayIcon1->IconResource(), TQelMonMain::kIconLive);
    EXPECT_EQ(TrayShows(), TTrayShows::ProductIcon);
}

TEST_F(MonitorTest, TheEndpointsNotificationsSwitchTheTrayIconAndNothingOnceTheWindowIsGone)
{
    StartMonitor();
    Microsoft::WRL::ComPtr<IAudioEndpointVolumeCallback> callback = Form->MicrophoneCallback();
    ASSERT_NE(callback, nullptr) << "no callback registered: is the session's sound server running?";
    ASSERT_TRUE(HidTest::PumpUntil([] { return TrayShows() == TTrayShows::ProductIcon; }));
    EXPECT_EQ(NotifyFromAnotherThread(callback.Get(), TRUE), S_OK);
    EXPECT_TRUE(HidTest::PumpUntil([] { return TrayShows() == TTrayShows::MutedIcon; })) << "not muted by the notification";
    // A mute made elsewhere has its own display: no indicator.
    EXPECT_EQ(Form->MuteIndicator->Handle(), nullptr);

    // The shell restarts: the icon it is given again shows the state.
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = Form->TrayIcon1->Handle();
    nid.uID = TTrayIcon::kIconId;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &nid));
    ASSERT_TRUE(HidTest::PumpUntil([] { return TrayShows() == TTrayShows::Nothing; }, 10000));
    SendMessageW(Form->TrayIcon1->Handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(HidTest::PumpUntil([] { return TrayShows() == TTrayShows::MutedIcon; }, 10000))
        << "the icon added again does not show the muted state";

    EXPECT_EQ(NotifyFromAnotherThread(callback.Get(), FALSE), S_OK);
    EXPECT_TRUE(HidTest::PumpUntil([] { return TrayShows() == TTrayShows::ProductIcon; })) << "not live again";

    // Whoever still holds the callback after the window has gone reaches nothing.
    const HWND window = Form->Handle();
    Form.reset();
    ASSERT_FALSE(IsWindow(window));
    EXPECT_EQ(NotifyFromAnotherThread(callback.Get(), TRUE), S_OK);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_MICROPHONE_MUTE_CHANGED, WM_MICROPHONE_MUTE_CHANGED, PM_REMOVE));
}

// ---- The configuration program's messages ----

TEST_F(MonitorTest, ProfileChangedReloadsTheProfileDataAndStoresProfileID)
{
    StartMonitor();
    CreateProfileIDKey();
    ASSERT_NE(DM->FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[7].FunctionCode, kFunctionMicrophoneMute);
    {
        // The configuration program makes group 1 current with profile 3, whose button 7 mutes.
        TDM cfg(nullptr, Config.Path());
        cfg.FProfileSettingGroup.CurrentProfileGroup = 1;
        cfg.FProfileSettingGroup.ProfileIndexOfProfileGroup[1] = 3;
        cfg.SaveProfileGroupSettingInfoToRegistry();
        ASSERT_TRUE(cfg.SwitchToProfileGroup(1));
        cfg.FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[7].FunctionCode = kFunctionMicrophoneMute;
        cfg.SaveCurrentProfileInfoToRegistry();
    }
    SendMessageW(Form->Handle(), WM_CFG_PROFILE_CHANGED, 0, 3);
    EXPECT_EQ(StoredProfileID(), 3);
    EXPECT_EQ(DM->ProfileGroupIndex(), 1);
    EXPECT_EQ(DM->ProfileIndex(), 3);
    EXPECT_EQ(DM->FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[7].FunctionCode, kFunctionMicrophoneMute);

    // The button assignment used by the device events is the new one.
    const bool initial = Muted();
    SendMessageW(Form->Handle(), WM_DEVICE_EVENT, 7, 1);
    EXPECT_EQ(Muted(), !initial);

    // Without the key, ProfileID is not written and the key is not created.
    ProfileIDKey.Delete();
    SendMessageW(Form->Handle(), WM_CFG_PROFILE_CHANGED, 0, 2);
    EXPECT_FALSE(ProfileIDKey.Exists());
}

TEST_F(MonitorTest, TheStoredLanguageIsAppliedAtStartAndOnSettingsChanged)
{
    DM->FAllProfileSettingInfo.CurrentLanguage = kLanguageCH;
    StartMonitor();
    EXPECT_EQ(Form->uiLanguage1->Lang(), u"CH");
    // The built-in Chinese table has no entry for the driver title: the text itself stays.
    EXPECT_EQ(Form->TrayIcon1->Hint(), kTrayIconHint);
    TMenuOwner ch(Form->MyPopupMenu->BuildMenu());
    EXPECT_EQ(MenuCaptions(ch.Get()), (std::vector<std::wstring>{L"打开配置", L"退出软件"}));
    EXPECT_EQ(Form->About1->Caption, u"关于软件");

    std::vector<std::u16string> changes;
    Form->uiLanguage1->OnLanguageChanged.Bind(
        [&](TComponent*, const std::u16string& AName, const std::u16string&) { changes.push_back(AName); });
    // The same index again: Lang is left alone and the same texts are set.
    SendMessageW(Form->Handle(), WM_CFG_SETTINGS_CHANGED, 0, 0);
    EXPECT_TRUE(changes.empty());
    TMenuOwner same(Form->MyPopupMenu->BuildMenu());
    EXPECT_EQ(MenuCaptions(same.Get()), (std::vector<std::wstring>{L"打开配置", L"退出软件"}));

    // The configuration program stores English.
    {
        TDM cfg(nullptr, Config.Path());
        cfg.FAllProfileSettingInfo.CurrentLanguage = kLanguageUS;
        cfg.SaveBackAllProfileSettingInfo();
    }
    SendMessageW(Form->Handle(), WM_CFG_SETTINGS_CHANGED, 0, 0);
    EXPECT_EQ(changes, std::vector<std::u16string>{u"US"});
    TMenuOwner us(Form->MyPopupMenu->BuildMenu());
    EXPECT_EQ(MenuCaptions(us.Get()), (std::vector<std::wstring>{L"Config", L"Exit"}));
    EXPECT_EQ(Form->TrayIcon1->Hint(), kTrayIconHint);
    EXPECT_EQ(Application.Title(), kApplicationTitle);
}

// A form of its own beside the monitor's: every write of Lang walks each registered form once, and
// reads the caption of this control on the way.
class TLanguageWalks : public TControl {
public:
    using TControl::TControl;
    bool GetTextProperty(std::u16string_view AName, std::u16string& AValue) const override
    {
        if (AName == u"Caption") ++Walks;
        return TControl::GetTextProperty(AName, AValue);
    }
    mutable int Walks = 0;
};

TEST_F(MonitorTest, TheStoredLanguageIsWrittenOnceAtStart)
{
    const struct {
        uint8_t Index;
        const char16_t* Lang;
    } cases[] = {{kLanguageUS, u"US"}, {kLanguageCH, u"CH"}, {9, u""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "stored index " << int{c.Index});
        TMainForm observer(nullptr);
        new TuiLanguage(&observer, TWinLanguagePlatform::Instance());
        auto* walks = new TLanguageWalks(&observer);
        walks->SetCaption(u"Config");
        DM->FAllProfileSettingInfo.CurrentLanguage = c.Index;
        StartMonitor();
        EXPECT_EQ(walks->Walks, 1);
        EXPECT_EQ(Form->uiLanguage1->Lang(), c.Lang);
        Form.reset();
        TranslationService::Reset();
    }
}

TEST_F(MonitorTest, ALanguageFileTranslatesTheHintAndTheTitle)
{
    // A "ui.local" beside the program puts its languages first: "DE" is index 0, "CH" 1, "US" 2.
    const std::wstring file = BesideProgram(L"ui.local");
    WriteBytes(U(file.c_str()),
               LanguageFile({u"Config", u"Exit", u"Gaming Mouse Driver", kApplicationTitle, kTrayIconHint},
                            {{u"DE",
                              {u"Config=Einstellungen", u"Exit=Beenden", u"Gaming Mouse Driver=Maustreiber",
                               u"QEL Skirmisher HV730 Gaming Mouse Driver=QEL Maustreiber",
                               u"QEL Skirmisher HV730 Gaming Mouse Monitor=QEL Mausmonitor"}}}));
    DM->FAllProfileSettingInfo.CurrentLanguage = 2;
    StartMonitor();
    DeleteFileW(file.c_str());
    EXPECT_EQ(Form->uiLanguage1->Lang(), u"US");
    EXPECT_EQ(Form->TrayIcon1->Hint(), kTrayIconHint);

    DM->FAllProfileSettingInfo.CurrentLanguage = 0;
    DM->SaveBackAllProfileSettingInfo();
    SendMessageW(Form->Handle(), WM_CFG_SETTINGS_CHANGED, 0, 0);
    EXPECT_EQ(Form->uiLanguage1->Lang(), u"DE");
    // The hint that stays is the translated driver title, set after "Gaming Mouse Driver".
    EXPECT_EQ(Form->TrayIcon1->Hint(), u"QEL Maustreiber");
    EXPECT_EQ(Application.Title(), u"QEL Mausmonitor");
    TMenuOwner de(Form->MyPopupMenu->BuildMenu());
    EXPECT_EQ(MenuCaptions(de.Get()), (std::vector<std::wstring>{L"Einstellungen", L"Beenden"}));

    // An index that names no language leaves the table in force.
    DM->FAllProfileSettingInfo.CurrentLanguage = 9;
    DM->SaveBackAllProfileSettingInfo();
    SendMessageW(Form->Handle(), WM_CFG_SETTINGS_CHANGED, 0, 0);
    EXPECT_EQ(Form->TrayIcon1->Hint(), u"QEL Maustreiber");
    TMenuOwner kept(Form->MyPopupMenu->BuildMenu());
    EXPECT_EQ(MenuCaptions(kept.Get()), (std::vector<std::wstring>{L"Einstellungen", L"Beenden"}));
}

TEST_F(MonitorTest, AHandlersExceptionIsReportedAndTheWindowGoesOn)
{
    StartMonitor();
    std::vector<std::u16string> reported;
    Application.OnException.Bind([&](const std::u16string& AMessage) { reported.push_back(AMessage); });
    // Profile data the monitor cannot read: the storage layer raises.
    ProfileKey.Write(u"allsettings.pfd", u"x", 2, REG_SZ);
    SendMessageW(Form->Handle(), WM_CFG_SETTINGS_CHANGED, 0, 0);
    EXPECT_EQ(reported, std::vector<std::u16string>{u"Invalid data type for 'allsettings.pfd'"});
    CreateProfileIDKey();
    SendMessageW(Form->Handle(), WM_DEVICE_EVENT, 22, 1);
    EXPECT_EQ(StoredProfileID(), 1);
}

} // namespace
