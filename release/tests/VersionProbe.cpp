// Test tool: prints the system version that GetVersionExW reports to this program ("MAJOR.MINOR")
// and the microphone code's choice of path for it ("core-audio" or "mixer").
#include "audio/MicrophoneMute.h"

#include <windows.h>

#include <cstdio>

int wmain()
{
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExW(&info)) return 1;
    std::printf("%lu.%lu %s\n", info.dwMajorVersion, info.dwMinorVersion, CoreAudioSystem() ? "core-audio" : "mixer");
    return 0;
}
