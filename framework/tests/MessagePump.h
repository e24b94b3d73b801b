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

// Waits, taking nothing from the queue, until a message posted to the calling thread waits in it
// (a hand-off from another thread, say); false after ATimeoutMs. The queue should hold no posted
// message before the one awaited: pump it first.
inline bool WaitForPostedMessage(DWORD ATimeoutMs = 10000)
{
    return MsgWaitForMultipleObjectsEx(0, nullptr, ATimeoutMs, QS_POSTMESSAGE, MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0;
}
