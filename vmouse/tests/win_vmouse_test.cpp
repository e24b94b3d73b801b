// The HID component and the arrival notifier over the virtual mouse, through the system's own
// SetupAPI, HID class driver and HID.dll: the device side of the monitor without the monitor.
#include "framework/core/Text.h"
#include "framework/tests/MessagePump.h"
#include "framework/win/Application.h"
#include "framework/win/FileSystem.h"
#include "framework/win/WinText.h"
#include "hid/uiHIDData.h"
#include "hid/uiHIDEvent.h"
#include "vmouse/VirtualMouse.h"

#include <gtest/gtest.h>
#include <winioctl.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr USAGE_AND_PAGE kVendorCollection{0x0001, 0xFFA0};
constexpr USAGE_AND_PAGE kMouseCollection{0x0002, 0x0001};

bool Contains(const std::u16string& AText, const std::u16string& APart)
{
    std::u16string text = AText;
    std::transform(text.begin(), text.end(), text.begin(), [](char16_t c) { return c >= u'A' && c <= u'Z' ? c + 32 : c; });
    return text.find(APart) != std::u16string::npos;
}

struct TReport {
    uint8_t ReportID;
    std::vector<uint8_t> Data;
    std::u16string DeviceID;
};

class VirtualMouseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application.Initialize();
        ASSERT_EQ(Mouse.Install(), 0u) << Message();
        ASSERT_EQ(Mouse.Unplug(), 0u) << Message();
        ASSERT_EQ(Mouse.Plug(), 0u) << Message();
        Hid = std::make_unique<TuiHIDData>(nullptr);
        Hid->OnData.Bind([this](const std::u16string& id, const std::u16string&, uint8_t reportId, const uint8_t* data,
                                uint16_t size) { Reports.push_back({reportId, std::vector<uint8_t>(data, data + size), id}); });
        Hid->OnDeviceNotConnected.Bind([this](const std::u16string&, const std::u16string&) { ++Lost; });
    }
    void TearDown() override
    {
        Hid.reset();
        Mouse.Unplug();
    }

    // Reads start on the vendor collection; true once its reader has opened the device. The
    // system may list the collection's interface a moment after its device started.
    bool StartReading()
    {
        return PumpUntil(
            [&] {
                if (Hid->ReadingDevicePaths().empty()) Hid->HidFindAndReadDevice(kVendorCollection, u"*");
                return Hid->ReadingDevicePaths().size() == 1;
            },
            10000);
    }

    bool WaitForReports(size_t ACount)
    {
        return PumpUntil([&] { return Reports.size() >= ACount; }, 10000);
    }

    std::string Message() const { return Utf8FromUtf16(U(Mouse.Message().c_str())); }

    TVirtualMouse Mouse{std::wstring(W(ProgramFolder())) + L"qelvmouse.inf"};
    std::unique_ptr<TuiHIDData> Hid;
    std::vector<TReport> Reports;
    std::atomic<int> Lost{0};
};

TEST_F(VirtualMouseTest, TheVendorSearchFindsTheVendorCollectionAndNotTheMouseCollection)
{
    ASSERT_TRUE(StartReading());
    const auto paths = Hid->ReadingDevicePaths();
    EXPECT_TRUE(Contains(paths[0], u"vid_1209&pid_0007&col01")) << Utf8FromUtf16(paths[0]);
    // The driver sees the reader's read waiting on the vendor collection, and none on the other.
    QELVM_STATUS status{};
    ASSERT_TRUE(PumpUntil([&] { return Mouse.Status(status) == 0 && status.VendorReadsWaiting == 1; }));
    EXPECT_EQ(status.MouseReadsWaiting, 0u);

    // The standard mouse collection is there, beside it, as a HID interface of its own (the
    // system may list it a moment after its device started).
    THIDDataParam mouse;
    mouse.UsageAndPage = kMouseCollection;
    mouse.DeviceID = u"HID\\VID_1209&PID_0007&COL02";
    EXPECT_TRUE(PumpUntil([&] { return Hid->IsDeviceExist(mouse); }));
    THIDDataParam vendor;
    vendor.UsageAndPage = kVendorCollection;
    vendor.DeviceID = u"HID\\VID_1209&PID_0007&COL02";
    EXPECT_FALSE(Hid->IsDeviceExist(vendor));
}

