#include "shell/DeviceReport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using TKind = TDeviceEvent::TKind;

struct TReportCase {
    const char* Name;
    uint8_t ReportID;
    std::vector<uint8_t> Data; // after the report identifier
    std::optional<unsigned> Posted;
    TDeviceEvent Action; // what the window does with the posted wParam
};

const std::vector<uint8_t> kTail{0xAA, 0x55, 0xFF, 0x01};

std::vector<uint8_t> Report(std::vector<uint8_t> AHead, const std::vector<uint8_t>& ATail = kTail)
{
    AHead.insert(AHead.end(), ATail.begin(), ATail.end());
    return AHead;
}

TEST(DeviceReport, ReportsAndTheirActions)
{
    const TReportCase cases[] = {
        {"button bit 0", 7, Report({0x01, 0x00, 0x00}), 0u, {TKind::Button, 0}},
        {"button bit 2", 7, Report({0x04, 0x00, 0x00}), 2u, {TKind::Button, 2}},
        {"button bit 8", 7, Report({0x00, 0x01, 0x00}), 8u, {TKind::Button, 8}},
        {"button bit 14, the last assignable", 7, Report({0x00, 0x40, 0x00}), 14u, {TKind::Button, 14}},
        {"bit 15: posted, then ignored", 7, Report({0x00, 0x80, 0x00}), 15u, {}},
        {"bit 16", 7, Report({0x00, 0x00, 0x01}), 16u, {}},
        {"bit 20", 7, Report({0x00, 0x00, 0x10}), 20u, {}},
        {"bit 21: a switch to profile 0", 7, Report({0x00, 0x00, 0x20}), 21u, {TKind::ProfileSwitch, 0}},
        {"bit 22: profile 1", 7, Report({0x00, 0x00, 0x40}), 22u, {TKind::ProfileSwitch, 1}},
        {"bit 23: profile 2", 7, Report({0x00, 0x00, 0x80}), 23u, {TKind::ProfileSwitch, 2}},
        {"two buttons", 7, Report({0x06, 0x00, 0x00}), std::nullopt, {}},
        {"two buttons in different bytes", 7, Report({0x01, 0x00, 0x01}), std::nullopt, {}},
        {"no button", 7, Report({0x00, 0x00, 0x00}), std::nullopt, {}},
        {"the trailing bytes are not read", 7, Report({0x00, 0x02, 0x00}, {0xFF, 0xFF, 0xFF, 0xFF}), 9u, {TKind::Button, 9}},
        {"profile 01 00", 8, Report({0x01, 0x00, 0x00}), 21u, {TKind::ProfileSwitch, 0}},
        {"profile 01 03", 8, Report({0x01, 0x03, 0x7F}), 24u, {TKind::ProfileSwitch, 3}},
        {"profile 01 04", 8, Report({0x01, 0x04, 0x00}), 25u, {TKind::ProfileSwitch, 4}},
        {"profile 01 05", 8, Report({0x01, 0x05, 0x00}), std::nullopt, {}},
        {"profile 02 01", 8, Report({0x02, 0x01, 0x00}), std::nullopt, {}},
        {"profile 00 01", 8, Report({0x00, 0x01, 0x00}), std::nullopt, {}},
        {"button with 6 data bytes", 7, {0x04, 0x00, 0x00, 0x00, 0x00, 0x00}, std::nullopt, {}},
        {"button with 8 data bytes", 7, {0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, std::nullopt, {}},
        {"profile with 6 data bytes", 8, {0x01, 0x03, 0x00, 0x00, 0x00, 0x00}, std::nullopt, {}},
        {"profile with 8 data bytes", 8, {0x01, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, std::nullopt, {}},
        {"no data", 7, {}, std::nullopt, {}},
        {"identifier 6", 6, Report({0x04, 0x00, 0x00}), std::nullopt, {}},
        {"identifier 9", 9, Report({0x01, 0x03, 0x00}), std::nullopt, {}},
        {"identifier 0", 0, Report({0x04, 0x00, 0x00}), std::nullopt, {}},
    };
    for (const auto& c : cases) {
        const std::optional<unsigned> posted = DecodeDeviceReport(c.ReportID, c.Data);
        EXPECT_EQ(posted, c.Posted) << c.Name;
        if (posted) {
            EXPECT_EQ(ClassifyDeviceEvent(*posted), c.Action) << c.Name;
        }
    }
}

TEST(DeviceReport, EveryWParamOfTheEventHasOneAction)
{
    for (uintptr_t w = 0; w < 64; ++w) {
        const TDeviceEvent e = ClassifyDeviceEvent(w);
        TDeviceEvent expected;
        if (w < 15) expected = {TKind::Button, static_cast<unsigned>(w)};
        if (w >= 21 && w <= 25) expected = {TKind::ProfileSwitch, static_cast<unsigned>(w - 21)};
        EXPECT_EQ(e, expected) << w;
    }
    EXPECT_EQ(ClassifyDeviceEvent(UINTPTR_MAX).Kind, TKind::Ignored);
}

TEST(DeviceReport, ProfileIDIsZeroForProfileZeroAndOneForTheOthers)
{
    const uint32_t expected[] = {0, 1, 1, 1, 1};
    for (unsigned p = 0; p < 5; ++p) EXPECT_EQ(ProfileIDOfProfile(p), expected[p]) << p;
}

} // namespace
