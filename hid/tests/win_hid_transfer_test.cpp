// The finder's transfers and its hand-over to readers, over simulated devices with their own
// device list: Wine's devices have no output or feature reports.
#include "hid/tests/HidTestSupport.h"
#include "hid/tests/SimulatedHidDevice.h"
#include "hid/uiHIDData.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using TBytes = std::vector<uint8_t>;

const std::u16string kFirst = u"\\\\?\\sim#transfer#1";
const std::u16string kSecond = u"\\\\?\\sim#transfer#2";

class HidTransferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application.Initialize();
        HidTest::WriteConfig({});
        SimulatedHid::Reset();
        Param = std::make_unique<THIDDataParam>();
        Param->UsageAndPage = SimulatedHid::kCollection;
    }
    void TearDown() override
    {
        Hid.reset();
        EXPECT_EQ(SimulatedHid::OpenHandles(), 0);
        EXPECT_EQ(SimulatedHid::HeldPreparsedData(), 0);
        SimulatedHid::Reset();
    }

    static SimulatedHid::TDeviceModel Device(const std::u16string& APath, uint16_t AOutput, uint16_t AFeature)
    {
        SimulatedHid::TDeviceModel model;
        model.Path = APath;
        model.OutputReportLength = AOutput;
        model.FeatureReportLength = AFeature;
        return model;
    }
    void CreateComponent() { Hid = std::make_unique<TuiHIDData>(nullptr, SimulatedHid::WalkApi()); }
    void SetReport(std::initializer_list<uint8_t> ABytes, uint32_t ASize)
    {
        std::copy(ABytes.begin(), ABytes.end(), &Param->Data.ReportID);
        Param->Data.DATASIZE = ASize;
    }

    std::unique_ptr<TuiHIDData> Hid;
    std::unique_ptr<THIDDataParam> Param;
};

TEST_F(HidTransferTest, WritesSendOneByteMoreThanTheSizeOrTheSizeItself)
{
    SimulatedHid::AddDevice(Device(kFirst, 4, 0));
    CreateComponent();
    SetReport({2, 10, 11, 12, 13}, 4); // the size equals the output report length
    EXPECT_TRUE(Hid->HidFindAndWriteDevice(*Param));
    EXPECT_TRUE(Hid->HidFindAndWriteDeviceBYHID(*Param));
    EXPECT_EQ(SimulatedHid::Writes(kFirst), (std::vector<TBytes>{{2, 10, 11, 12, 13}, {2, 10, 11, 12}}));
    Param->Data.DATASIZE = 5; // longer than the output report
    EXPECT_FALSE(Hid->HidFindAndWriteDevice(*Param));
    EXPECT_FALSE(Hid->HidFindAndWriteDeviceBYHID(*Param));
    EXPECT_EQ(SimulatedHid::Writes(kFirst).size(), 2u);
}

TEST_F(HidTransferTest, WritesReachEveryMatchingInterfaceOfTheFilter)
{
    auto other = Device(kSecond, 4, 0);
    other.HardwareIds = {u"HID\\VID_0001&PID_0002"};
    SimulatedHid::AddDevice(Device(kFirst, 4, 0));
    SimulatedHid::AddDevice(other);
    CreateComponent();
    SetReport({1, 5}, 1);
    Param->DeviceID = u"hid\\vid_1d57&pid_0730";
    EXPECT_TRUE(Hid->HidFindAndWriteDevice(*Param));
    EXPECT_EQ(SimulatedHid::Writes(kFirst).size(), 1u);
    EXPECT_TRUE(SimulatedHid::Writes(kSecond).empty());
    // Matched by usage page and usage alone.
    EXPECT_TRUE(Hid->HidFindAndWriteDeviceBYHID(*Param));
    EXPECT_EQ(SimulatedHid::Writes(kSecond).size(), 1u);
}