TEST_F(VirtualMouseTest, ReportsSentByTheControlProgramReachOnDataInOrder)
{
    ASSERT_TRUE(StartReading());
    // The class driver drops reports while no handle is open: the reader has one now.
    const std::vector<std::vector<uint8_t>> sent{TVirtualMouse::ButtonReport(2), TVirtualMouse::ProfileReport(3),
                                                 TVirtualMouse::ButtonReport(23), {7, 0x06, 0, 0, 0xAA, 0xBB, 0xCC, 0xDD}};
    for (const auto& report : sent) ASSERT_EQ(Mouse.Send(report), 0u) << Message();
    ASSERT_TRUE(WaitForReports(sent.size()));
    ASSERT_EQ(Reports.size(), sent.size());
    for (size_t i = 0; i < sent.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Reports[i].ReportID, sent[i][0]);
        EXPECT_EQ(Reports[i].Data, std::vector<uint8_t>(sent[i].begin() + 1, sent[i].end()));
        EXPECT_EQ(Reports[i].DeviceID, u"HID\\VID_1209&PID_0007&COL01\\0000");
    }
}

TEST_F(VirtualMouseTest, FeatureAndOutputReportsReachTheDeviceAndItsFeatureAnswerComesBack)
{
    THIDDataParam feature;
    feature.UsageAndPage = kVendorCollection;
    feature.Data.ReportID = QELVM_FEATURE_REPORT_ID;
    feature.Data.DATAReally[0] = 0x11;
    feature.Data.DATAReally[62] = 0x22;
    feature.Data.DATASIZE = QELVM_FEATURE_LENGTH;
    ASSERT_EQ(Hid->HidFindAndSetFeatureReport(feature), 0u);
    QELVM_HOST_REPORT host{};
    ASSERT_EQ(Mouse.LastHostReport(host), 0u);
    EXPECT_EQ(host.Kind, static_cast<unsigned long>(QELVM_HOST_FEATURE));
    ASSERT_EQ(host.Length, static_cast<unsigned long>(QELVM_FEATURE_LENGTH));
    EXPECT_EQ(host.Data[0], QELVM_FEATURE_REPORT_ID);
    EXPECT_EQ(host.Data[1], 0x11);
    EXPECT_EQ(host.Data[63], 0x22);

    std::vector<uint8_t> answer(QELVM_FEATURE_LENGTH, 0);
    answer[0] = QELVM_FEATURE_REPORT_ID;
    answer[1] = 0x5A;
    answer[63] = 0xA5;
    ASSERT_EQ(Mouse.SetFeatureAnswer(answer), 0u);
    THIDDataParam get;
    get.UsageAndPage = kVendorCollection;
    get.Data.ReportID = QELVM_FEATURE_REPORT_ID;
    get.Data.DATASIZE = QELVM_FEATURE_LENGTH;
    ASSERT_EQ(Hid->HidFindAndGetFeatureReport(get), 0u);
    EXPECT_EQ(get.Data.ReportID, QELVM_FEATURE_REPORT_ID);
    EXPECT_EQ(get.Data.DATAReally[0], 0x5A);
    EXPECT_EQ(get.Data.DATAReally[62], 0xA5);

    // HidFindAndWriteDevice sends DATASIZE bytes after the report ID.
    THIDDataParam output;
    output.UsageAndPage = kVendorCollection;
    output.Data.ReportID = QELVM_OUTPUT_REPORT_ID;
    output.Data.DATAReally[0] = 0x33;
    output.Data.DATAReally[62] = 0x44;
    output.Data.DATASIZE = QELVM_OUTPUT_LENGTH - 1;
    ASSERT_TRUE(Hid->HidFindAndWriteDevice(output));
    ASSERT_EQ(Mouse.LastHostReport(host), 0u);
    EXPECT_EQ(host.Kind, static_cast<unsigned long>(QELVM_HOST_OUTPUT));
    ASSERT_EQ(host.Length, static_cast<unsigned long>(QELVM_OUTPUT_LENGTH));
    EXPECT_EQ(host.Data[0], QELVM_OUTPUT_REPORT_ID);
    EXPECT_EQ(host.Data[1], 0x33);
    EXPECT_EQ(host.Data[63], 0x44);

    // Longer than the device's reports: the length test passes over the collection.
    feature.Data.DATASIZE = QELVM_FEATURE_LENGTH + 1;
    EXPECT_EQ(Hid->HidFindAndSetFeatureReport(feature), static_cast<uint32_t>(ERROR_DEVICE_NOT_CONNECTED));
    output.Data.DATASIZE = QELVM_OUTPUT_LENGTH + 1;
    EXPECT_FALSE(Hid->HidFindAndWriteDevice(output));
}

