#pragma once
// Thread objects: a run method (Execute) on a thread of their own, a terminated flag any thread may
// set, and the synchronous hand-off (Synchronize) that runs a call on the main thread while the
// calling thread waits.
#include "framework/win/Handle.h"

#include <windows.h>

#include <atomic>
#include <functional>

class TThread {
public:
    TThread();
    // Terminates, waits for Execute to end and closes the thread.
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Starts Execute on a thread of its own; false when the thread cannot be created. With
    // FreeOnTerminate the object may be gone as soon as this returns true. An exception that
    // Execute lets out goes to the application's exception report and ends the thread.
    bool Start();
    // The thread deletes its object when Execute has returned.
    void SetFreeOnTerminate(bool AValue) { FFreeOnTerminate = AValue; }
    // Sets the terminated flag and wakes a Synchronize or an alertable wait on TerminateEvent.
    void Terminate();
    bool Terminated() const { return FTerminated.load(); }
    // Waits until Execute has returned (at once when the thread never started, or when called on
    // the thread itself, as a freeing destructor does).
    void WaitFor();
    // Manual-reset event signalled by Terminate, for waits that must end on termination.
    HANDLE TerminateEvent() const { return FTerminateEvent.Get(); }
    HANDLE Handle() const { return FHandle.Get(); }

    // Records the calling thread as the main thread and makes the window through which the
    // hand-off reaches it. The application calls it; tests that run no application call it once.
    // Gives back the pages of the calling thread's stack below its frames (what Wine touched as
    // the thread started); every thread does it as it starts.
    static void ReleaseUnusedStack();
    static void InitMainThread();
    static bool IsMainThread();
    // Runs queued hand-offs; the main thread's message loop calls it through its window.
    static void CheckSynchronize();

protected:
    virtual void Execute() = 0;
    // Runs AProc on the main thread and waits until it has returned. Answers false, without
    // running it, when the thread is terminated before the main thread takes it up. An exception
    // AProc lets out is raised again here, in the calling thread. From the main thread itself
    // AProc runs at once.
    bool Synchronize(const std::function<void()>& AProc);

private:
    static DWORD WINAPI ThreadProc(LPVOID AParam);
    std::atomic<bool> FTerminated{false};
    bool FFreeOnTerminate = false;
    DWORD FThreadId = 0;
    THandleOwner FTerminateEvent;
    THandleOwner FSyncDone;
    THandleOwner FHandle;
};
