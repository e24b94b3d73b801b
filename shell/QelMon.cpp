// Program entry of the monitor: one instance per logon, a hidden main window, the message loop.
#include "framework/win/Application.h"
#include "framework/win/Handle.h"
#include "framework/win/WinText.h"
#include "profile/ProductConstants.h"
#include "shell/MouseMonitor.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    {
        // Another monitor runs: end at once, silently.
        THandleOwner other(OpenMutexW(MUTEX_ALL_ACCESS, FALSE, W(kMonitorMutexName)));
        if (other) return 0;
    }
    THandleOwner mutex(CreateMutexW(nullptr, TRUE, W(kMonitorMutexName)));

    Application.Initialize();
    Application.SetTitle(kApplicationTitle);
    {
        TQelMonMain mainWindow(nullptr);
        Application.Run();
        ReleaseMutex(mutex.Get());
    }
    return 0;
}
