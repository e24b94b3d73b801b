#pragma once
// The application object: the main thread's message loop, termination and the title.
#include "framework/core/Event.h"

#include <exception>
#include <string>

class TApplication {
public:
    // Prepares the main thread (the synchronous hand-off of threads is delivered here).
    void Initialize();
    // Runs the message loop until Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Dispatches every message pending for the main thread once, then returns.
    void ProcessMessages();

    // The standard report of an exception that a handler let out: OnException when it is
    // assigned, else a message box with the exception's text. Callable from any thread.
    void HandleException(std::exception_ptr AException);
    TEvent<void(const std::u16string& AMessage)> OnException;

    const std::u16string& Title() const { return FTitle; }
    void SetTitle(const std::u16string& ATitle) { FTitle = ATitle; }

private:
    bool Dispatch();
    bool FTerminated = false;
    std::u16string FTitle;
};

extern TApplication Application;
