// The mixer path against Wine's own mixer: this program runs as on Windows XP (set per program by
// the test set-up). Wine makes one mixer device of each audio endpoint, the playback ones first:
// mixer 0 is the default playback device, with a speakers destination and a wave-output source,
// both with volume and mute controls; the microphone line (a source of the wave-input
// destination) exists only on the capture devices' mixers.
#include "audio/MicrophoneMute.h"
#include "framework/tests/MessageBoxUser.h"

#include <gtest/gtest.h>

#include <mmsystem.h>

#include <optional>

namespace {

HMIXEROBJ Object(HMIXER AMixer) { return reinterpret_cast<HMIXEROBJ>(AMixer); }

// The line of a component type on a mixer device, if it has one.
std::optional<MIXERLINEW> LineOf(UINT ADevice, DWORD AComponentType)
{
    HMIXER mixer = nullptr;
    if (mixerOpen(&mixer, ADevice, 0, 0, 0) != MMSYSERR_NOERROR) return std::nullopt;
    MIXERLINEW line{};
    line.cbStruct = sizeof(line);
    line.dwComponentType = AComponentType;
    const MMRESULT result =
        mixerGetLineInfoW(Object(mixer), &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE);
    mixerClose(mixer);
    if (result != MMSYSERR_NOERROR) return std::nullopt;
    return line;
}

// The mute control of a line, read straight from the mixer.
std::optional<bool> ReadLineMute(UINT ADevice, DWORD AComponentType)
{
    HMIXER mixer = nullptr;
    if (mixerOpen(&mixer, ADevice, 0, 0, 0) != MMSYSERR_NOERROR) return std::nullopt;
    std::optional<bool> muted;
    MIXERLINEW line{};
    line.cbStruct = sizeof(line);
    line.dwComponentType = AComponentType;
    MIXERCONTROLW control{};
    MIXERLINECONTROLSW controls{};
    controls.cbStruct = sizeof(controls);
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof(control);
    controls.pamxctrl = &control;
    MIXERCONTROLDETAILS_BOOLEAN value{};
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof(details);
    details.cChannels = 1;
    details.cbDetails = sizeof(value);
    details.paDetails = &value;
    if (mixerGetLineInfoW(Object(mixer), &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) ==
        MMSYSERR_NOERROR) {
        controls.dwLineID = line.dwLineID;
        if (mixerGetLineControlsW(Object(mixer), &controls, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) ==
            MMSYSERR_NOERROR) {
            details.dwControlID = control.dwControlID;
            if (mixerGetControlDetailsW(Object(mixer), &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) ==
                MMSYSERR_NOERROR)
                muted = value.fValue != 0;
        }
    }
    mixerClose(mixer);
    return muted;
}

TEST(WineMixer, TheProgramRunsAsOnWindowsXp)
{
    EXPECT_FALSE(CoreAudioSystem());
}

TEST(WineMixer, OnlyTheCaptureMixersHaveAMicrophoneLineWithAMuteControl)
{
    const UINT devices = mixerGetNumDevs();
    ASSERT_GT(devices, 1u) << "no mixer devices: is the session's sound server running?";
    EXPECT_FALSE(LineOf(0, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE));
    ASSERT_TRUE(LineOf(0, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS));
    EXPECT_TRUE(LineOf(0, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT));
    EXPECT_TRUE(ReadLineMute(0, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS));
    bool captureMixer = false;
    for (UINT device = 0; device < devices; ++device) {
        const auto microphone = LineOf(device, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE);
        if (!microphone) continue;
        captureMixer = true;
        EXPECT_TRUE(LineOf(device, MIXERLINE_COMPONENTTYPE_DST_WAVEIN)) << device;
        EXPECT_TRUE(ReadLineMute(device, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE)) << device;
    }
    EXPECT_TRUE(captureMixer);
}

TEST(WineMixer, APressFindsNoMicrophoneLineOnTheFirstMixerAndShowsNothing)
{
    const auto speakersBefore = ReadLineMute(0, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    ASSERT_TRUE(speakersBefore);
    TMessageBoxUser user;
    TMicrophoneMute mute;
    mute.MicrophoneMute();
    EXPECT_EQ(mute.Endpoint(), nullptr);
    EXPECT_FALSE(GetMixerMute(MixerLineMicrophone));
    EXPECT_TRUE(user.Texts().empty());
    EXPECT_EQ(ReadLineMute(0, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS), speakersBefore);
}

TEST(WineMixer, TheSpeakersLineTogglesThroughTheMixer)
{
    TMessageBoxUser user;
    const bool before = GetMixerMute(0);
    EXPECT_EQ(ReadLineMute(0, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS), before);
    SetMixerMute(0, !before);
    EXPECT_EQ(GetMixerMute(0), !before);
    EXPECT_EQ(ReadLineMute(0, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS), !before);
    SetMixerMute(0, before);
    EXPECT_EQ(GetMixerMute(0), before);
    EXPECT_TRUE(user.Texts().empty());
}

// Run with no sound server at all, where Wine offers no mixer device.
TEST(NoMixerDevice, APressDoesNothingAndShowsNothing)
{
    ASSERT_FALSE(CoreAudioSystem());
    ASSERT_EQ(mixerGetNumDevs(), 0u) << "a mixer device exists: this test runs without a sound server";
    TMessageBoxUser user;
    TMicrophoneMute mute;
    mute.MicrophoneMute();
    mute.MicrophoneMute();
    EXPECT_FALSE(GetMixerMute(MixerLineMicrophone));
    EXPECT_EQ(mute.Endpoint(), nullptr);
    EXPECT_TRUE(user.Texts().empty());
}

} // namespace
