// The reader thread over the simulated device: Wine's HID devices send no reports.
#include "hid/tests/HidTestSupport.h"
#include "hid/tests/SimulatedHidDevice.h"
#include "hid/uiHIDData.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace {

const std::u16string kPath = u"\\\\?\\sim#vid_1d57&pid_0730#1";
const std::u16string kSecondPath = u"\\\\?\\sim#vid_1d57&pid_0730#2";
const std::u16string kDeviceId = u"HID\\VID_1D57&PID_0730";

int ThreadsOfThisProcess()
{
    THandleOwner snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more; more = Thread32Next(snapshot.Get(), &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    return count;
}

// Waits, without pumping, until the main thread has a message waiting: a reader's hand-off.
bool WaitForHandOff()
{
    MSG msg;
    for (int i = 0; i < 5000; ++i) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) return true;
        Sleep(1);
    }
    return false;
}

struct TReceived {
    std::u16string DeviceID;
    std::u16string DevicePath;
    uint8_t ReportID;
    std::vector<uint8_t> Data;
    DWORD Thread;
};

class HidReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application.Initialize();
        // Drop whatever an earlier test left queued for the main thread.
        Application.ProcessMessages();
        HidTest::WriteConfig({});
        SimulatedHid::Reset();
        SimulatedHid::AddDevice(kPath, 8, 24);
        SimulatedHid::AddDevice(kSecondPath, 8, 24);
        Hid = std::make_unique<TuiHIDData>(nullptr, SimulatedHid::Api());
        Hid->OnData.Bind([this](const std::u16string& id, const std::u16string& path, uint8_t reportId, const uint8_t* data,
                                uint16_t size) {
            std::lock_guard lock(Lock);
            Reports.push_back({id, path, reportId, std::vector<uint8_t>(data, data + size), GetCurrentThreadId()});
        });
    }
    void TearDown() override
    {
        Hid.reset();
        EXPECT_EQ(SimulatedHid::OpenHandles(), 0);
        EXPECT_EQ(SimulatedHid::HeldPreparsedData(), 0);
        EXPECT_EQ(SimulatedHid::ClosedWithReadPending(), 0) << "a handle was closed under a pending read";
        SimulatedHid::Reset();
    }

    void StartReader(const std::u16string& APath = kPath)
    {
        TuiHidDeviceReadThread::StartReading(Hid.get(), kDeviceId, APath);
    }
    size_t ReportCount()
    {
        std::lock_guard lock(Lock);
        return Reports.size();
    }
    bool ReadersEnded()
    {
        return HidTest::PumpUntil([&] { return Hid->ReadingDevicePaths().empty(); });
    }

    std::unique_ptr<TuiHIDData> Hid;
    std::mutex Lock;
    std::vector<TReceived> Reports;
};

TEST_F(HidReaderTest, ReportReachesOnDataOnTheMainThread)
{
    StartReader();
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kPath));
    ASSERT_TRUE(SimulatedHid::Send(kPath, {7, 0x04, 0x00, 0x00, 1, 2, 3, 4}));
    ASSERT_TRUE(HidTest::PumpUntil([&] { return ReportCount() == 1; }));
    const TReceived& r = Reports[0];
    EXPECT_EQ(r.DeviceID, kDeviceId);
    EXPECT_EQ(r.DevicePath, kPath);
    EXPECT_EQ(r.ReportID, 7);
    EXPECT_EQ(r.Data, (std::vector<uint8_t>{0x04, 0x00, 0x00, 1, 2, 3, 4}));
    EXPECT_EQ(r.Thread, GetCurrentThreadId());
    // The reader goes on reading.
    EXPECT_TRUE(SimulatedHid::WaitForPendingReads(kPath));
}

TEST_F(HidReaderTest, ShortReportCarriesItsOwnSizeAndFastOnDataStaysOnTheReaderThread)
{
    Hid->SetFastOnData(true);
    StartReader();
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kPath));
    ASSERT_TRUE(SimulatedHid::Send(kPath, {8, 1, 3}));
    // Nothing is pumped: the handler runs on the reader's thread.
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kPath));
    ASSERT_EQ(ReportCount(), 1u);
    EXPECT_EQ(Reports[0].ReportID, 8);
    EXPECT_EQ(Reports[0].Data, (std::vector<uint8_t>{1, 3}));
    EXPECT_NE(Reports[0].Thread, GetCurrentThreadId());
}

TEST_F(HidReaderTest, ReadOfZeroBytesRaisesNothingAndIssuesTheNextRead)
{
    StartReader();
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kPath));
    const int reads = SimulatedHid::ReadsIssued();
    ASSERT_TRUE(SimulatedHid::Send(kPath, {}));
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kPath));
    EXPECT_EQ(SimulatedHid::ReadsIssued(), reads + 1);
    ASSERT_TRUE(SimulatedHid::Send(kPath, {7, 9}));
    ASSERT_TRUE(HidTest::PumpUntil([&] { return ReportCount() == 1; }));
    EXPECT_EQ(Reports[0].Data, std::vector<uint8_t>{9});
}

