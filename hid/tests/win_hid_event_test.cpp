#include "hid/tests/HidTestSupport.h"
#include "hid/uiHIDEvent.h"

#include <gtest/gtest.h>

#include <dbt.h>

#include <stdexcept>

namespace {

struct TCounts {
    int Arrivals = 0;
    int Removals = 0;
    int Changes = 0;
    bool operator==(const TCounts&) const = default;
};

class HidEventTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application.Initialize();
        Notifier = std::make_unique<TuiHIDEvent>(nullptr);
        Notifier->OnDeviceArrival.Bind([this](TuiHIDEvent* sender) {
            EXPECT_EQ(sender, Notifier.get());
            ++Counts.Arrivals;
        });
        Notifier->OnDeviceRemove.Bind([this](TuiHIDEvent*) { ++Counts.Removals; });
        Notifier->OnDeviceChange.Bind([this](TuiHIDEvent*) { ++Counts.Changes; });
    }
    void TearDown() override { Application.OnException.Clear(); }

    void Send(WPARAM AEvent, const void* AHeader)
    {
        SendMessageW(Notifier->WindowHandle(), WM_DEVICECHANGE, AEvent, reinterpret_cast<LPARAM>(AHeader));
    }

    std::unique_ptr<TuiHIDEvent> Notifier;
    TCounts Counts;
};

DEV_BROADCAST_DEVICEINTERFACE_W InterfaceHeader()
{
    DEV_BROADCAST_DEVICEINTERFACE_W header{};
    header.dbcc_size = sizeof(header);
    header.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    return header;
}

DEV_BROADCAST_VOLUME VolumeHeader()
{
    DEV_BROADCAST_VOLUME header{};
    header.dbcv_size = sizeof(header);
    header.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    return header;
}

TEST_F(HidEventTest, ReportsOneArrivalAfterStartAndTheSelfPostedChange)
{
    ASSERT_TRUE(HidTest::PumpUntil([&] { return Counts.Arrivals == 1; }));
    // The start timer fires once: another interval passes without a second arrival.
    HidTest::PumpFor(1700);
    EXPECT_EQ(Counts, (TCounts{1, 0, 1}));
}

TEST_F(HidEventTest, DeviceChangeMessagesRaiseTheirEvents)
{
    HidTest::PumpFor(100); // the self-posted change
    Counts = {};
    const auto iface = InterfaceHeader();
    const auto volume = VolumeHeader();
    struct TCase {
        const char* Name;
        WPARAM Event;
        const void* Header;
        TCounts Expected;
    };
    const TCase cases[] = {
        {"interface arrival", DBT_DEVICEARRIVAL, &iface, {1, 0, 0}},
        {"volume arrival", DBT_DEVICEARRIVAL, &volume, {0, 0, 0}},
        {"arrival without a header", DBT_DEVICEARRIVAL, nullptr, {0, 0, 0}},
        {"interface removal", DBT_DEVICEREMOVECOMPLETE, &iface, {0, 1, 0}},
        {"volume removal", DBT_DEVICEREMOVECOMPLETE, &volume, {0, 0, 0}},
        {"device nodes changed", DBT_DEVNODES_CHANGED, nullptr, {0, 0, 1}},
        {"query remove", DBT_DEVICEQUERYREMOVE, &iface, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        Counts = {};
        Send(c.Event, c.Header);
        EXPECT_EQ(Counts, c.Expected) << c.Name;
    }
}

TEST_F(HidEventTest, HandlerExceptionIsReportedOnceAndTheWindowKeepsWorking)
{
    std::vector<std::u16string> reported;
    Application.OnException.Bind([&](const std::u16string& message) { reported.push_back(message); });
    Notifier->OnDeviceArrival.Bind([](TuiHIDEvent*) { throw std::runtime_error("arrival failed"); });
    const auto iface = InterfaceHeader();
    Send(DBT_DEVICEARRIVAL, &iface);
    EXPECT_EQ(reported, std::vector<std::u16string>{u"arrival failed"});
    Send(DBT_DEVICEREMOVECOMPLETE, &iface);
    EXPECT_EQ(Counts.Removals, 1);
    EXPECT_EQ(reported.size(), 1u);
}

TEST_F(HidEventTest, StartTimerHandlerExceptionIsReportedOnceAndTheWindowKeepsWorking)
{
    std::vector<std::u16string> reported;
    Application.OnException.Bind([&](const std::u16string& message) { reported.push_back(message); });
    Notifier->OnDeviceArrival.Bind([](TuiHIDEvent*) { throw std::runtime_error("start arrival failed"); });
    ASSERT_TRUE(HidTest::PumpUntil([&] { return !reported.empty(); }));
    // The start timer stays a one-shot although its handler failed.
    HidTest::PumpFor(1700);
    EXPECT_EQ(reported, std::vector<std::u16string>{u"start arrival failed"});
    Notifier->OnDeviceArrival.Bind([this](TuiHIDEvent*) { ++Counts.Arrivals; });
    const auto iface = InterfaceHeader();
    Send(DBT_DEVICEARRIVAL, &iface);
    EXPECT_EQ(Counts.Arrivals, 1);
}

} // namespace
