#include "framework/tests/MessagePump.h"
#include "framework/win/Application.h"
#include "framework/win/Thread.h"
#include "framework/win/Timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class TSyncThread : public TThread {
public:
    std::atomic<int> Result{-1};
    std::atomic<DWORD> RanOn{0};
    std::atomic<bool> Entered{false};

protected:
    void Execute() override
    {
        Entered = true;
        Result = Synchronize([this] { RanOn = GetCurrentThreadId(); }) ? 1 : 0;
    }
};

class ThreadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application.Initialize();
        // The report may come from another thread.
        Application.OnException.Bind([this](const std::u16string& message) {
            std::lock_guard lock(FLock);
            FReported.push_back(message);
        });
    }
    void TearDown() override { Application.OnException.Clear(); }
    std::vector<std::u16string> Reported()
    {
        std::lock_guard lock(FLock);
        return FReported;
    }

private:
    std::mutex FLock;
    std::vector<std::u16string> FReported;
};

TEST_F(ThreadTest, SynchronizeRunsOnMainThreadWhileCallerWaits)
{
    TSyncThread t;
    t.Start();
    ASSERT_TRUE(PumpUntil([&] { return t.Result != -1; }));
    EXPECT_EQ(t.Result, 1);
    EXPECT_EQ(t.RanOn, GetCurrentThreadId());
}

TEST_F(ThreadTest, TerminateWithdrawsAHandOffTheMainThreadNeverTook)
{
    TSyncThread t;
    Application.ProcessMessages();
    t.Start();
    // The hand-off's wake-up waits in the main thread's queue, which pumps nothing: the request is
    // queued, and only Terminate can release the thread now.
    ASSERT_TRUE(WaitForPostedMessage());
    ASSERT_TRUE(t.Entered);
    t.Terminate();
    t.WaitFor(); // must not deadlock
    EXPECT_EQ(t.Result, 0);
    EXPECT_EQ(t.RanOn, 0u);
    Application.ProcessMessages(); // the withdrawn request must not run later
    EXPECT_EQ(t.RanOn, 0u);
}

// A hand-off whose call throws: the caller gets the exception, and its next hand-off works.
class TThrowingSyncThread : public TThread {
public:
    std::string Caught;
    std::atomic<int> NextResult{-1};
    std::atomic<int> NextRuns{0};

protected:
    void Execute() override
    {
        try {
            Synchronize([] { throw std::runtime_error("call failed"); });
        } catch (const std::exception& e) {
            Caught = e.what();
        }
        NextResult = Synchronize([this] { ++NextRuns; }) ? 1 : 0;
    }
};

TEST_F(ThreadTest, SynchronizeCallThatThrowsReleasesTheCallerWithItsException)
{
    TThrowingSyncThread t;
    t.Start();
    ASSERT_TRUE(PumpUntil([&] { return t.NextResult != -1; }));
    t.WaitFor();
    EXPECT_EQ(t.Caught, "call failed");
    EXPECT_EQ(t.NextResult, 1);
    EXPECT_EQ(t.NextRuns, 1);
    // The caller handled it: nothing reached the application's report.
    EXPECT_TRUE(Reported().empty());
}

// Terminated while the main thread runs its call: the caller waits until the call has returned.
class TTerminatedDuringCallThread : public TThread {
public:
    std::atomic<int> Result{-1};
    std::atomic<bool> CallEnded{false};
    std::atomic<bool> CallEndedBeforeReturn{false};

protected:
    void Execute() override
    {
        Result = Synchronize([this] {
            Terminate();
            Sleep(50);
            CallEnded = true;
        }) ? 1 : 0;
        CallEndedBeforeReturn = CallEnded.load();
        // A terminated thread hands nothing more over.
        if (Synchronize([] {})) Result = 2;
    }
};

TEST_F(ThreadTest, TerminateWhileTheMainThreadRunsTheCallWaitsForItsEnd)
{
    TTerminatedDuringCallThread t;
    t.Start();
    ASSERT_TRUE(PumpUntil([&] { return t.Result != -1; }));
    t.WaitFor();
    EXPECT_EQ(t.Result, 1);
    EXPECT_TRUE(t.CallEndedBeforeReturn);
}

class TFailingThread : public TThread {
protected:
    void Execute() override { throw std::runtime_error("execute failed"); }
};

TEST_F(ThreadTest, ExceptionLeavingExecuteIsReportedOnceAndEndsOnlyTheThread)
{
    TFailingThread t;
    ASSERT_TRUE(t.Start());
    t.WaitFor();
    EXPECT_EQ(Reported(), std::vector<std::u16string>{u"execute failed"});
}

// Frees itself when Execute returns; tells on which thread its destructor ran.
class TFreeingThread : public TThread {
public:
    explicit TFreeingThread(std::atomic<DWORD>& ADestroyedOn) : FDestroyedOn(ADestroyedOn) {}
    ~TFreeingThread() override { FDestroyedOn = GetCurrentThreadId(); }

protected:
    void Execute() override {}

private:
    std::atomic<DWORD>& FDestroyedOn;
};

TEST_F(ThreadTest, FreeOnTerminateDeletesTheObjectOnItsOwnThread)
{
    std::atomic<DWORD> destroyedOn{0};
    auto* t = new TFreeingThread(destroyedOn);
    t->SetFreeOnTerminate(true);
    ASSERT_TRUE(t->Start());
    ASSERT_TRUE(PumpUntil([&] { return destroyedOn != 0; }));
    EXPECT_NE(destroyedOn, GetCurrentThreadId());
}

// Uses a megabyte of its stack, well into the pages given back at its start, and frees itself.
class TDeepStackThread : public TThread {
public:
    TDeepStackThread(std::atomic<int>& ASum, std::atomic<DWORD>& ADestroyedOn) : FSum(ASum), FDestroyedOn(ADestroyedOn) {}
    ~TDeepStackThread() override { FDestroyedOn = GetCurrentThreadId(); }

protected:
    void Execute() override
    {
        volatile uint8_t buffer[1024 * 1024];
        for (size_t i = 0; i < sizeof(buffer); ++i) buffer[i] = static_cast<uint8_t>(i % 251);
        int sum = 0;
        for (size_t i = 0; i < sizeof(buffer); i += 4096) sum += buffer[i] == static_cast<uint8_t>(i % 251);
        FSum = sum;
    }

private:
    std::atomic<int>& FSum;
    std::atomic<DWORD>& FDestroyedOn;
};

TEST_F(ThreadTest, AThreadStillHasItsWholeStackAfterItsUnusedPagesAreGivenBack)
{
    std::atomic<int> sum{0};
    std::atomic<DWORD> destroyedOn{0};
    auto* t = new TDeepStackThread(sum, destroyedOn);
    t->SetFreeOnTerminate(true);
    ASSERT_TRUE(t->Start());
    // The object, reached from the thread's first frame, is intact at the end.
    ASSERT_TRUE(PumpUntil([&] { return destroyedOn != 0; }));
    EXPECT_EQ(sum, 256) << "a page of the stack does not hold what was written to it";
}

TEST_F(ThreadTest, TimerFiresOnMainThreadAndStopsWhenDisabled)
{
    TTimer timer(nullptr);
    timer.SetInterval(20);
    int ticks = 0;
    timer.OnTimer.Bind([&](TTimer* sender) {
        EXPECT_EQ(sender, &timer);
        if (++ticks == 2) sender->SetEnabled(false);
    });
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 2; }));
    PumpFor(150);
    EXPECT_EQ(ticks, 2);
}

} // namespace
