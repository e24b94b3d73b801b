#include "audio/MicrophoneMute.h"

#include "audio/tests/EndpointNotification.h"
#include "framework/win/UtilityWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <memory>
#include <vector>

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
        EXPECT_EQ(mute.EndpointMuted(), start != FALSE);
        // Each toggle answers the state the endpoint holds afterwards.
        EXPECT_EQ(mute.MicrophoneMute(), start == FALSE);
        EXPECT_EQ(ReadMute(endpoint), !start);
        EXPECT_EQ(mute.MicrophoneMute(), start != FALSE);
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

TEST(MicrophoneMute, WithoutAnEndpointThereIsNoStateToShow)
{
    TMicrophoneMute mute;
    EXPECT_EQ(mute.EndpointMuted(), std::nullopt);
    EXPECT_EQ(mute.Callback(), nullptr);
}

// The messages a window of this thread has been posted, by wParam.
class TPostedMessages {
public:
    static constexpr UINT kMessage = WM_APP + 7;
    TPostedMessages() : FWindow([this](TMessage& m) { return Take(m); }) {}
    HWND Handle() const { return FWindow.Handle(); }
    std::vector<WPARAM> Pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        return FTaken;
    }

private:
    bool Take(TMessage& AMessage)
    {
        if (AMessage.Msg != kMessage) return false;
        FTaken.push_back(AMessage.WParam);
        return true;
    }
    std::vector<WPARAM> FTaken;
    TUtilityWindow FWindow;
};

TEST(EndpointVolumeCallback, PostsTheNotifiedStateToItsWindowAndNothingOnceTheWindowIsGone)
{
    auto window = std::make_unique<TPostedMessages>();
    TMicrophoneMute mute(window->Handle(), TPostedMessages::kMessage);
    mute.CreateAudioEndpoint();
    ASSERT_NE(mute.Callback(), nullptr) << "no callback registered: is the session's sound server running?";
    EXPECT_EQ(NotifyFromAnotherThread(mute.Callback(), TRUE), S_OK);
    EXPECT_EQ(NotifyFromAnotherThread(mute.Callback(), FALSE), S_OK);
    EXPECT_EQ(window->Pump(), (std::vector<WPARAM>{1, 0}));

    const HWND gone = window->Handle();
    window.reset();
    ASSERT_FALSE(IsWindow(gone));
    EXPECT_EQ(NotifyFromAnotherThread(mute.Callback(), TRUE), S_OK);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, TPostedMessages::kMessage, TPostedMessages::kMessage, PM_REMOVE));
}

TEST(EndpointVolumeCallback, IsAReferenceCountedComObjectThatChangesNothing)
{
    auto* callback = new TMyEndpointVolumeCallback(nullptr, 0);
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
