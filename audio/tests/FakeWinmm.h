#pragma once
// The state of the stand-in mixer ("winmm.dll" beside the fake mixer tests): one mixer device
// whose lines are the four the monitor selects, each with a mute control, and failures to order;
// the sounds the monitor asks to be played are noted, not played.
// The test reaches it through the DLL's export FakeMixer.
#include <windows.h>

#include <mmsystem.h>

struct TFakeMixer {
    // What the mixer is like.
    UINT Devices = 1;
    MMRESULT OpenResult = MMSYSERR_NOERROR;
    bool HasMicrophoneLine = true;
    bool HasMuteControls = true;
    MMRESULT ReadResult = MMSYSERR_NOERROR;
    MMRESULT WriteResult = MMSYSERR_NOERROR;
    // The lines by component type, with the value of each one's mute control.
    struct TLine {
        DWORD ComponentType;
        LONG Muted;
    };
    TLine Lines[4] = {{MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 0},
                      {MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, 0},
                      {MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, 0},
                      {MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER, 0}};

    // What was done to it.
    int Opens = 0;
    int Closes = 0;
    int Reads = 0;
    int Writes = 0;
    // The sounds asked for, in order: +1 for "MUTE_SOUND_MUTED", -1 for "MUTE_SOUND_LIVE".
    int Sounds[8] = {};
    int SoundCount = 0;
    // A call with a size, flag, handle or identifier other than the platform's.
    int BadCalls = 0;
};

using TFakeMixerFunction = TFakeMixer* (*)();
