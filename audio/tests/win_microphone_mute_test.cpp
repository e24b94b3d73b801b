#include "audio/MicrophoneMute.h"

#include <gtest/gtest.h>

namespace {

BOOL ReadMute(IAudioEndpointVolume* AEndpoint)
{
    BOOL muted = FALSE;
    EXPECT_EQ(AEndpoint->GetMute(&muted), S_OK);
    return muted;
}

TEST(MicrophoneMute, WineReportsACoreAudioSystem)
{
    EXPECT_TRUE(CoreAudioSystem());
}

TEST(MicrophoneMute, TwoTogglesLeaveTheMuteStateAsItWas)
{
    TMicrophoneMute mute;
    mute.CreateAudioEndpoint();
    IAudioEndpointVolume* endpoint = mute.Endpoint();
    ASSERT_NE(endpoint, nullptr) << "no default capture device: is the session's sound server running?";
    for (const BOOL start : {FALSE, TRUE}) {
        SCOPED_TRACE(start);
        // S_FALSE when the state is already that one.
        ASSERT_TRUE(SUCCEEDED(endpoint->SetMute(start, nullptr)));
        mute.MicrophoneMute();
        EXPECT_EQ(ReadMute(endpoint), !start);
        mute.MicrophoneMute();
        EXPECT_EQ(ReadMute(endpoint), start);
        EXPECT_EQ(mute.Endpoint(), endpoint);
    }
}

TEST(MicrophoneMute, TheFirstToggleCreatesTheEndpoint)
{
    TMicrophoneMute mute;
    ASSERT_EQ(mute.Endpoint(), nullptr);
    mute.MicrophoneMute();
    ASSERT_NE(mute.Endpoint(), nullptr);
    const BOOL after = ReadMute(mute.Endpoint());
    mute.MicrophoneMute();
    EXPECT_EQ(ReadMute(mute.Endpoint()), !after);
}

} // namespace
