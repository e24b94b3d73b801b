#include "framework/tests/MessagePump.h"
#include "framework/win/Application.h"
#include "framework/win/Thread.h"
#include "framework/win/Timer.h"

#include <gtest/gtest.h>

#include <atomic>

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
    void SetUp() override { Application.Initialize(); }
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
    t.Start();
    while (!t.Entered) Sleep(1);
    Sleep(50); // the thread is now blocked in the hand-off; the main thread pumps nothing
    t.Terminate();
    t.WaitFor(); // must not deadlock
    EXPECT_EQ(t.Result, 0);
    EXPECT_EQ(t.RanOn, 0u);
    Application.ProcessMessages(); // the withdrawn request must not run later
    EXPECT_EQ(t.RanOn, 0u);
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
