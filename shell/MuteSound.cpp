#include "shell/MuteSound.h"

#include <windows.h>

#include <mmsystem.h>

void PlayMuteSound(bool AMuted)
{
    // A sound that cannot be played is not replaced by the system's default one, and not reported.
    static_cast<void>(PlaySoundW(AMuted ? L"MUTE_SOUND_MUTED" : L"MUTE_SOUND_LIVE", GetModuleHandleW(nullptr),
                                 SND_RESOURCE | SND_ASYNC | SND_NODEFAULT));
}
