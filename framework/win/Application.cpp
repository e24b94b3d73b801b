#include "framework/win/Application.h"

#include "framework/core/Text.h"
#include "framework/win/MessageBox.h"
#include "framework/win/Thread.h"

#include <windows.h>

TApplication Application;

void TApplication::Initialize() { TThread::InitMainThread(); }

bool TApplication::Dispatch()
{
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return false;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void TApplication::Run()
{
    MSG msg;
    // GetMessage sleeps until something arrives: an idle monitor costs no wake-up.
    while (!FTerminated && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    FTerminated = true;
}

void TApplication::Terminate()
{
    if (FTerminated) return;
    FTerminated = true;
    PostQuitMessage(0);
}

void TApplication::ProcessMessages()
{
    if (FMenuLoops > 0) return;
    while (Dispatch()) {
    }
}

void TApplication::HandleException(std::exception_ptr AException)
{
    std::u16string message;
    try {
        std::rethrow_exception(AException);
    } catch (const std::exception& e) {
        message = Utf16FromUtf8(e.what());
    } catch (...) {
        message = u"Unknown exception";
    }
    if (OnException.Assigned())
        OnException(message);
    else
        ShowMessage(message);
}
