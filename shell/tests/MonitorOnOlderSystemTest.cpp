// The main window on a system older than Windows Vista: these programs run as Windows XP (Wine's
// per-program version, set by the audio.wine_settings fixture). Start-up prepares no microphone
// endpoint, and a press of a microphone-mute button goes to the mixer: Wine's, whose first device
// (a playback one) has no microphone line, so the press changes nothing there; or, for the program
// that loads the stand-in winmm.dll beside it, a mixer whose microphone line the tray icon follows.
#include "shell/MouseMonitor.h"

#include "audio/tests/FakeWinmm.h"
#include "framework/tests/MessageBoxUser.h"
#include "framework/win/Application.h"
#include "hid/tests/HidTestSupport.h"
#include "hid/tests/SimulatedHidDevice.h"
#include "profile/DMUnit.h"
#include "profile/FunctionTable.h"
#include "profile/tests/WinTestSupport.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <fstream>
#include <memory>
#include <vector>

namespace {

std::u16string Documents()
{
    wchar_t buffer[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, buffer);
    return U(buffer) + u"\\";
}

// The monitor's main window with its profile data, as the program makes them at start.
class MonitorOnAnOlderSystem : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(CoreAudioSystem()) << "the program does not run as Windows XP";
        Application.Initialize();
        const std::u16string name = CurrentTestName();
        FProfileKey = std::make_unique<TTestRegistryKey>(u"software\\QelMonTests\\" + name);
        FConfig = std::make_unique<TTestFolder>(u"QelMonShellConfig_" + name);
        FProfiles = std::make_unique<TTestFolder>(u"QelMonShellTests_" + name, Documents(), false);
        {
            std::ofstream ini(FsPath(FConfig->Path() + u"config.ini"), std::ios::binary | std::ios::trunc);
            ini << "[options]\r\nProfileRegFolder=QelMonTests\\" << Utf8FromUtf16(name)
                << "\r\nprofileFolder=QelMonShellTests_" << Utf8FromUtf16(name) << "\r\n";
        }
        HidTest::WriteConfig({});
        SimulatedHid::Reset();
        DM = new TDM(nullptr, FConfig->Path());
        Form = std::make_unique<TQelMonMain>(nullptr, SimulatedHid::WalkApi());
    }
    void TearDown() override
    {
        Form.reset();
        delete DM;
        DM = nullptr;
    }

    std::unique_ptr<TQelMonMain> Form;

private:
    std::unique_ptr<TTestRegistryKey> FProfileKey;
    std::unique_ptr<TTestFolder> FConfig;
    std::unique_ptr<TTestFolder> FProfiles;
};

TEST_F(MonitorOnAnOlderSystem, StartsWithoutAMicrophoneEndpointAndAPressMakesNone)
{
    EXPECT_EQ(Form->MicrophoneEndpoint(), nullptr);
    Form->DoButtonFunction(3, kFunctionMicrophoneMute, 1);
    EXPECT_EQ(Form->MicrophoneEndpoint(), nullptr) << "a press made an endpoint";
}

using MonitorOnAnOlderSystemWithTheStandInMixer = MonitorOnAnOlderSystem;

TEST_F(MonitorOnAnOlderSystemWithTheStandInMixer, TheTrayIconFollowsTheMicrophoneLineReadBack)
{
    const auto function = reinterpret_cast<TFakeMixerFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"winmm.dll"), "FakeMixer")));
    ASSERT_NE(function, nullptr) << "the system's winmm.dll is loaded, not the stand-in";
    TFakeMixer& mixer = *function();
    mixer = TFakeMixer{};
    LONG& microphoneMuted = mixer.Lines[1].Muted;
    TMessageBoxUser user;
    EXPECT_EQ(Form->TrayIcon1->IconResource(), TQelMonMain::kIconLive);

    Form->DoButtonFunction(3, kFunctionMicrophoneMute, 1);
    EXPECT_EQ(microphoneMuted, 1);
    EXPECT_EQ(Form->TrayIcon1->IconResource(), TQelMonMain::kIconMuted);

    // A write the mixer refuses leaves the line muted, and so does the icon: it shows what was read
    // back, not what was asked for.
    mixer.WriteResult = MMSYSERR_ERROR;
    Form->DoButtonFunction(3, kFunctionMicrophoneMute, 1);
    EXPECT_EQ(microphoneMuted, 1);
    EXPECT_EQ(Form->TrayIcon1->IconResource(), TQelMonMain::kIconMuted);
    EXPECT_EQ(user.Texts(), std::vector<std::wstring>{L"SetControlDetails Error"});

    mixer.WriteResult = MMSYSERR_NOERROR;
    Form->DoButtonFunction(3, kFunctionMicrophoneMute, 1);
    EXPECT_EQ(microphoneMuted, 0);
    EXPECT_EQ(Form->TrayIcon1->IconResource(), TQelMonMain::kIconLive);
    // Each toggle is heard as the state read back.
    EXPECT_EQ(std::vector<int>(mixer.Sounds, mixer.Sounds + mixer.SoundCount), (std::vector<int>{1, 1, -1}));
    EXPECT_EQ(mixer.Opens, mixer.Closes);
    EXPECT_EQ(mixer.BadCalls, 0);
}

} // namespace