TEST_F(HidReaderTest, UnplugRaisesDeviceNotConnectedOncePerReaderOnItsThread)
{
    std::mutex lock;
    std::vector<DWORD> threads;
    Hid->OnDeviceNotConnected.Bind([&](const std::u16string& id, const std::u16string& path) {
        EXPECT_EQ(id, kDeviceId);
        EXPECT_EQ(path, kPath);
        std::lock_guard guard(lock);
        threads.push_back(GetCurrentThreadId());
    });
    StartReader();
    StartReader();
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kPath, 2));
    SimulatedHid::Unplug(kPath);
    ASSERT_TRUE(ReadersEnded());
    ASSERT_EQ(threads.size(), 2u);
    EXPECT_NE(threads[0], threads[1]);
    EXPECT_NE(threads[0], GetCurrentThreadId());
    EXPECT_NE(threads[1], GetCurrentThreadId());
    EXPECT_EQ(ReportCount(), 0u);
}

TEST_F(HidReaderTest, ReaderOfADeviceThatCannotBeOpenedEndsWithoutAnyEvent)
{
    std::atomic<int> lost{0};
    Hid->OnDeviceNotConnected.Bind([&](const std::u16string&, const std::u16string&) { ++lost; });
    SimulatedHid::Unplug(kPath);
    StartReader();
    ASSERT_TRUE(ReadersEnded());
    EXPECT_EQ(lost, 0);
}

TEST_F(HidReaderTest, StopWhileWaitingAbandonsTheReadWithoutAnEvent)
{
    std::atomic<int> lost{0};
    Hid->OnDeviceNotConnected.Bind([&](const std::u16string&, const std::u16string&) { ++lost; });
    StartReader();
    StartReader(kSecondPath);
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kPath));
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kSecondPath));
    Hid->HidStopRead();
    ASSERT_TRUE(ReadersEnded());
    EXPECT_EQ(SimulatedHid::OpenHandles(), 0);
    EXPECT_FALSE(SimulatedHid::Send(kPath, {7, 1}));
    HidTest::PumpFor(50);
    EXPECT_EQ(ReportCount(), 0u);
    EXPECT_EQ(lost, 0);
}

TEST_F(HidReaderTest, SignalledReadStopEventEndsEveryReader)
{
    StartReader();
    StartReader(kSecondPath);
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kPath));
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kSecondPath));
    SetEvent(ReadStopEvent());
    ASSERT_TRUE(ReadersEnded());
    ResetEvent(ReadStopEvent());
}

TEST_F(HidReaderTest, StopReachesAReaderBlockedInTheHandOff)
{
    StartReader();
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kPath));
    ASSERT_TRUE(SimulatedHid::Send(kPath, {7, 1}));
    // The reader now waits for the main thread, which does not pump until after the stop.
    ASSERT_TRUE(WaitForHandOff());
    Hid->HidStopRead();
    ASSERT_TRUE(ReadersEnded());
    Application.ProcessMessages();
    EXPECT_EQ(ReportCount(), 0u);
    EXPECT_EQ(SimulatedHid::ReadsIssued(), 1);
}

TEST_F(HidReaderTest, DestructionEndsAReaderBlockedInTheHandOffAndNoEventFollows)
{
    std::atomic<int> delivered{0};
    Hid->OnData.Bind([&](const std::u16string&, const std::u16string&, uint8_t, const uint8_t*, uint16_t) { ++delivered; });
    StartReader();
    StartReader(kSecondPath);
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kPath));
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kSecondPath));
    ASSERT_TRUE(SimulatedHid::Send(kPath, {7, 1}));
    ASSERT_TRUE(WaitForHandOff());
    Hid.reset(); // must not deadlock against the blocked reader
    EXPECT_EQ(SimulatedHid::OpenHandles(), 0);
    EXPECT_EQ(SimulatedHid::HeldPreparsedData(), 0);
    EXPECT_EQ(ReadStopEvent(), nullptr);
    Application.ProcessMessages();
    EXPECT_EQ(delivered, 0);
}

TEST_F(HidReaderTest, HundredStopStartCyclesLeaveNothingBehind)
{
    const int threadsBefore = ThreadsOfThisProcess();
    for (int cycle = 0; cycle < 100; ++cycle) {
        StartReader();
        StartReader(kSecondPath);
        Hid->HidStopRead();
    }
    ASSERT_TRUE(ReadersEnded());
    EXPECT_EQ(SimulatedHid::OpenHandles(), 0);
    EXPECT_EQ(SimulatedHid::HeldPreparsedData(), 0);
    // A reader leaves the list just before its thread ends.
    EXPECT_TRUE(HidTest::PumpUntil([&] { return ThreadsOfThisProcess() <= threadsBefore; }))
        << ThreadsOfThisProcess() << " threads, " << threadsBefore << " before";
}

