#include "framework/win/Thread.h"

#include "framework/win/Application.h"
#include "framework/win/UtilityWindow.h"

#include <deque>
#include <exception>
#include <memory>
#include <mutex>

namespace {

// One hand-off waiting for the main thread. Done is the waiting thread's own event: making a
// kernel object for every hand-off would cost as much as the hand-off itself.
struct TSyncRequest {
    const std::function<void()>* Proc;
    HANDLE Done;
    std::exception_ptr Error;
};

// The main thread's side of the hand-off: a queue, and a window whose message makes the main
// thread's message loop (or any modal loop running in it) work the queue off.
class TSynchronizer {
public:
    void Init()
    {
        FMainThreadId = GetCurrentThreadId();
        if (!FWindow) {
            FWindow = std::make_unique<TUtilityWindow>([](TMessage& m) {
                if (m.Msg != kWakeMessage) return false;
                TThread::CheckSynchronize();
                return true;
            });
        }
    }
    DWORD MainThreadId() const { return FMainThreadId; }

    void Queue(TSyncRequest* ARequest)
    {
        {
            std::lock_guard lock(FLock);
            FQueue.push_back(ARequest);
        }
        PostMessageW(FWindow ? FWindow->Handle() : nullptr, kWakeMessage, 0, 0);
    }

    // True when the request was still waiting and is now withdrawn.
    bool Withdraw(TSyncRequest* ARequest)
    {
        std::lock_guard lock(FLock);
        for (auto it = FQueue.begin(); it != FQueue.end(); ++it) {
            if (*it == ARequest) {
                FQueue.erase(it);
                return true;
            }
        }
        return false;
    }

    void Run()
    {
        for (;;) {
            TSyncRequest* request;
            {
                std::lock_guard lock(FLock);
                if (FQueue.empty()) return;
                request = FQueue.front();
                FQueue.pop_front();
            }
            // The caller stays blocked until Done, so the request outlives this call; a failed
            // call still releases it, with the exception to raise in its own thread.
            try {
                (*request->Proc)();
            } catch (...) {
                request->Error = std::current_exception();
            }
            SetEvent(request->Done);
        }
    }

private:
    static constexpr UINT kWakeMessage = WM_APP + 0x3A1;
    DWORD FMainThreadId = 0;
    std::unique_ptr<TUtilityWindow> FWindow;
    std::mutex FLock;
    std::deque<TSyncRequest*> FQueue;
};

TSynchronizer& Synchronizer()
{
    static TSynchronizer instance;
    return instance;
}

// Room left for the frames the thread's start already uses, and for a little more.
constexpr ULONG_PTR kStackInUse = 64 * 1024;
constexpr ULONG_PTR kPageSize = 4096;

} // namespace

// Wine touches most of the top megabyte of a new thread's stack before the thread runs, so every
// thread would hold that much private memory for as long as it lives. The pages below the
// thread's frames hold nothing of interest: they are given back, and zero pages take their place
// when the stack grows into them again. On Windows the committed stack is what the thread has
// touched, so there is little or nothing to give back.
void TThread::ReleaseUnusedStack()
{
    volatile char here = 0;
    // The lowest page of the committed, writable run of the stack that holds this frame; the
    // system may report that run in pieces. Below it lie the guard pages and the reservation.
    auto limit = reinterpret_cast<ULONG_PTR>(&here) & ~(kPageSize - 1);
    MEMORY_BASIC_INFORMATION region{};
    while (VirtualQuery(reinterpret_cast<void*>(limit - 1), &region, sizeof region) && region.State == MEM_COMMIT &&
           region.Protect == PAGE_READWRITE)
        limit = reinterpret_cast<ULONG_PTR>(region.BaseAddress);
    const ULONG_PTR top = (reinterpret_cast<ULONG_PTR>(&here) - kStackInUse) & ~(kPageSize - 1);
    if (top <= limit) return;
    // A refusal leaves the pages as they were.
    static_cast<void>(VirtualAlloc(reinterpret_cast<void*>(limit), top - limit, MEM_RESET, PAGE_READWRITE));
}

TThread::TThread()
    : FTerminateEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)), FSyncDone(CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
}

TThread::~TThread()
{
    Terminate();
    WaitFor();
}

bool TThread::Start()
{
    if (FHandle) return true;
    // Suspended until the handle is stored: a thread that frees itself may end at once.
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, &TThread::ThreadProc, this, CREATE_SUSPENDED, &id);
    if (!thread) return false;
    FHandle.Reset(thread);
    FThreadId = id;
    ResumeThread(thread);
    return true;
}

DWORD WINAPI TThread::ThreadProc(LPVOID AParam)
{
    auto* self = static_cast<TThread*>(AParam);
    ReleaseUnusedStack();
    try {
        self->Execute();
    } catch (...) {
        // An exception that Execute lets out ends the thread, never the process.
        Application.HandleException(std::current_exception());
    }
    if (self->FFreeOnTerminate) delete self;
    return 0;
}

void TThread::Terminate()
{
    FTerminated = true;
    SetEvent(FTerminateEvent.Get());
}

void TThread::WaitFor()
{
    if (FHandle && FThreadId != GetCurrentThreadId()) WaitForSingleObject(FHandle.Get(), INFINITE);
}

void TThread::InitMainThread() { Synchronizer().Init(); }

bool TThread::IsMainThread() { return GetCurrentThreadId() == Synchronizer().MainThreadId(); }

void TThread::CheckSynchronize()
{
    if (IsMainThread()) Synchronizer().Run();
}

bool TThread::Synchronize(const std::function<void()>& AProc)
{
    if (IsMainThread()) {
        AProc();
        return true;
    }
    if (Terminated()) return false;
    // FSyncDone is auto-reset and set once for every request the main thread takes up, and
    // every such signal is waited for below, so none is left over for the next request.
    TSyncRequest request{&AProc, FSyncDone.Get(), nullptr};
    Synchronizer().Queue(&request);
    HANDLE waits[] = {request.Done, FTerminateEvent.Get()};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
        if (Synchronizer().Withdraw(&request)) return false;
        // The main thread has already taken it up: it finishes, and the stack request must outlive it.
        WaitForSingleObject(request.Done, INFINITE);
    }
    if (request.Error) std::rethrow_exception(request.Error);
    return true;
}
