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
    // Dispatches every message pending for the main thread once, then returns. While a pop-up
    // menu runs it returns at once: the menu's own loop dispatches every message, and it reads
    // its clicks and keys from the same queue, so a handler that took them would lose them.
    void ProcessMessages();
    // Bracket a pop-up menu's loop.
    void MenuLoopEntered() { ++FMenuLoops; }
    void MenuLoopLeft() { --FMenuLoops; }

    // The standard report of an exception that a handler let out: OnException when it is
    // assigned, else a message box with the exception's text. Callable from any thread.
    void HandleException(std::exception_ptr AException);
    TEvent<void(const std::u16string& AMessage)> OnException;

    const std::u16string& Title() const { return FTitle; }
    void SetTitle(const std::u16string& ATitle) { FTitle = ATitle; }

private:
    bool Dispatch();
    bool FTerminated = false;
    int FMenuLoops = 0;
    std::u16string FTitle;
};

extern TApplication Application;