TEST_F(VirtualMouseTest, UnpluggingEndsTheReaderOnceAndPluggingInAgainReadsAgain)
{
    ASSERT_TRUE(StartReading());
    ASSERT_EQ(Mouse.Unplug(), 0u) << Message();
    ASSERT_TRUE(PumpUntil([&] { return Hid->ReadingDevicePaths().empty(); }, 10000));
    EXPECT_EQ(Lost.load(), 1);

    ASSERT_EQ(Mouse.Plug(), 0u) << Message();
    ASSERT_TRUE(StartReading());
    ASSERT_EQ(Mouse.Send(TVirtualMouse::ButtonReport(5)), 0u);
    ASSERT_TRUE(WaitForReports(1));
    EXPECT_EQ(Reports[0].Data[0], 0x20);
    EXPECT_EQ(Lost.load(), 1);
}

TEST_F(VirtualMouseTest, StopReadEndsAWaitingReaderWithoutAnEvent)
{
    ASSERT_TRUE(StartReading());
    // The reader's read waits in the driver: the stop ends a waiting read, not one still on its way.
    QELVM_STATUS status{};
    ASSERT_TRUE(PumpUntil([&] { return Mouse.Status(status) == 0 && status.VendorReadsWaiting == 1; }));
    Hid->HidStopRead();
    ASSERT_TRUE(PumpUntil([&] { return Hid->ReadingDevicePaths().empty(); }, 10000));
    EXPECT_EQ(Lost.load(), 0);
    EXPECT_TRUE(Reports.empty());
    // The device is still there and reads again.
    ASSERT_TRUE(StartReading());
    ASSERT_EQ(Mouse.Send(TVirtualMouse::ProfileReport(1)), 0u);
    ASSERT_TRUE(WaitForReports(1));
}

TEST_F(VirtualMouseTest, TheArrivalNotifierHearsEachCollectionArriveAndGo)
{
    int arrivals = 0, removals = 0;
    TuiHIDEvent notifier(nullptr);
    notifier.OnDeviceArrival.Bind([&](TuiHIDEvent*) { ++arrivals; });
    notifier.OnDeviceRemove.Bind([&](TuiHIDEvent*) { ++removals; });
    // The notifier's own arrival, 1.5 s after it was made.
    ASSERT_TRUE(PumpUntil([&] { return arrivals == 1; }, 5000));

    ASSERT_EQ(Mouse.Unplug(), 0u);
    ASSERT_TRUE(PumpUntil([&] { return removals >= 2; }, 5000));
    ASSERT_EQ(Mouse.Plug(), 0u);
    // One arrival per collection interface: the vendor and the mouse collection.
    ASSERT_TRUE(PumpUntil([&] { return arrivals >= 3; }, 5000));
    PumpFor(300);
    EXPECT_EQ(arrivals, 3);
    EXPECT_EQ(removals, 2);
}

// --- the driver's own answers ------------------------------------------------------------------

