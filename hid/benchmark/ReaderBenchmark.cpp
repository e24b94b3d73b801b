// Reader benchmark over the simulated device: the reader's wake-ups per second while no report
// comes, and the latency from a report's completion to its OnData handler on the main thread,
// for the reader's single alertable wait (the product), beside two others:
// - the floor, a bare hand-off between the same threads: an event wakes a waiting thread, which
//   posts a message to a window of the main thread; the product cannot do better than this;
// - the reference, a reader that waits in passes (an alertable 1 ms sleep, then a 1 ms wait on
//   ReadStopEvent, again and again).
// The product and the floor are measured in alternating rounds, so that both see the same load
// of a shared machine.
#include "framework/tests/BenchmarkClock.h"
#include "framework/win/Application.h"
#include "framework/win/Thread.h"
#include "framework/win/UtilityWindow.h"
#include "framework/win/WinText.h"
#include "hid/tests/SimulatedHidDevice.h"
#include "hid/uiHIDData.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int kRounds = 5;
constexpr int kReportsPerRound = 2000;
constexpr int kReferenceReports = 2000;
constexpr DWORD kIdleMs = 3000;
constexpr UINT kFloorMessage = WM_APP + 1;
const std::u16string kProductPath = u"\\\\?\\sim#benchmark#product";
const std::u16string kReferencePath = u"\\\\?\\sim#benchmark#reference";

std::atomic<long long> ProductWakeups{0};

DWORD WINAPI CountingWait(DWORD ACount, const HANDLE* AHandles, BOOL AAll, DWORD ATimeout, BOOL AAlertable)
{
    const DWORD result = WaitForMultipleObjectsEx(ACount, AHandles, AAll, ATimeout, AAlertable);
    ++ProductWakeups;
    return result;
}

const THidApi& BenchmarkApi()
{
    static const THidApi api = [] {
        THidApi a = SimulatedHid::Api();
        a.WaitForMultipleObjectsEx = &CountingWait;
        return a;
    }();
    return api;
}

// One way from a driver thread to a handler on the main thread. Ready waits until the receiving
// thread waits again; Send starts the next hand-off; the handler on the main thread calls Arrived.
class TSubject {
public:
    virtual ~TSubject() = default;
    virtual void Ready() = 0;
    virtual void Send(int AIndex) = 0;
    virtual long long Wakeups() const = 0;

    void Arrived()
    {
        Latencies.push_back(Now() - SentAt);
        SetEvent(Delivered.Get());
    }