TEST_F(HidReaderTest, HandlerExceptionIsReportedAndReadingGoesOn)
{
    std::vector<std::u16string> reported;
    Application.OnException.Bind([&](const std::u16string& message) { reported.push_back(message); });
    Hid->OnData.Bind([](const std::u16string&, const std::u16string&, uint8_t, const uint8_t*, uint16_t) {
        throw std::runtime_error("handler failed");
    });
    StartReader();
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kPath));
    ASSERT_TRUE(SimulatedHid::Send(kPath, {7, 1}));
    ASSERT_TRUE(HidTest::PumpUntil([&] { return !reported.empty(); }));
    EXPECT_TRUE(SimulatedHid::WaitForPendingReads(kPath));
    Application.OnException.Clear();
    EXPECT_EQ(reported, std::vector<std::u16string>{u"handler failed"});
}

TEST_F(HidReaderTest, DeviceNotConnectedHandlerExceptionIsReportedOnceAndOnlyThatReaderEnds)
{
    std::mutex lock;
    std::vector<std::u16string> reported;
    // Reported from the reader's thread.
    Application.OnException.Bind([&](const std::u16string& message) {
        std::lock_guard guard(lock);
        reported.push_back(message);
    });
    Hid->OnDeviceNotConnected.Bind([](const std::u16string&, const std::u16string&) {
        throw std::runtime_error("device lost handler failed");
    });
    StartReader();
    StartReader(kSecondPath);
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kPath));
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kSecondPath));
    SimulatedHid::Unplug(kPath);
    ASSERT_TRUE(HidTest::PumpUntil([&] { return Hid->ReadingDevicePaths() == std::vector<std::u16string>{kSecondPath}; }));
    // The other device is still read.
    ASSERT_TRUE(SimulatedHid::Send(kSecondPath, {7, 5}));
    ASSERT_TRUE(HidTest::PumpUntil([&] { return ReportCount() == 1; }));
    Application.OnException.Clear();
    std::lock_guard guard(lock);
    EXPECT_EQ(reported, std::vector<std::u16string>{u"device lost handler failed"});
}

// Reads that complete at once without a report are issued again, paced like a 1 ms polling
// loop instead of as fast as the machine goes (several thousand a second under Wine here).
TEST_F(HidReaderTest, ReadsThatKeepFailingAtOnceAreRepeatedWithoutSpinning)
{
    constexpr DWORD kWatchMs = 1000;
    constexpr int kMostReads = 1500; // a 1 ms pause allows 1000 at most
    std::atomic<int> lost{0};
    Hid->OnDeviceNotConnected.Bind([&](const std::u16string&, const std::u16string&) { ++lost; });
    struct TCase {
        const char* Name;
        DWORD Error;
    };
    const TCase cases[] = {{"0 bytes", 0}, {"general failure", ERROR_GEN_FAILURE}, {"I/O device error", ERROR_IO_DEVICE}};
    StartReader();
    for (const auto& c : cases) {
        ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kPath)) << c.Name;
        const int before = SimulatedHid::ReadsIssued();
        SimulatedHid::CompleteReadsAtOnce(kPath, true, c.Error);
        Sleep(kWatchMs);
        SimulatedHid::CompleteReadsAtOnce(kPath, false);
        const int reads = SimulatedHid::ReadsIssued() - before;
        EXPECT_LE(reads, kMostReads) << c.Name;
        EXPECT_GE(reads, 10) << c.Name << ": the reader must go on reading";
        // Reports come as before.
        ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kPath)) << c.Name;
        const size_t reports = ReportCount();
        ASSERT_TRUE(SimulatedHid::Send(kPath, {7, 1}));
        EXPECT_TRUE(HidTest::PumpUntil([&] { return ReportCount() == reports + 1; })) << c.Name;
    }
    EXPECT_EQ(lost, 0);
}