// The driver's control device, opened as any program may open it.
struct TControlDevice {
    THandleOwner Handle{CreateFileW(QELVM_CONTROL_PATH, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr)};
    // 0 or the request's error code.
    DWORD Request(DWORD ACode, const void* AIn, DWORD AInSize, void* AOut = nullptr, DWORD AOutSize = 0)
    {
        DWORD returned = 0;
        return DeviceIoControl(Handle.Get(), ACode, const_cast<void*>(AIn), AInSize, AOut, AOutSize, &returned, nullptr)
                   ? 0
                   : GetLastError();
    }
};

std::vector<uint8_t> NumberedReport(unsigned ANumber)
{
    return {QELVM_BUTTON_REPORT_ID, static_cast<uint8_t>(ANumber), static_cast<uint8_t>(ANumber >> 8), 0, 0, 0, 0, 0};
}

unsigned NumberOf(const TReport& AReport) { return AReport.Data[0] | AReport.Data[1] << 8; }

TEST_F(VirtualMouseTest, TheControlDeviceAnswersEveryKindOfRequestItself)
{
    TControlDevice control;
    ASSERT_TRUE(control.Handle) << GetLastError();
    uint8_t buffer[QELVM_MAX_REPORT] = {QELVM_BUTTON_REPORT_ID};
    DWORD done = 0;
    SetLastError(0);
    EXPECT_FALSE(WriteFile(control.Handle.Get(), buffer, QELVM_INPUT_LENGTH, &done, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION)) << "write";
    SetLastError(0);
    EXPECT_FALSE(ReadFile(control.Handle.Get(), buffer, sizeof(buffer), &done, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION)) << "read";
    SetLastError(0);
    EXPECT_FALSE(FlushFileBuffers(control.Handle.Get()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION)) << "flush";
    // A request of the driver's own kind that it does not know, and one of the HID class driver's.
    EXPECT_EQ(control.Request(QELVM_CTL(99), nullptr, 0), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
    EXPECT_EQ(control.Request(CTL_CODE(FILE_DEVICE_KEYBOARD, 100, METHOD_OUT_DIRECT, FILE_ANY_ACCESS), nullptr, 0, buffer,
                              sizeof(buffer)),
              static_cast<DWORD>(ERROR_INVALID_FUNCTION));
    // The driver still answers, and its devices still read.
    QELVM_STATUS status{};
    ASSERT_EQ(control.Request(IOCTL_QELVM_STATUS, nullptr, 0, &status, sizeof(status)), 0u);
    EXPECT_EQ(status.VendorCollections, 1u);
    ASSERT_TRUE(StartReading());
    ASSERT_EQ(Mouse.Send(TVirtualMouse::ButtonReport(1)), 0u) << Message();
    EXPECT_TRUE(WaitForReports(1));
}

TEST_F(VirtualMouseTest, MalformedControlRequestsAreRefusedAndChangeNothing)
{
    TControlDevice control;
    ASSERT_TRUE(control.Handle) << GetLastError();
    ASSERT_TRUE(StartReading());
    std::vector<uint8_t> feature(QELVM_FEATURE_LENGTH, 0);
    feature[0] = QELVM_FEATURE_REPORT_ID;
    feature[1] = 0x77;
    ASSERT_EQ(Mouse.SetFeatureAnswer(feature), 0u) << Message();

    QELVM_SEND_RESULT sent{};
    QELVM_HOST_REPORT host{};
    QELVM_STATUS status{};
    const std::vector<uint8_t> tooLong(QELVM_MAX_REPORT + 1, QELVM_FEATURE_REPORT_ID);
    std::vector<uint8_t> wrongFeature = feature;
    wrongFeature[0] = QELVM_OUTPUT_REPORT_ID;
    struct TCase {
        const char* What;
        DWORD Code;
        std::vector<uint8_t> In;
        void* Out;
        DWORD OutSize;
        DWORD Error;
    } cases[] = {
        {"an empty report", IOCTL_QELVM_SEND_INPUT, {}, &sent, sizeof(sent), ERROR_INVALID_PARAMETER},
        {"a button report a byte short", IOCTL_QELVM_SEND_INPUT, {7, 1, 0, 0, 0, 0, 0}, &sent, sizeof(sent), ERROR_INVALID_PARAMETER},
        {"a button report a byte long", IOCTL_QELVM_SEND_INPUT, {7, 1, 0, 0, 0, 0, 0, 0, 0}, &sent, sizeof(sent), ERROR_INVALID_PARAMETER},
        {"a report ID the collection lacks", IOCTL_QELVM_SEND_INPUT, {9, 1, 0, 0, 0, 0, 0, 0}, &sent, sizeof(sent), ERROR_INVALID_PARAMETER},
        {"the mouse collection's report", IOCTL_QELVM_SEND_INPUT, {1, 1, 0, 0}, &sent, sizeof(sent), ERROR_INVALID_PARAMETER},
        {"the feature report as input", IOCTL_QELVM_SEND_INPUT, feature, &sent, sizeof(sent), ERROR_INVALID_PARAMETER},
        {"no room for the result", IOCTL_QELVM_SEND_INPUT, NumberedReport(1), &sent, sizeof(sent) - 1, ERROR_INVALID_PARAMETER},
        {"no room for the host's report", IOCTL_QELVM_LAST_HOST_REPORT, {}, &host, sizeof(host) - 1, ERROR_INSUFFICIENT_BUFFER},
        {"an empty feature answer", IOCTL_QELVM_SET_FEATURE_ANSWER, {}, nullptr, 0, ERROR_INVALID_PARAMETER},
        {"a feature answer of another report", IOCTL_QELVM_SET_FEATURE_ANSWER, wrongFeature, nullptr, 0, ERROR_INVALID_PARAMETER},
        {"a feature answer too long", IOCTL_QELVM_SET_FEATURE_ANSWER, tooLong, nullptr, 0, ERROR_INVALID_PARAMETER},
        {"no room for the status", IOCTL_QELVM_STATUS, {}, &status, sizeof(status) - 1, ERROR_INSUFFICIENT_BUFFER},
        {"a hold without its value", IOCTL_QELVM_HOLD_REPORTS, {}, nullptr, 0, ERROR_INVALID_PARAMETER},
        {"a hold of the wrong size", IOCTL_QELVM_HOLD_REPORTS, {1, 0}, nullptr, 0, ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases)
        EXPECT_EQ(control.Request(c.Code, c.In.data(), static_cast<DWORD>(c.In.size()), c.Out, c.OutSize), c.Error) << c.What;

    // The program's own check says what was wrong, and nothing reached the host.
    EXPECT_EQ(Mouse.Send({QELVM_PROFILE_REPORT_ID, 1, 2}), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_NE(Mouse.Message().find(L"no such input report"), std::wstring::npos) << Message();
    EXPECT_EQ(Mouse.Message().find(L"report sent"), std::wstring::npos);
    ASSERT_EQ(control.Request(IOCTL_QELVM_SEND_INPUT, NumberedReport(42).data(), QELVM_INPUT_LENGTH, &sent, sizeof(sent)), 0u);
    EXPECT_EQ(sent.Delivered, 1u);
    ASSERT_TRUE(WaitForReports(1));
    EXPECT_EQ(NumberOf(Reports[0]), 42u);
    // The feature answer is still the one set before.
    THIDDataParam get;
    get.UsageAndPage = kVendorCollection;
    get.Data.ReportID = QELVM_FEATURE_REPORT_ID;
    get.Data.DATASIZE = QELVM_FEATURE_LENGTH;
    ASSERT_EQ(Hid->HidFindAndGetFeatureReport(get), 0u);
    EXPECT_EQ(get.Data.DATAReally[0], 0x77);
}

TEST_F(VirtualMouseTest, AReportWithNothingPluggedInIsRefused)
{
    TControlDevice control; // keeps the driver's control device open across the unplug
    ASSERT_TRUE(control.Handle) << GetLastError();
    ASSERT_EQ(Mouse.Unplug(), 0u) << Message();
    const DWORD error = Mouse.Send(TVirtualMouse::ButtonReport(3));
    EXPECT_TRUE(error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_FILE_NOT_FOUND) << error;
    EXPECT_EQ(Message(), "the virtual mouse is not plugged in");
    QELVM_SEND_RESULT sent{99, 99};
    const DWORD raw = control.Request(IOCTL_QELVM_SEND_INPUT, NumberedReport(1).data(), QELVM_INPUT_LENGTH, &sent, sizeof(sent));
    EXPECT_NE(raw, 0u);
}

TEST_F(VirtualMouseTest, AFullQueueRefusesTheNextReportAndHandsTheQueuedOnesOnInOrder)
{
    ASSERT_TRUE(StartReading());
    QELVM_STATUS status{};
    ASSERT_TRUE(PumpUntil([&] { return Mouse.Status(status) == 0 && status.VendorReadsWaiting == 1; }));
    ASSERT_EQ(Mouse.HoldReports(true), 0u) << Message();
    for (unsigned i = 0; i < QELVM_QUEUE_LENGTH; ++i) ASSERT_EQ(Mouse.Send(NumberedReport(i)), 0u) << i << ": " << Message();
    ASSERT_EQ(Mouse.Status(status), 0u);
    EXPECT_EQ(status.ReportsQueued, static_cast<unsigned long>(QELVM_QUEUE_LENGTH));
    EXPECT_EQ(Mouse.Send(NumberedReport(0xFFFF)), static_cast<DWORD>(ERROR_BUSY));
    EXPECT_EQ(Message(), "the device's report queue is full: the report was dropped");
    TControlDevice control;
    QELVM_SEND_RESULT sent{};
    EXPECT_EQ(control.Request(IOCTL_QELVM_SEND_INPUT, NumberedReport(0xFFFF).data(), QELVM_INPUT_LENGTH, &sent, sizeof(sent)),
              static_cast<DWORD>(ERROR_BUSY));
    EXPECT_EQ(sent.Delivered, 0u);
    EXPECT_EQ(sent.Dropped, 1u);
    // Nothing reached the host while held.
    PumpFor(200);
    EXPECT_TRUE(Reports.empty());

    ASSERT_EQ(Mouse.HoldReports(false), 0u) << Message();
    ASSERT_TRUE(PumpUntil([&] { return Mouse.Status(status) == 0 && status.ReportsQueued == 0; }, 10000));
    // The class driver keeps a few reports per reader and lets older ones go when the reader lags:
    // what arrives is in order, ends with the last queued report and never holds a refused one.
    ASSERT_TRUE(PumpUntil([&] { return !Reports.empty() && NumberOf(Reports.back()) == QELVM_QUEUE_LENGTH - 1; }, 10000));
    for (size_t i = 1; i < Reports.size(); ++i) EXPECT_LT(NumberOf(Reports[i - 1]), NumberOf(Reports[i])) << i;
    // Room again.
    ASSERT_EQ(Mouse.Send(NumberedReport(1000)), 0u) << Message();
    ASSERT_TRUE(PumpUntil([&] { return NumberOf(Reports.back()) == 1000; }, 10000));
    for (const auto& report : Reports) EXPECT_NE(NumberOf(report), 0xFFFFu);
}

TEST_F(VirtualMouseTest, TheOneDeviceModeReadsCountsAndEndsLikeTheVendorCollection)
{
    ASSERT_EQ(Mouse.Unplug(), 0u) << Message();
    ASSERT_EQ(Mouse.Plug(true), 0u) << Message();
    QELVM_STATUS status{};
    ASSERT_EQ(Mouse.Status(status), 0u);
    EXPECT_EQ(status.VendorCollections, 1u);
    EXPECT_EQ(status.MouseCollections, 1u);
    const unsigned long issued = status.VendorReadsIssued;
    ASSERT_TRUE(StartReading());
    EXPECT_TRUE(Contains(Hid->ReadingDevicePaths()[0], u"vid_1209&pid_0007#")) << Utf8FromUtf16(Hid->ReadingDevicePaths()[0]);
    ASSERT_TRUE(PumpUntil([&] { return Mouse.Status(status) == 0 && status.VendorReadsWaiting == 1; }))
        << "reads waiting: vendor " << status.VendorReadsWaiting << ", mouse " << status.MouseReadsWaiting;
    EXPECT_EQ(status.MouseReadsWaiting, 0u);
    EXPECT_GT(status.VendorReadsIssued, issued);
    ASSERT_EQ(Mouse.Send(TVirtualMouse::ProfileReport(2)), 0u) << Message();
    ASSERT_TRUE(WaitForReports(1));
    EXPECT_EQ(Reports[0].ReportID, QELVM_PROFILE_REPORT_ID);
    EXPECT_EQ(Reports[0].DeviceID, u"HID\\VID_1209&PID_0007\\0000");
    ASSERT_EQ(Mouse.Unplug(), 0u) << Message();
    ASSERT_TRUE(PumpUntil([&] { return Hid->ReadingDevicePaths().empty(); }, 10000));
    EXPECT_EQ(Lost.load(), 1);
}

// Reads of a program of its own on the vendor collection, each cancelled at once: every cancel
// ends its read, and none is left waiting in the driver.
TEST_F(VirtualMouseTest, EveryCancelledReadEndsAndNoneStaysInTheDriver)
{
    ASSERT_TRUE(StartReading());
    const std::u16string path = Hid->ReadingDevicePaths()[0];
    Hid->HidStopRead();
    ASSERT_TRUE(PumpUntil([&] { return Hid->ReadingDevicePaths().empty(); }, 10000));
    QELVM_STATUS status{};
    ASSERT_TRUE(PumpUntil([&] { return Mouse.Status(status) == 0 && status.VendorReadsWaiting == 0; }));
    THandleOwner device(CreateFileW(W(path.c_str()), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    ASSERT_TRUE(device) << GetLastError();
    THandleOwner event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    for (int round = 0; round < 100; ++round) {
        SCOPED_TRACE(round);
        uint8_t report[QELVM_INPUT_LENGTH]{};
        OVERLAPPED overlapped{};
        overlapped.hEvent = event.Get();
        ResetEvent(event.Get());
        if (ReadFile(device.Get(), report, sizeof(report), nullptr, &overlapped)) FAIL() << "a read ended with no report sent";
        ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
        CancelIoEx(device.Get(), &overlapped);
        ASSERT_EQ(WaitForSingleObject(event.Get(), 10000), WAIT_OBJECT_0) << "the cancel was lost";
        DWORD got = 0;
        EXPECT_FALSE(GetOverlappedResult(device.Get(), &overlapped, &got, FALSE));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OPERATION_ABORTED));
    }
    ASSERT_TRUE(PumpUntil([&] { return Mouse.Status(status) == 0 && status.VendorReadsWaiting == 0; }))
        << status.VendorReadsWaiting << " reads still wait";
    // The device still reads.
    uint8_t report[QELVM_INPUT_LENGTH]{};
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.Get();
    ResetEvent(event.Get());
    ReadFile(device.Get(), report, sizeof(report), nullptr, &overlapped);
    ASSERT_TRUE(PumpUntil([&] { return Mouse.Status(status) == 0 && status.VendorReadsWaiting == 1; }));
    ASSERT_EQ(Mouse.Send(NumberedReport(7)), 0u) << Message();
    ASSERT_EQ(WaitForSingleObject(event.Get(), 10000), WAIT_OBJECT_0);
    DWORD got = 0;
    ASSERT_TRUE(GetOverlappedResult(device.Get(), &overlapped, &got, FALSE));
    EXPECT_EQ(got, static_cast<DWORD>(QELVM_INPUT_LENGTH));
    EXPECT_EQ(report[1], 7);
}

} // namespace