TEST_F(HidTransferTest, FeatureReadReturnsTheLastMatchingInterfacesReport)
{
    auto first = Device(kFirst, 0, 3);
    first.Feature = {4, 0xA1, 0xA2};
    auto second = Device(kSecond, 0, 3);
    second.Feature = {4, 0xB1, 0xB2};
    SimulatedHid::AddDevice(first);
    SimulatedHid::AddDevice(second);
    CreateComponent();
    SetReport({4, 0, 0, 0x77}, 3);
    EXPECT_EQ(Hid->HidFindAndGetFeatureReport(*Param), 0u);
    EXPECT_EQ(TBytes(&Param->Data.ReportID, &Param->Data.ReportID + 4), (TBytes{4, 0xB1, 0xB2, 0x77}));
}

TEST_F(HidTransferTest, FailedFeatureTransfersReportTheirErrorAndNeverZero)
{
    struct TCase {
        const char* Name;
        DWORD LastError;
        uint32_t Expected;
    };
    const TCase cases[] = {
        {"device error", ERROR_CRC, ERROR_CRC},
        {"failure without a last error", 0, ERROR_GEN_FAILURE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        SimulatedHid::Reset();
        auto model = Device(kFirst, 0, 3);
        model.Feature = {4, 1, 2};
        model.FeatureFails = true;
        model.FeatureError = c.LastError;
        SimulatedHid::AddDevice(model);
        CreateComponent();
        SetReport({4, 0x55, 0x66}, 3);
        EXPECT_EQ(Hid->HidFindAndGetFeatureReport(*Param), c.Expected);
        EXPECT_EQ(TBytes(&Param->Data.ReportID, &Param->Data.ReportID + 3), (TBytes{4, 0x55, 0x66}));
        EXPECT_EQ(Hid->HidFindAndSetFeatureReport(*Param), c.Expected);
    }
}

TEST_F(HidTransferTest, FeatureWriteSendsTheWholeTransferAndKeepsTheHandleItUsed)
{
    SimulatedHid::AddDevice(Device(kFirst, 0, 3));
    CreateComponent();
    SetReport({6, 1, 2, 3}, 3);
    EXPECT_EQ(Hid->HidFindAndSetFeatureReport(*Param), 0u);
    EXPECT_EQ(SimulatedHid::FeaturesSet(kFirst), std::vector<TBytes>{TBytes({6, 1, 2})});
    EXPECT_NE(Param->DeviceHandle, nullptr);
    Param->Data.DATASIZE = 4;
    EXPECT_EQ(Hid->HidFindAndSetFeatureReport(*Param), static_cast<uint32_t>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_EQ(SimulatedHid::FeaturesSet(kFirst).size(), 1u);
}

TEST_F(HidTransferTest, ReaderGetsTheFirstHardwareIdOrNoneAsItsDeviceId)
{
    auto withIds = Device(kFirst, 0, 0);
    withIds.HardwareIds = {u"HID\\VID_1D57&PID_0730&MI_01", u"HID\\VID_1D57&PID_0730"};
    auto withoutIds = Device(kSecond, 0, 0);
    withoutIds.HardwareIds = {};
    SimulatedHid::AddDevice(withIds);
    SimulatedHid::AddDevice(withoutIds);
    CreateComponent();
    std::vector<std::pair<std::u16string, std::u16string>> received;
    Hid->OnData.Bind([&](const std::u16string& id, const std::u16string& path, uint8_t, const uint8_t*, uint16_t) {
        received.emplace_back(path, id);
    });
    Hid->HidFindAndReadDevice(SimulatedHid::kCollection, u"*");
    for (const auto& path : {kFirst, kSecond}) {
        ASSERT_TRUE(SimulatedHid::WaitForPendingReads(path));
        ASSERT_TRUE(SimulatedHid::Send(path, {7, 1}));
        const size_t before = received.size();
        ASSERT_TRUE(HidTest::PumpUntil([&] { return received.size() == before + 1; }));
    }
    EXPECT_EQ(received, (std::vector<std::pair<std::u16string, std::u16string>>{
                            {kFirst, u"HID\\VID_1D57&PID_0730&MI_01"}, {kSecond, u""}}));
    Hid->HidStopRead();
}

} // namespace