// The reader asks for a larger input ring on its own handle; a system that refuses it, or lacks
// the function, keeps its default ring and the reader reads and ends as ever.
TEST_F(HidReaderTest, InputRingIsEnlargedOnTheReadersHandleAndARefusalChangesNothingElse)
{
    static const THidApi withoutRing = [] {
        THidApi api = SimulatedHid::Api();
        api.HidD_SetNumInputBuffers = nullptr;
        return api;
    }();
    const struct {
        const char* Name;
        const THidApi* Api;
        bool Refused;
        ULONG Ring;
    } cases[] = {{"accepted", &SimulatedHid::Api(), false, 512},
                 {"refused", &SimulatedHid::Api(), true, 0},
                 {"function missing", &withoutRing, false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::atomic<int> lost{0};
        TuiHIDData hid(nullptr, *c.Api);
        std::vector<std::vector<uint8_t>> reports;
        hid.OnData.Bind([&](const std::u16string&, const std::u16string&, uint8_t id, const uint8_t* data, uint16_t size) {
            std::vector<uint8_t> report{id};
            report.insert(report.end(), data, data + size);
            reports.push_back(report);
        });
        hid.OnDeviceNotConnected.Bind([&](const std::u16string&, const std::u16string&) { ++lost; });
        SimulatedHid::RefuseInputBuffers(c.Refused);
        TuiHidDeviceReadThread::StartReading(&hid, kDeviceId, kPath);
        ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kPath));
        EXPECT_EQ(SimulatedHid::InputBuffersOfPendingRead(kPath), c.Ring);
        for (uint8_t button : {0x01, 0x02}) {
            ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kPath));
            ASSERT_TRUE(SimulatedHid::Send(kPath, {7, button, 0, 0, 0, 0, 0, 0}));
            ASSERT_TRUE(HidTest::PumpUntil([&] { return reports.size() == button; }));
        }
        EXPECT_EQ(reports.back(), (std::vector<uint8_t>{7, 0x02, 0, 0, 0, 0, 0, 0}));
        ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kPath));
        SimulatedHid::Unplug(kPath);
        ASSERT_TRUE(HidTest::PumpUntil([&] { return hid.ReadingDevicePaths().empty(); }));
        EXPECT_EQ(lost, 1);
        SimulatedHid::Reset();
        SimulatedHid::AddDevice(kPath, 8, 24);
        SimulatedHid::AddDevice(kSecondPath, 8, 24);
    }
}

// Bits of the bytes after the report ID are button usages 1, 2, 3, ...
TEST_F(HidReaderTest, ParsedDataReportsTheButtonChange)
{
    Hid->OnData.Clear(); // the change is computed without a raw-data handler too
    std::vector<uint32_t> changes;
    Hid->OnParsedData.Bind([&](const std::u16string& id, const std::u16string&, uint8_t reportId, uint32_t buttons) {
        EXPECT_EQ(id, kDeviceId);
        EXPECT_EQ(reportId, 7);
        changes.push_back(buttons);
    });
    StartReader();
    struct TStep {
        uint8_t Buttons;
        uint32_t Expected;
    };
    const TStep steps[] = {
        {0x00, 0},          // settles the shared previous state
        {0x00, 0},          // no change
        {0x04, 3u << 16},   // none to {3}
        {0x00, 3},          // {3} to none
        {0x01, 1u << 16},   // none to {1}
        {0x02, 1},          // {1} to {2}: only the release is reported
        {0x02, 0},          // no change
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(SimulatedHid::WaitForPendingReads(kPath));
        ASSERT_TRUE(SimulatedHid::Send(kPath, {7, step.Buttons, 0, 0, 0, 0, 0, 0}));
        const size_t before = changes.size();
        ASSERT_TRUE(HidTest::PumpUntil([&] { return changes.size() == before + 1; }));
    }
    ASSERT_EQ(changes.size(), std::size(steps));
    for (size_t i = 1; i < changes.size(); ++i) EXPECT_EQ(changes[i], steps[i].Expected) << "step " << i;
}

TEST_F(HidReaderTest, ParsedDataIsZeroWithoutButtonsAndBeyondTheListSize)
{
    const std::u16string noButtons = u"\\\\?\\sim#nobuttons";
    const std::u16string manyButtons = u"\\\\?\\sim#manybuttons";
    SimulatedHid::AddDevice(noButtons, 4, 0);
    SimulatedHid::AddDevice(manyButtons, 20, 150);
    std::vector<uint32_t> changes;
    Hid->OnParsedData.Bind([&](const std::u16string&, const std::u16string&, uint8_t, uint32_t b) { changes.push_back(b); });
    StartReader(noButtons);
    StartReader(manyButtons);
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(noButtons));
    ASSERT_TRUE(SimulatedHid::Send(noButtons, {1, 0xFF, 0xFF, 0xFF}));
    ASSERT_TRUE(HidTest::PumpUntil([&] { return changes.size() == 1; }));
    // 150 buttons down do not fit the 100-entry lists: no change, and nothing written past them.
    ASSERT_TRUE(SimulatedHid::WaitForPendingReads(manyButtons));
    std::vector<uint8_t> report(20, 0xFF);
    ASSERT_TRUE(SimulatedHid::Send(manyButtons, report));
    ASSERT_TRUE(HidTest::PumpUntil([&] { return changes.size() == 2; }));
    EXPECT_EQ(changes, (std::vector<uint32_t>{0, 0}));
    Hid->HidStopRead();
    ASSERT_TRUE(ReadersEnded());
}

} // namespace
