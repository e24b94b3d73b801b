// A stand-in "winmm.dll" with the mixer functions the microphone toggle calls, so that the mixer
// failures Wine's own mixer never shows (a line without a mute control, failed reads and writes)
// can be tested. Wine loads it for the fake mixer tests only (a per-program DLL override).
// The functions are defined here, not imported.
#define _WINMM_
#include "audio/tests/FakeWinmm.h"

#include <set>
#include <string_view>

namespace {

TFakeMixer State;
std::set<UINT_PTR> OpenHandles;
UINT_PTR NextHandle = 0x4d00;

// A line's identifier is its component type; its mute control's identifier is that plus this.
constexpr DWORD MuteControlOffset = 0x100000;

bool Check(bool ACondition)
{
    if (!ACondition) ++State.BadCalls;
    return ACondition;
}

bool KnownMixer(HMIXEROBJ AMixer) { return Check(OpenHandles.count(reinterpret_cast<UINT_PTR>(AMixer)) == 1); }

TFakeMixer::TLine* FindLine(DWORD AComponentType)
{
    if (AComponentType == MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE && !State.HasMicrophoneLine) return nullptr;
    for (auto& line : State.Lines)
        if (line.ComponentType == AComponentType) return &line;
    return nullptr;
}

// A read or write of a mute control's value, after checking the call.
MMRESULT MuteControlValue(HMIXEROBJ AMixer, LPMIXERCONTROLDETAILS ADetails, DWORD AFlags, bool AWrite)
{
    if (!KnownMixer(AMixer) || !Check(AFlags == MIXER_OBJECTF_HMIXER) ||
        !Check(ADetails->cbStruct == sizeof(MIXERCONTROLDETAILS) && ADetails->cChannels == 1 &&
               ADetails->cMultipleItems == 0 && ADetails->cbDetails == sizeof(MIXERCONTROLDETAILS_BOOLEAN) &&
               ADetails->paDetails != nullptr))
        return MMSYSERR_INVALPARAM;
    TFakeMixer::TLine* line = State.HasMuteControls ? FindLine(ADetails->dwControlID - MuteControlOffset) : nullptr;
    if (!Check(line != nullptr)) return MIXERR_INVALCONTROL;
    ++(AWrite ? State.Writes : State.Reads);
    if (const MMRESULT failure = AWrite ? State.WriteResult : State.ReadResult; failure != MMSYSERR_NOERROR)
        return failure;
    auto& value = static_cast<MIXERCONTROLDETAILS_BOOLEAN*>(ADetails->paDetails)->fValue;
    if (AWrite)
        line->Muted = value;
    else
        value = line->Muted;
    return MMSYSERR_NOERROR;
}

} // namespace

extern "C" {

__declspec(dllexport) TFakeMixer* FakeMixer() { return &State; }

__declspec(dllexport) UINT WINAPI mixerGetNumDevs() { return State.Devices; }

__declspec(dllexport) MMRESULT WINAPI mixerOpen(LPHMIXER AMixer, UINT ADevice, DWORD_PTR ACallback, DWORD_PTR AInstance, DWORD AFlags)
{
    if (!Check(ADevice < State.Devices && ACallback == 0 && AInstance == 0 && AFlags == 0)) return MMSYSERR_BADDEVICEID;
    if (State.OpenResult != MMSYSERR_NOERROR) return State.OpenResult;
    ++State.Opens;
    *AMixer = reinterpret_cast<HMIXER>(++NextHandle);
    OpenHandles.insert(NextHandle);
    return MMSYSERR_NOERROR;
}

__declspec(dllexport) MMRESULT WINAPI mixerClose(HMIXER AMixer)
{
    if (!Check(OpenHandles.erase(reinterpret_cast<UINT_PTR>(AMixer)) == 1)) return MMSYSERR_INVALHANDLE;
    ++State.Closes;
    return MMSYSERR_NOERROR;
}

__declspec(dllexport) MMRESULT WINAPI mixerGetLineInfoW(HMIXEROBJ AMixer, LPMIXERLINEW ALine, DWORD AFlags)
{
    if (!KnownMixer(AMixer) || !Check(AFlags == (MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE)) ||
        !Check(ALine->cbStruct == sizeof(MIXERLINEW)))
        return MMSYSERR_INVALPARAM;
    if (FindLine(ALine->dwComponentType) == nullptr) return MIXERR_INVALLINE;
    ALine->dwLineID = ALine->dwComponentType;
    ALine->cControls = State.HasMuteControls ? 1 : 0;
    return MMSYSERR_NOERROR;
}

__declspec(dllexport) MMRESULT WINAPI mixerGetLineControlsW(HMIXEROBJ AMixer, LPMIXERLINECONTROLSW AControls, DWORD AFlags)
{
    if (!KnownMixer(AMixer) || !Check(AFlags == (MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE)) ||
        !Check(AControls->cbStruct == sizeof(MIXERLINECONTROLSW) && AControls->cControls == 1 &&
               AControls->cbmxctrl == sizeof(MIXERCONTROLW) && AControls->pamxctrl != nullptr &&
               AControls->dwControlType == MIXERCONTROL_CONTROLTYPE_MUTE))
        return MMSYSERR_INVALPARAM;
    if (!Check(FindLine(AControls->dwLineID) != nullptr)) return MIXERR_INVALLINE;
    if (!State.HasMuteControls) return MIXERR_INVALCONTROL;
    AControls->pamxctrl->cbStruct = sizeof(MIXERCONTROLW);
    AControls->pamxctrl->dwControlID = AControls->dwLineID + MuteControlOffset;
    AControls->pamxctrl->dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
    return MMSYSERR_NOERROR;
}

__declspec(dllexport) MMRESULT WINAPI mixerGetControlDetailsW(HMIXEROBJ AMixer, LPMIXERCONTROLDETAILS ADetails, DWORD AFlags)
{
    return MuteControlValue(AMixer, ADetails, AFlags, false);
}

__declspec(dllexport) MMRESULT WINAPI mixerSetControlDetails(HMIXEROBJ AMixer, LPMIXERCONTROLDETAILS ADetails, DWORD AFlags)
{
    return MuteControlValue(AMixer, ADetails, AFlags, true);
}

__declspec(dllexport) BOOL WINAPI PlaySoundW(LPCWSTR ASound, HMODULE AModule, DWORD AFlags)
{
    if (!Check(AModule != nullptr && AFlags == (SND_RESOURCE | SND_ASYNC | SND_NODEFAULT) && ASound != nullptr))
        return FALSE;
    const std::wstring_view sound(ASound);
    const int which = sound == L"MUTE_SOUND_MUTED" ? 1 : sound == L"MUTE_SOUND_LIVE" ? -1 : 0;
    if (!Check(which != 0 && State.SoundCount < 8)) return FALSE;
    State.Sounds[State.SoundCount++] = which;
    return TRUE;
}

} // extern "C"
