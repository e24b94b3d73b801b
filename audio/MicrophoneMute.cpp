#include "audio/MicrophoneMute.h"

#include "framework/win/Handle.h"
#include "framework/win/MessageBox.h"

#include <mmsystem.h>

#include <array>
#include <optional>

bool CoreAudioSystem()
{
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExW(&info)) return false;
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 6;
}

// ---- The mixer path ----

namespace {

#ifndef _WIN64
// The 32-bit program fills the platform's structures with these sizes.
static_assert(sizeof(MIXERLINEW) == 280 && sizeof(MIXERLINECONTROLSW) == 24 && sizeof(MIXERCONTROLW) == 228 &&
              sizeof(MIXERCONTROLDETAILS) == 24 && sizeof(MIXERCONTROLDETAILS_BOOLEAN) == 4);
#endif

using TMixerOwner = TUniqueHandle<TNullHandleTraits<HMIXER, &mixerClose>>;

constexpr std::array<DWORD, 4> MixerLineComponentTypes = {
    MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE,
    MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER};

HMIXEROBJ MixerObject(const TMixerOwner& AMixer) { return reinterpret_cast<HMIXEROBJ>(AMixer.Get()); }

// The first mixer, open, with the mute control of a line.
struct TMuteControl {
    TMixerOwner Mixer;
    DWORD ControlID = 0;
};

// Nothing when there is no mixer, it cannot be opened or the line is missing (silently), or the
// line has no mute control ("GetLineInfo Error" when AReport).
std::optional<TMuteControl> OpenMuteControl(TMixerLineType LineType, bool AReport)
{
    if (LineType >= MixerLineComponentTypes.size() || mixerGetNumDevs() == 0) return std::nullopt;
    TMuteControl result;
    HMIXER mixer = nullptr;
    if (mixerOpen(&mixer, 0, 0, 0, 0) != MMSYSERR_NOERROR) return std::nullopt;
    result.Mixer.Reset(mixer);

    // The handle is passed as a handle (MIXER_OBJECTF_HMIXER), not as a device number.
    MIXERLINEW line{};
    line.cbStruct = sizeof(line);
    line.dwComponentType = MixerLineComponentTypes[LineType];
    if (mixerGetLineInfoW(MixerObject(result.Mixer), &line,
                          MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR)
        return std::nullopt;

    MIXERCONTROLW control{};
    MIXERLINECONTROLSW controls{};
    controls.cbStruct = sizeof(controls);
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof(control);
    controls.pamxctrl = &control;
    if (mixerGetLineControlsW(MixerObject(result.Mixer), &controls,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) != MMSYSERR_NOERROR) {
        if (AReport) ShowMessage(u"GetLineInfo Error");
        return std::nullopt;
    }
    result.ControlID = control.dwControlID;
    return result;
}

// The control's value for all channels as one.
MIXERCONTROLDETAILS MuteDetails(const TMuteControl& AControl, MIXERCONTROLDETAILS_BOOLEAN& AValue)
{
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof(details);
    details.dwControlID = AControl.ControlID;
    details.cChannels = 1;
    details.cbDetails = sizeof(AValue);
    details.paDetails = &AValue;
    return details;
}

} // namespace

namespace {

// The value of the line's mute control; the failures are reported only when AReport.
std::optional<bool> ReadMuteValue(TMixerLineType LineType, bool AReport)
{
    try {
        const auto control = OpenMuteControl(LineType, AReport);
        if (!control) return std::nullopt;
        MIXERCONTROLDETAILS_BOOLEAN value{};
        MIXERCONTROLDETAILS details = MuteDetails(*control, value);
        if (mixerGetControlDetailsW(MixerObject(control->Mixer), &details,
                                    MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR) {
            if (AReport) ShowMessage(u"SetControlDetails Error");
            return std::nullopt;
        }
        return value.fValue != 0;
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace

bool GetMixerMute(TMixerLineType LineType) { return ReadMuteValue(LineType, true).value_or(false); }

std::optional<bool> ReadMixerMute(TMixerLineType LineType) { return ReadMuteValue(LineType, false); }

void SetMixerMute(TMixerLineType LineType, bool Mute)
{
    try {
        const auto control = OpenMuteControl(LineType, true);
        if (!control) return;
        MIXERCONTROLDETAILS_BOOLEAN value{};
        value.fValue = Mute ? 1 : 0;
        MIXERCONTROLDETAILS details = MuteDetails(*control, value);
        if (mixerSetControlDetails(MixerObject(control->Mixer), &details,
                                   MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR)
            ShowMessage(u"SetControlDetails Error");
    } catch (...) {
    }
}

// ---- The endpoint change callback ----

ULONG STDMETHODCALLTYPE TMyEndpointVolumeCallback::AddRef() { return ++FRefCount; }

ULONG STDMETHODCALLTYPE TMyEndpointVolumeCallback::Release()
{
    const ULONG count = --FRefCount;
    if (count == 0) delete this;
    return count;
}

HRESULT STDMETHODCALLTYPE TMyEndpointVolumeCallback::QueryInterface(REFIID riid, void** ppvObject)
{
    if (ppvObject == nullptr) return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IAudioEndpointVolumeCallback)) {
        *ppvObject = static_cast<IAudioEndpointVolumeCallback*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE TMyEndpointVolumeCallback::OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA pNotify)
{
    // Any thread, any time: no lock, no COM call, no window call but the post. A window that has
    // gone makes the post fail, and nothing happens.
    if (pNotify != nullptr && FWindow != nullptr)
        static_cast<void>(PostMessageW(FWindow, FMessage, pNotify->bMuted ? 1 : 0, 0));
    return S_OK;
}

// ---- The toggle ----

namespace {
// In-process server, in-process handler or local server: the class context both the enumerator
// and the endpoint volume are asked for.
constexpr DWORD kAudioClassContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
} // namespace

TMicrophoneMute::~TMicrophoneMute() { ReleaseEndpoint(); }

void TMicrophoneMute::ReleaseEndpoint()
{
    // The callback goes before the endpoint it is registered with.
    if (FEndpoint && FCallback) FEndpoint->UnregisterControlChangeNotify(FCallback.Get());
    FCallback.Reset();
    FEndpoint.Reset();
}

void TMicrophoneMute::CreateAudioEndpoint()
{
    try {
        // The main thread stays in its apartment for the program's lifetime and never leaves COM.
        // A thread already in it is not entered once more for every try.
        if (CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED) == S_FALSE) CoUninitialize();

        ReleaseEndpoint();
        FMMDev.Reset();
        FMMDevEnum.Reset();
        if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, kAudioClassContext,
                                    IID_PPV_ARGS(FMMDevEnum.ReleaseAndGetAddressOf()))) ||
            !FMMDevEnum) {
            FMMDevEnum.Reset();
            return;
        }
        if (FMMDevEnum->GetDefaultAudioEndpoint(eCapture, eMultimedia, FMMDev.ReleaseAndGetAddressOf()) != S_OK) {
            FMMDev.Reset();
            return;
        }
        if (FMMDev->Activate(__uuidof(IAudioEndpointVolume), kAudioClassContext, nullptr,
                             reinterpret_cast<void**>(FEndpoint.ReleaseAndGetAddressOf())) != S_OK) {
            FEndpoint.Reset();
            return;
        }
        // Kept here too, so that it can be unregistered before the endpoint goes.
        FCallback.Attach(new TMyEndpointVolumeCallback(FNotifyWindow, FNotifyMessage));
        if (FAILED(FEndpoint->RegisterControlChangeNotify(FCallback.Get()))) FCallback.Reset();
    } catch (...) {
    }
}

std::optional<bool> TMicrophoneMute::EndpointMuted() const
{
    if (!FEndpoint) return std::nullopt;
    BOOL muted = FALSE;
    if (FAILED(FEndpoint->GetMute(&muted))) return std::nullopt;
    return muted != FALSE;
}

std::optional<bool> TMicrophoneMute::MicrophoneMute()
{
    try {
        if (!CoreAudioSystem()) {
            SetMixerMute(MixerLineMicrophone, !GetMixerMute(MixerLineMicrophone));
            // What the mixer holds now, not what was asked of it: a write that failed left it.
            return ReadMixerMute(MixerLineMicrophone);
        }
        if (!FEndpoint) CreateAudioEndpoint();
        // A state that cannot be read is left alone rather than guessed.
        const std::optional<bool> muted = EndpointMuted();
        if (!muted) return std::nullopt;
        // The result is ignored: a device that has gone away makes it fail without effect, and
        // the state read back says so.
        static_cast<void>(FEndpoint->SetMute(!*muted, nullptr));
        return EndpointMuted();
    } catch (...) {
        return std::nullopt;
    }
}
