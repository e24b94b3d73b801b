// Program entry of the monitor: one instance per logon, a hidden main window, the message loop.
#include "framework/core/Exception.h"
#include "framework/win/Application.h"
#include "framework/win/Handle.h"
#include "framework/win/WinText.h"
#include "framework/win/MessageBox.h"
#include "framework/win/Thread.h"
#include "profile/DMUnit.h"
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
    try {
        // The profile data is loaded before anything else runs.
        DM = new TDM(nullptr);
    } catch (const Exception& e) {
        // Profile data the monitor cannot read or create: say why instead of vanishing.
        ShowMessage(e.Message());
        return 1;
    }
    {
        TQelMonMain mainWindow(nullptr);
        // The loop runs at a shallow depth all day: what start-up touched below it is given back.
        TThread::ReleaseUnusedStack();
        Application.Run();
        ReleaseMutex(mutex.Get());
    }
    delete DM;
    DM = nullptr;
    return 0;
}
