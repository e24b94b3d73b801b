// The main window on a system older than Windows Vista: this program runs as Windows XP (Wine's
// per-program version, set by the audio.wine_settings fixture). Start-up prepares no microphone
// endpoint, and a press of a microphone-mute button goes to the mixer (whose first device, under
// Wine a playback one, has no microphone line: the press changes nothing there).
#include "shell/MouseMonitor.h"

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

namespace {

std::u16string Documents()
{
    wchar_t buffer[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, buffer);
    return U(buffer) + u"\\";
}

TEST(MonitorOnAnOlderSystem, StartsWithoutAMicrophoneEndpointAndAPressMakesNone)
{
    ASSERT_FALSE(CoreAudioSystem()) << "the program does not run as Windows XP";
    Application.Initialize();
    const std::u16string name = CurrentTestName();
    const TTestRegistryKey profileKey(u"software\\QelMonTests\\" + name);
    const TTestFolder config(u"QelMonShellConfig_" + name);
    const TTestFolder profiles(u"QelMonShellTests_" + name, Documents(), false);
    {
        std::ofstream ini(FsPath(config.Path() + u"config.ini"), std::ios::binary | std::ios::trunc);
        ini << "[options]\r\nProfileRegFolder=QelMonTests\\" << Utf8FromUtf16(name)
            << "\r\nprofileFolder=QelMonShellTests_" << Utf8FromUtf16(name) << "\r\n";
    }
    HidTest::WriteConfig({});
    SimulatedHid::Reset();
    DM = new TDM(nullptr, config.Path());
    auto form = std::make_unique<TQelMonMain>(nullptr, SimulatedHid::WalkApi());
    EXPECT_EQ(form->MicrophoneEndpoint(), nullptr);

    form->DoButtonFunction(3, kFunctionMicrophoneMute, 1);
    EXPECT_EQ(form->MicrophoneEndpoint(), nullptr) << "a press made an endpoint";

    form.reset();
    delete DM;
    DM = nullptr;
}

} // namespace
