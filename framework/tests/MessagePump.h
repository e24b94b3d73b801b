#pragma once
// Tests that wait for something the main thread's messages bring (a timer, a hand-off, a
// notification) pump them meanwhile.
#include "framework/win/Application.h"

#include <windows.h>

// Pumps the main thread's messages until ADone answers true; false after ATimeoutMs.
template <class F>
bool PumpUntil(F ADone, DWORD ATimeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    while (!ADone()) {
        if (GetTickCount() - start > ATimeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        Application.ProcessMessages();
    }
    return true;
}

inline void PumpFor(DWORD AMs)
{
    PumpUntil([] { return false; }, AMs);
}