    std::atomic<double> SentAt{0};
    std::vector<double> Latencies;
    THandleOwner Delivered{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
};

// Runs the main thread's messages until ADone is signalled.
void PumpUntil(HANDLE ADone)
{
    while (MsgWaitForMultipleObjects(1, &ADone, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        Application.ProcessMessages();
}

// Sends AReports hand-offs one after the other from a driver thread, each once the receiver
// waits again.
void MeasureLatency(TSubject& ASubject, int AReports)
{
    THandleOwner done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread driver([&] {
        for (int i = 0; i < AReports; ++i) {
            ASubject.Ready();
            ASubject.SentAt = Now();
            ASubject.Send(i);
            WaitForSingleObject(ASubject.Delivered.Get(), INFINITE);
        }
        SetEvent(done.Get());
    });
    PumpUntil(done.Get());
    driver.join();
}

double IdleWakeupsPerSecond(const TSubject& ASubject)
{
    const long long before = ASubject.Wakeups();
    Sleep(kIdleMs);
    return static_cast<double>(ASubject.Wakeups() - before) / (kIdleMs / 1000.0);
}

class TProduct : public TSubject {
public:
    explicit TProduct(TuiHIDData& AHid) : FHid(AHid)
    {
        FHid.OnData.Bind([this](const std::u16string&, const std::u16string&, uint8_t, const uint8_t*, uint16_t) { Arrived(); });
        TuiHidDeviceReadThread::StartReading(&FHid, u"HID\\VID_1D57", kProductPath);
        SimulatedHid::WaitForPendingReads(kProductPath);
    }
    ~TProduct() override
    {
        FHid.HidStopRead();
        FHid.OnData.Clear();
    }
    void Ready() override { SimulatedHid::WaitForPendingReads(kProductPath); }
    void Send(int AIndex) override
    {
        SimulatedHid::Send(kProductPath, {7, static_cast<uint8_t>(AIndex), 0, 0, 0, 0, 0, 0});
    }
    long long Wakeups() const override { return ProductWakeups; }

private:
    TuiHIDData& FHid;
};

// The floor: an auto-reset event wakes the waiting thread, which posts to the main thread.
class TFloor : public TSubject {
public:
    TFloor()
        : FWindow([this](TMessage& m) {
              if (m.Msg != kFloorMessage) return false;
              Arrived();
              return true;
          }),
          FWaiter([this] { Wait(); })
    {
        Ready();
    }
    ~TFloor() override
    {
        FStop = true;
        SetEvent(FWake.Get());
        FWaiter.join();
    }
    void Ready() override
    {
        std::unique_lock lock(FLock);
        FArmedChanged.wait(lock, [&] { return FArmed > FSent; });
    }
    void Send(int) override
    {
        ++FSent;
        SetEvent(FWake.Get());
    }
    long long Wakeups() const override { return FWakeups; }

private:
    void Wait()
    {
        for (;;) {
            {
                std::lock_guard lock(FLock);
                ++FArmed;
            }
            FArmedChanged.notify_all();
            WaitForSingleObject(FWake.Get(), INFINITE);
            ++FWakeups;
            if (FStop) return;
            PostMessageW(FWindow.Handle(), kFloorMessage, 0, 0);
        }
    }

    THandleOwner FWake{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    std::atomic<bool> FStop{false};
    std::atomic<long long> FWakeups{0};
    std::mutex FLock;
    std::condition_variable FArmedChanged;
    long long FArmed = 0; // guarded by FLock
    std::atomic<long long> FSent{0};
    TUtilityWindow FWindow;
    std::thread FWaiter;
};

// The reference: the same read and hand-off, waiting in passes of 1 ms.
class TPassesReader : public TThread {
public:
    explicit TPassesReader(const THidApi& AApi) : FApi(AApi) {}
    std::atomic<long long> Wakeups{0};
    TEvent<void()> OnData;

protected:
    void Execute() override
    {
        THidDeviceHandle handle(FApi, FApi.CreateFileW(W(kReferencePath), GENERIC_READ | GENERIC_WRITE,
                                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                       FILE_FLAG_OVERLAPPED, nullptr));
        std::vector<uint8_t> report(8);
        OVERLAPPED overlapped{};
        bool pending = false;
        while (!Terminated()) {
            overlapped = OVERLAPPED{};
            pending = FApi.ReadFileEx(handle.Get(), report.data(), 8, &overlapped, &Completion) != FALSE;
            bool completed = false;
            while (!Terminated() && !completed) {
                completed = SleepEx(1, TRUE) == WAIT_IO_COMPLETION;
                ++Wakeups;
                if (WaitForSingleObject(ReadStopEvent(), 1) != WAIT_TIMEOUT) Terminate();
                ++Wakeups;
            }
            if (!completed) break;
            pending = false;
            DWORD bytes = 0;
            if (FApi.GetOverlappedResult(handle.Get(), &overlapped, &bytes, FALSE) && bytes > 0)
                Synchronize([this] { OnData(); });
        }
        if (pending) {
            FApi.CancelIo(handle.Get());
            while (SleepEx(INFINITE, TRUE) != WAIT_IO_COMPLETION) {
            }
        }
    }

private:
    static VOID CALLBACK Completion(DWORD, DWORD, LPOVERLAPPED) {}
    const THidApi& FApi;
};

class TReference : public TSubject {
public:
    TReference() : FReader(SimulatedHid::Api())
    {
        FReader.OnData.Bind([this] { Arrived(); });
        FReader.Start();
        SimulatedHid::WaitForPendingReads(kReferencePath);
    }
    ~TReference() override
    {
        FReader.Terminate();
        FReader.WaitFor();
    }
    void Ready() override { SimulatedHid::WaitForPendingReads(kReferencePath); }
    void Send(int AIndex) override
    {
        SimulatedHid::Send(kReferencePath, {7, static_cast<uint8_t>(AIndex), 0, 0, 0, 0, 0, 0});
    }
    long long Wakeups() const override { return FReader.Wakeups; }

private:
    TPassesReader FReader;
};

struct TFigures {
    double WakeupsPerSecond;
    double MedianUs;
    double P99Us;
};

TFigures Summarise(double AWakeupsPerSecond, std::vector<double> ALatencies)
{
    std::sort(ALatencies.begin(), ALatencies.end());
    const auto at = [&](size_t i) { return ALatencies.empty() ? 0.0 : ALatencies[std::min(i, ALatencies.size() - 1)] * 1e6; };
    return {AWakeupsPerSecond, at(ALatencies.size() / 2), at(ALatencies.size() * 99 / 100)};
}

void PrintRow(const char* AName, const TFigures& AFigures)
{
    std::printf("%-30s %18.1f %18.1f %18.1f\n", AName, AFigures.WakeupsPerSecond, AFigures.MedianUs, AFigures.P99Us);
}

} // namespace

int main()
{
    Application.Initialize();
    SimulatedHid::AddDevice(kProductPath, 8, 24);
    SimulatedHid::AddDevice(kReferencePath, 8, 24);

    // Its component holds ReadStopEvent, which the reference uses too.
    TuiHIDData hid(nullptr, BenchmarkApi());
    TFigures productFigures{};
    TFigures floorFigures{};
    {
        TProduct productSubject(hid);
        TFloor floorSubject;
        const double productIdle = IdleWakeupsPerSecond(productSubject);
        const double floorIdle = IdleWakeupsPerSecond(floorSubject);
        for (int round = 0; round < kRounds; ++round) {
            MeasureLatency(floorSubject, kReportsPerRound);
            MeasureLatency(productSubject, kReportsPerRound);
        }
        productFigures = Summarise(productIdle, productSubject.Latencies);
        floorFigures = Summarise(floorIdle, floorSubject.Latencies);
    }
    // Alone: its passes would load the machine while the others are measured.
    TFigures referenceFigures{};
    {
        TReference referenceSubject;
        const double referenceIdle = IdleWakeupsPerSecond(referenceSubject);
        MeasureLatency(referenceSubject, kReferenceReports);
        referenceFigures = Summarise(referenceIdle, referenceSubject.Latencies);
    }

    std::printf("reader over the simulated device: product and floor %d reports each in %d alternating rounds, "
                "reference %d reports; idle %lu ms\n",
                kRounds * kReportsPerRound, kRounds, kReferenceReports, kIdleMs);
    std::printf("%-30s %18s %18s %18s\n", "", "wake-ups/s idle", "latency median us", "latency p99 us");
    PrintRow("one alertable wait (product)", productFigures);
    PrintRow("bare hand-off (floor)", floorFigures);
    PrintRow("passes of 1 ms (reference)", referenceFigures);
    std::printf("product median / floor median: %.2f\n", floorFigures.MedianUs > 0 ? productFigures.MedianUs / floorFigures.MedianUs : 0.0);
    return 0;
}
