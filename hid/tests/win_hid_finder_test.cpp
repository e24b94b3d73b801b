// The device walk against Wine's own HID stack: a virtual mouse (usage page 1, usage 2) and a
// virtual keyboard (usage 6), hardware IDs "HID\VID_845E&PID_0001" and "...PID_0002".
#include "hid/tests/HidTestSupport.h"
#include "hid/uiHIDData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

constexpr USAGE_AND_PAGE kWineMouse{0x0002, 0x0001};
constexpr USAGE_AND_PAGE kWineKeyboard{0x0006, 0x0001};
constexpr USAGE_AND_PAGE kNoSuchCollection{0x0001, 0xFFA0};

class HidFinderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application.Initialize();
        HidTest::WriteConfig({});
    }
    void TearDown() override { HidTest::WriteConfig({}); }

    static std::vector<std::string> Configured(const std::vector<std::string>& AIds)
    {
        std::vector<std::string> lines{"[IncludeHIDDeviceList]"};
        for (size_t i = 0; i < AIds.size(); ++i) lines.push_back("id" + std::to_string(i + 1) + "=" + AIds[i]);
        return lines;
    }

    // The products ("pid_0001", ...) whose interfaces got a reader; stops them again.
    static std::vector<std::string> ReadersStarted(TuiHIDData& AHid, USAGE_AND_PAGE ACollection, const std::u16string& AId)
    {
        AHid.HidFindAndReadDevice(ACollection, AId);
        std::vector<std::string> products;
        for (const auto& path : AHid.ReadingDevicePaths()) {
            const size_t at = path.find(u"pid_");
            products.push_back(at == std::u16string::npos ? "?" : Utf8FromUtf16(path.substr(at, 8)));
        }
        std::sort(products.begin(), products.end());
        AHid.HidStopRead();
        EXPECT_TRUE(HidTest::PumpUntil([&] { return AHid.ReadingDevicePaths().empty(); }))
            << "readers still running after HidStopRead";
        return products;
    }
};

std::wstring ModulePath(const wchar_t* AName)
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(GetModuleHandleW(AName), path, MAX_PATH);
    return std::wstring(path, length);
}

TEST_F(HidFinderTest, LibrariesComeFromTheSystemDirectoryNotFromBesideTheProgram)
{
    const std::wstring planted = HidTest::ProgramDirectory() + L"HID.dll";
    ASSERT_NE(GetFileAttributesW(planted.c_str()), INVALID_FILE_ATTRIBUTES) << "the planted HID.dll is missing";
    ASSERT_TRUE(SystemHidApi().Complete());
    wchar_t system[MAX_PATH];
    const std::wstring systemDir(system, GetSystemDirectoryW(system, MAX_PATH));
    for (const wchar_t* name : {L"HID.dll", L"SetupApi.dll"}) {
        const std::wstring path = ModulePath(name);
        EXPECT_EQ(_wcsnicmp(path.c_str(), systemDir.c_str(), systemDir.size()), 0) << Utf8FromUtf16(U(path.c_str()));
    }
}

TEST_F(HidFinderTest, WineShowsItsVirtualMouseAndKeyboard)
{
    TuiHIDData hid(nullptr);
    ASSERT_TRUE(hid.Api().Complete());
    THIDDataParam param;
    param.UsageAndPage = kWineMouse;
    EXPECT_TRUE(hid.IsDeviceExist(param));
    param.UsageAndPage = kWineKeyboard;
    EXPECT_TRUE(hid.IsDeviceExist(param));
    param.UsageAndPage = kNoSuchCollection;
    EXPECT_FALSE(hid.IsDeviceExist(param));
}

struct TFilterCase {
    const char* Name;
    std::vector<std::string> Configured;
    USAGE_AND_PAGE Collection;
    std::u16string Id;
    std::vector<std::string> Readers; // products that get a reader
    bool Exists;                      // IsDeviceExist with the same identifier
};

