#include "audio/MicrophoneMute.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

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

TEST(EndpointVolumeCallback, IsAReferenceCountedComObjectThatChangesNothing)
{
    auto* callback = new TMyEndpointVolumeCallback;
    IUnknown* unknown = nullptr;
    ASSERT_EQ(callback->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void**>(&unknown)), S_OK);
    IAudioEndpointVolumeCallback* asCallback = nullptr;
    ASSERT_EQ(unknown->QueryInterface(__uuidof(IAudioEndpointVolumeCallback), reinterpret_cast<void**>(&asCallback)),
              S_OK);
    EXPECT_EQ(asCallback, callback);
    void* notImplemented = &notImplemented;
    EXPECT_EQ(callback->QueryInterface(__uuidof(IAudioEndpointVolume), &notImplemented), E_NOINTERFACE);
    EXPECT_EQ(notImplemented, nullptr);
    EXPECT_EQ(callback->QueryInterface(__uuidof(IUnknown), nullptr), E_POINTER);

    AUDIO_VOLUME_NOTIFICATION_DATA data{};
    data.bMuted = TRUE;
    data.fMasterVolume = 0.5F;
    data.nChannels = 1;
    data.afChannelVolumes[0] = 0.5F;
    EXPECT_EQ(callback->OnNotify(&data), S_OK);
    EXPECT_EQ(data.bMuted, TRUE);
    EXPECT_EQ(data.fMasterVolume, 0.5F);

    // The maker's reference and the two the queries gave; the last Release frees it.
    EXPECT_EQ(callback->AddRef(), 4u);
    EXPECT_EQ(asCallback->Release(), 3u);
    EXPECT_EQ(unknown->Release(), 2u);
    EXPECT_EQ(callback->Release(), 1u);
    EXPECT_EQ(callback->Release(), 0u);
}

// Run by microphone_scenarios.sh only: the program starts with no sound server at the address it
// is given, so that Wine has no capture device; the script starts one when told.
std::wstring ScenarioFile(const wchar_t* AName)
{
    const wchar_t* folder = _wgetenv(L"QEL_AUDIO_SCENARIO_DIR");
    return folder == nullptr ? std::wstring() : std::wstring(folder) + L"\\" + AName;
}

TEST(CaptureDeviceArrival, APressAfterAMicrophoneAppearsTogglesIt)
{
    ASSERT_FALSE(ScenarioFile(L"").empty()) << "run by microphone_scenarios.sh";
    TMicrophoneMute mute;
    mute.CreateAudioEndpoint();
    ASSERT_EQ(mute.Endpoint(), nullptr) << "a capture device exists at start";
    mute.MicrophoneMute();
    EXPECT_EQ(mute.Endpoint(), nullptr);

    const HANDLE waiting = CreateFileW(ScenarioFile(L"waiting").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(waiting, INVALID_HANDLE_VALUE);
    CloseHandle(waiting);
    const DWORD start = GetTickCount();
    while (GetFileAttributesW(ScenarioFile(L"ready").c_str()) == INVALID_FILE_ATTRIBUTES) {
        ASSERT_LT(GetTickCount() - start, 60000u) << "the sound server did not come";
        Sleep(50);
    }

    // The state as a new endpoint of the device sees it before the press.
    TMicrophoneMute observer;
    observer.CreateAudioEndpoint();
    ASSERT_NE(observer.Endpoint(), nullptr);
    const BOOL before = ReadMute(observer.Endpoint());
    mute.MicrophoneMute();
    ASSERT_NE(mute.Endpoint(), nullptr);
    EXPECT_EQ(ReadMute(mute.Endpoint()), !before);
    mute.MicrophoneMute();
    EXPECT_EQ(ReadMute(mute.Endpoint()), before);
}

} // namespace
