#pragma once
// The microphone mute toggle: on Windows Vista and later the endpoint volume of the default
// capture device (Core Audio), on older systems the mute control of the first audio mixer's
// microphone line. Everything runs on the main thread; no failure leaves this component.
#include <windows.h>

#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <wrl/client.h>

#include <atomic>
#include <cstdint>
#include <optional>

// True on the Windows NT family from major version 6 (Vista) on, where Core Audio is used.
bool CoreAudioSystem();

// A mixer line by the monitor's selector: 0 speakers, 1 microphone, 2 wave output, 3 synthesizer.
using TMixerLineType = std::uint8_t;
constexpr TMixerLineType MixerLineMicrophone = 1;

// True when the line's mute control reads as muted; false when nothing could be read (so that a
// toggle after a failed read mutes). Shows "GetLineInfo Error" or "SetControlDetails Error".
bool GetMixerMute(TMixerLineType LineType);
// Sets the line's mute control; shows the same messages as GetMixerMute on the same failures.
void SetMixerMute(TMixerLineType LineType, bool Mute);
// The line's mute control as it reads now, or nothing when it cannot be read; shows nothing.
std::optional<bool> ReadMixerMute(TMixerLineType LineType);

// The endpoint's change callback: a real reference-counted COM object that changes nothing. The
// platform may call it on a thread of its own, so it only posts the notified mute state (wParam 1
// muted, 0 not) to a window, which acts on it on its own thread; a window that is gone gets
// nothing. A COM object is freed by its last Release, never deleted through the interface, whose
// destructor is not virtual.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class TMyEndpointVolumeCallback final : public IAudioEndpointVolumeCallback {
public:
    TMyEndpointVolumeCallback(HWND AWindow, UINT AMessage) : FWindow(AWindow), FMessage(AMessage) {}
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    HRESULT STDMETHODCALLTYPE OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA pNotify) override;

private:
    // Made with one reference (the maker's) and freed by its last Release.
    std::atomic<ULONG> FRefCount{1};
    // Set once at creation, read by any thread.
    const HWND FWindow;
    const UINT FMessage;
};
#pragma GCC diagnostic pop

class TMicrophoneMute {
public:
    // The endpoint's change notifications are posted to ANotifyWindow as ANotifyMessage; with no
    // window, they reach nobody.
    explicit TMicrophoneMute(HWND ANotifyWindow = nullptr, UINT ANotifyMessage = 0)
        : FNotifyWindow(ANotifyWindow), FNotifyMessage(ANotifyMessage)
    {
    }
    ~TMicrophoneMute();
    TMicrophoneMute(const TMicrophoneMute&) = delete;
    TMicrophoneMute& operator=(const TMicrophoneMute&) = delete;

    // Binds to the default capture device as it is now; leaves the endpoint empty on any failure.
    void CreateAudioEndpoint();
    // Toggles the microphone's mute state: the endpoint on NT 6 and later (created first when it
    // is still empty), the mixer on older systems. Answers the state read back from the platform
    // afterwards (true muted), or nothing when there is none to read.
    std::optional<bool> MicrophoneMute();
    // The mute state of the endpoint in use, or nothing without one (the mixer is not held).
    std::optional<bool> EndpointMuted() const;
    // The endpoint in use, or null while none has been obtained.
    IAudioEndpointVolume* Endpoint() const { return FEndpoint.Get(); }
    // The change callback registered with the endpoint, or null.
    IAudioEndpointVolumeCallback* Callback() const { return FCallback.Get(); }

private:
    void ReleaseEndpoint();

    HWND FNotifyWindow;
    UINT FNotifyMessage;

    Microsoft::WRL::ComPtr<IMMDeviceEnumerator> FMMDevEnum;
    Microsoft::WRL::ComPtr<IMMDevice> FMMDev;
    Microsoft::WRL::ComPtr<IAudioEndpointVolume> FEndpoint;
    // The change callback registered with FEndpoint, unregistered before the endpoint is released.
    Microsoft::WRL::ComPtr<TMyEndpointVolumeCallback> FCallback;
};
