// Reader benchmark over the simulated device: the reader's wake-ups per second while no report
// comes, and the latency from a report's completion to its OnData handler on the main thread,
// for the reader's single alertable wait and, as the reference, a reader that waits in passes
// (an alertable 1 ms sleep, then a 1 ms wait on ReadStopEvent, again and again).
#include "framework/win/Application.h"
#include "framework/win/Thread.h"
#include "framework/win/WinText.h"
#include "hid/tests/SimulatedHidDevice.h"
#include "hid/uiHIDData.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

constexpr int kReports = 10000;
constexpr DWORD kIdleMs = 3000;
const std::u16string kPath = u"\\\\?\\sim#benchmark";

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

double Now()
{
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency;
}

// The reference: the same read and hand-off, waiting in passes of 1 ms.
class TPassesReader : public TThread {
public:
    explicit TPassesReader(const THidApi& AApi) : FApi(AApi) {}
    std::atomic<long long> Wakeups{0};
    TEvent<void()> OnData;

protected:
    void Execute() override
    {
        THidDeviceHandle handle(FApi, FApi.CreateFileW(W(kPath), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                       nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
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

struct TFigures {
    double WakeupsPerSecond;
    double MedianUs;
    double P99Us;
};

// Runs the main thread's messages until ADone is signalled.
void PumpUntil(HANDLE ADone)
{
    while (MsgWaitForMultipleObjects(1, &ADone, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        Application.ProcessMessages();
}

// Sends kReports reports one after the other from a driver thread, each once the reader waits
// again; the handler on the main thread measures each latency.
void MeasureLatency(std::atomic<double>& ASentAt, HANDLE ADelivered)
{
    THandleOwner done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread driver([&] {
        for (int i = 0; i < kReports; ++i) {
            SimulatedHid::WaitForPendingReads(kPath);
            ASentAt = Now();
            SimulatedHid::Send(kPath, {7, static_cast<uint8_t>(i), 0, 0, 0, 0, 0, 0});
            WaitForSingleObject(ADelivered, INFINITE);
        }
        SetEvent(done.Get());
    });
    PumpUntil(done.Get());
    driver.join();
}

TFigures Summarise(double AWakeups, std::vector<double>& ALatencies)
{
    std::sort(ALatencies.begin(), ALatencies.end());
    const auto at = [&](size_t i) { return ALatencies.empty() ? 0.0 : ALatencies[std::min(i, ALatencies.size() - 1)] * 1e6; };
    return {AWakeups / (kIdleMs / 1000.0), at(ALatencies.size() / 2), at(ALatencies.size() * 99 / 100)};
}

TFigures RunProduct()
{
    TuiHIDData hid(nullptr, BenchmarkApi());
    std::atomic<double> sentAt{0};
    std::vector<double> latencies;
    THandleOwner delivered(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    hid.OnData.Bind([&](const std::u16string&, const std::u16string&, uint8_t, const uint8_t*, uint16_t) {
        latencies.push_back(Now() - sentAt);
        SetEvent(delivered.Get());
    });
    TuiHidDeviceReadThread::StartReading(&hid, u"HID\\VID_1D57", kPath);
    SimulatedHid::WaitForPendingReads(kPath);
    const long long before = ProductWakeups;
    Sleep(kIdleMs);
    const double idle = static_cast<double>(ProductWakeups - before);
    MeasureLatency(sentAt, delivered.Get());
    hid.HidStopRead();
    return Summarise(idle, latencies);
}

TFigures RunReference()
{
    TuiHIDData hid(nullptr, BenchmarkApi()); // for ReadStopEvent
    TPassesReader reader(SimulatedHid::Api());
    std::atomic<double> sentAt{0};
    std::vector<double> latencies;
    THandleOwner delivered(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    reader.OnData.Bind([&] {
        latencies.push_back(Now() - sentAt);
        SetEvent(delivered.Get());
    });
    reader.Start();
    SimulatedHid::WaitForPendingReads(kPath);
    const long long before = reader.Wakeups;
    Sleep(kIdleMs);
    const double idle = static_cast<double>(reader.Wakeups - before);
    MeasureLatency(sentAt, delivered.Get());
    reader.Terminate();
    reader.WaitFor();
    return Summarise(idle, latencies);
}

} // namespace

int main()
{
    Application.Initialize();
    SimulatedHid::AddDevice(kPath, 8, 24);
    const TFigures product = RunProduct();
    const TFigures reference = RunReference();
    std::printf("reader over the simulated device, %d reports, idle %lu ms\n", kReports, kIdleMs);
    std::printf("%-28s %18s %18s %18s\n", "", "wake-ups/s idle", "latency median us", "latency p99 us");
    std::printf("%-28s %18.1f %18.1f %18.1f\n", "one alertable wait", product.WakeupsPerSecond, product.MedianUs,
                product.P99Us);
    std::printf("%-28s %18.1f %18.1f %18.1f\n", "passes of 1 ms (reference)", reference.WakeupsPerSecond,
                reference.MedianUs, reference.P99Us);
    return 0;
}
