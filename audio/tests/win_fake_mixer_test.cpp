// The mixer path against the stand-in "winmm.dll": this program runs as on Windows XP and Wine
// loads the stand-in beside it (both set per program by the test set-up).
#include "audio/MicrophoneMute.h"
#include "audio/tests/FakeWinmm.h"
#include "framework/tests/MessageBoxUser.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

class FakeMixerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto function = reinterpret_cast<TFakeMixerFunction>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"winmm.dll"), "FakeMixer")));
        ASSERT_NE(function, nullptr) << "the system's winmm.dll is loaded, not the stand-in";
        Mixer = function();
        *Mixer = TFakeMixer{};
        ASSERT_FALSE(CoreAudioSystem()) << "the program does not run as on Windows XP";
    }
    void TearDown() override
    {
        if (Mixer == nullptr) return;
        // Every open mixer was closed again, and every call was made as the platform wants it.
        EXPECT_EQ(Mixer->Opens, Mixer->Closes);
        EXPECT_EQ(Mixer->BadCalls, 0);
    }

    LONG& MicrophoneMuted() { return Mixer->Lines[1].Muted; }

    TFakeMixer* Mixer = nullptr;
};

TEST_F(FakeMixerTest, TwoPressesToggleTheMicrophoneLineAndBack)
{
    TMessageBoxUser user;
    TMicrophoneMute mute;
    EXPECT_EQ(mute.MicrophoneMute(), true);
    EXPECT_EQ(MicrophoneMuted(), 1);
    EXPECT_EQ(mute.MicrophoneMute(), false);
    EXPECT_EQ(MicrophoneMuted(), 0);
    // Each press reads, writes and reads the value back, opening the mixer for each; nothing is
    // held between presses.
    EXPECT_EQ(Mixer->Opens, 6);
    EXPECT_EQ(Mixer->Reads, 4);
    EXPECT_EQ(Mixer->Writes, 2);
    EXPECT_EQ(mute.Endpoint(), nullptr);
    EXPECT_TRUE(user.Texts().empty());
}

TEST_F(FakeMixerTest, EachLineTypeSelectsItsLine)
{
    for (TMixerLineType type = 0; type < 4; ++type) {
        SCOPED_TRACE(type);
        *Mixer = TFakeMixer{};
        SetMixerMute(type, true);
        for (TMixerLineType other = 0; other < 4; ++other) EXPECT_EQ(Mixer->Lines[other].Muted, other == type ? 1 : 0);
        EXPECT_TRUE(GetMixerMute(type));
        SetMixerMute(type, false);
        EXPECT_FALSE(GetMixerMute(type));
        EXPECT_EQ(Mixer->Opens, Mixer->Closes);
    }
    // A selector beyond the four lines touches no mixer.
    *Mixer = TFakeMixer{};
    SetMixerMute(4, true);
    EXPECT_FALSE(GetMixerMute(4));
    EXPECT_EQ(Mixer->Opens, 0);
}

TEST_F(FakeMixerTest, FailuresOfAPress)
{
    struct TCase {
        const char* Name;
        std::function<void(TFakeMixer&)> Arrange;
        LONG MutedBefore;
        std::vector<std::wstring> Messages;
        LONG MutedAfter;
        // What the press answers: the value read back, whatever was asked of the mixer.
        std::optional<bool> State;
    };
    const TCase cases[] = {
        {"no mixer device", [](TFakeMixer& m) { m.Devices = 0; }, 0, {}, 0, std::nullopt},
        {"mixer cannot be opened", [](TFakeMixer& m) { m.OpenResult = MMSYSERR_ALLOCATED; }, 1, {}, 1, std::nullopt},
        {"no microphone line", [](TFakeMixer& m) { m.HasMicrophoneLine = false; }, 0, {}, 0, std::nullopt},
        // The read-back shows no third message.
        {"microphone line without a mute control", [](TFakeMixer& m) { m.HasMuteControls = false; }, 1,
         {L"GetLineInfo Error", L"GetLineInfo Error"}, 1, std::nullopt},
        // A state that cannot be read is taken as not muted, so that the press mutes.
        {"read fails, not muted", [](TFakeMixer& m) { m.ReadResult = MMSYSERR_ERROR; }, 0,
         {L"SetControlDetails Error"}, 1, std::nullopt},
        {"read fails, muted", [](TFakeMixer& m) { m.ReadResult = MMSYSERR_ERROR; }, 1,
         {L"SetControlDetails Error"}, 1, std::nullopt},
        // Live it was and live it stays: the press answers what the mixer holds, not what it asked.
        {"write fails", [](TFakeMixer& m) { m.WriteResult = MMSYSERR_ERROR; }, 0, {L"SetControlDetails Error"}, 0,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        *Mixer = TFakeMixer{};
        c.Arrange(*Mixer);
        MicrophoneMuted() = c.MutedBefore;
        std::vector<std::wstring> messages;
        {
            TMessageBoxUser user;
            EXPECT_EQ(TMicrophoneMute().MicrophoneMute(), c.State);
            messages = user.Texts();
        }
        EXPECT_EQ(messages, c.Messages);
        EXPECT_EQ(MicrophoneMuted(), c.MutedAfter);
        EXPECT_EQ(Mixer->Opens, Mixer->Closes);
        EXPECT_EQ(Mixer->BadCalls, 0);
    }
}

} // namespace
