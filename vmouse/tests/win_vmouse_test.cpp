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
    PumpFor(100);
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

} // namespace