TEST_F(HidFinderTest, DeviceFiltersOfReadingAndOfTheOtherOperations)
{
    const TFilterCase cases[] = {
        {"empty list, any", {}, kWineMouse, u"*", {"pid_0001"}, true},
        {"empty list, any, keyboard", {}, kWineKeyboard, u"*", {"pid_0002"}, true},
        {"empty list, empty id", {}, kWineMouse, u"", {"pid_0001"}, true},
        {"empty list, the other device's id", {}, kWineMouse, u"HID\\VID_845E&PID_0002", {"pid_0001"}, false},
        {"configured in other case, any", {"hid\\vid_845e&pid_0001"}, kWineMouse, u"*", {"pid_0001"}, true},
        {"configured prefix only, any", {"HID\\VID_845E"}, kWineMouse, u"*", {}, false},
        {"configured, empty id", {"HID\\VID_845E&PID_0001"}, kWineMouse, u"", {}, true},
        {"configured other device, this id", {"HID\\VID_845E&PID_0002"}, kWineMouse, u"HID\\VID_845E&PID_0001",
         {"pid_0001"}, true},
        {"configured other device, any", {"HID\\VID_845E&PID_0002"}, kWineMouse, u"*", {}, false},
        {"no such collection", {}, kNoSuchCollection, u"*", {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        HidTest::WriteConfig(c.Configured.empty() ? std::vector<std::string>{} : Configured(c.Configured));
        TuiHIDData hid(nullptr);
        EXPECT_EQ(ReadersStarted(hid, c.Collection, c.Id), c.Readers);
        THIDDataParam param;
        param.UsageAndPage = c.Collection;
        param.DeviceID = c.Id;
        EXPECT_EQ(hid.IsDeviceExist(param), c.Exists);
    }
}

TEST_F(HidFinderTest, ReadingTwiceWithoutStopLeavesTwoReadersPerInterface)
{
    TuiHIDData hid(nullptr);
    hid.HidFindAndReadDevice(kWineMouse, u"*");
    hid.HidFindAndReadDevice(kWineMouse, u"*");
    EXPECT_EQ(hid.ReadingDevicePaths().size(), 2u);
    hid.HidStopRead();
    EXPECT_TRUE(HidTest::PumpUntil([&] { return hid.ReadingDevicePaths().empty(); }));
}

TEST_F(HidFinderTest, DestructionEndsTheReadersOfRealDevices)
{
    auto hid = std::make_unique<TuiHIDData>(nullptr);
    hid->HidFindAndReadDevice(kWineMouse, u"*");
    hid->HidFindAndReadDevice(kWineKeyboard, u"*");
    EXPECT_EQ(hid->ReadingDevicePaths().size(), 2u);
    hid.reset(); // returns only when both reader threads have ended
    EXPECT_EQ(ReadStopEvent(), nullptr);
}

TEST_F(HidFinderTest, ConfiguredListStopsAtTheFirstMissingKey)
{
    HidTest::WriteConfig({"[options]", "id3=elsewhere", "[IncludeHIDDeviceList]", "id1=HID\\VID_845E&PID_0001",
                          "id2=HID\\VID_1234", "id4=HID\\VID_5678"});
    TuiHIDData hid(nullptr);
    EXPECT_EQ(hid.GetHIDDeviceList(), (TTextList{u"HID\\VID_845E&PID_0001", u"HID\\VID_1234"}));
}

TEST_F(HidFinderTest, ConfiguredListReadsKeysOneTo101Only)
{
    std::vector<std::string> lines{"[IncludeHIDDeviceList]"};
    for (int i = 1; i <= 102; ++i) lines.push_back("id" + std::to_string(i) + "=D" + std::to_string(i));
    HidTest::WriteConfig(lines);
    TuiHIDData hid(nullptr);
    ASSERT_EQ(hid.GetHIDDeviceList().size(), 101u);
    EXPECT_EQ(hid.GetHIDDeviceList().back(), u"D101");
}

TEST_F(HidFinderTest, ConfiguredListIsEmptyWithoutFileSectionOrFirstKey)
{
    const std::vector<std::string> configs[] = {
        {},
        {"[options]", "id1=X"},
        {"[IncludeHIDDeviceList]", "id2=X"},
        {"[IncludeHIDDeviceList]", "id1="},
    };
    for (const auto& config : configs) {
        HidTest::WriteConfig(config);
        TuiHIDData hid(nullptr);
        EXPECT_TRUE(hid.GetHIDDeviceList().empty()) << config.size() << " lines";
    }
}

TEST_F(HidFinderTest, TransfersThatFitNoReportLengthMatchNothing)
{
    // Wine's mouse has no output or feature report: any byte fails the length test.
    TuiHIDData hid(nullptr);
    auto param = std::make_unique<THIDDataParam>();
    param->UsageAndPage = kWineMouse;
    param->Data.ReportID = 5;
    param->Data.DATAReally[0] = 0xAB;
    param->Data.DATASIZE = 1;
    EXPECT_FALSE(hid.HidFindAndWriteDevice(*param));
    EXPECT_FALSE(hid.HidFindAndWriteDeviceBYHID(*param));
    EXPECT_EQ(hid.HidFindAndGetFeatureReport(*param), static_cast<uint32_t>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_EQ(hid.HidFindAndSetFeatureReport(*param), static_cast<uint32_t>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_EQ(param->Data.ReportID, 5);
    EXPECT_EQ(param->Data.DATAReally[0], 0xAB);
    EXPECT_EQ(param->DeviceHandle, nullptr);
}

TEST_F(HidFinderTest, FailedFeatureReadIsAnErrorAndLeavesTheDataAlone)
{
    // A zero-length feature read passes the length test and is refused by the device.
    TuiHIDData hid(nullptr);
    auto param = std::make_unique<THIDDataParam>();
    param->UsageAndPage = kWineMouse;
    param->Data.ReportID = 9;
    param->Data.DATAReally[0] = 0x5A;
    param->Data.DATASIZE = 0;
    EXPECT_NE(hid.HidFindAndGetFeatureReport(*param), 0u);
    EXPECT_EQ(param->Data.ReportID, 9);
    EXPECT_EQ(param->Data.DATAReally[0], 0x5A);
    EXPECT_NE(hid.HidFindAndSetFeatureReport(*param), 0u);
    EXPECT_NE(param->DeviceHandle, nullptr);
}

TEST_F(HidFinderTest, WithoutTheLibrariesEveryOperationReturnsItsInitialResult)
{
    THidApi missing; // no SetupAPI or HID function found
    TuiHIDData hid(nullptr, missing);
    auto param = std::make_unique<THIDDataParam>();
    param->UsageAndPage = kWineMouse;
    hid.HidFindAndReadDevice(kWineMouse, u"*");
    EXPECT_TRUE(hid.ReadingDevicePaths().empty());
    EXPECT_FALSE(hid.IsDeviceExist(*param));
    EXPECT_FALSE(hid.HidFindAndWriteDevice(*param));
    EXPECT_FALSE(hid.HidFindAndWriteDeviceBYHID(*param));
    EXPECT_EQ(hid.HidFindAndGetFeatureReport(*param), static_cast<uint32_t>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_EQ(hid.HidFindAndSetFeatureReport(*param), static_cast<uint32_t>(ERROR_DEVICE_NOT_CONNECTED));
}

} // namespace
