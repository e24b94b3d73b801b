#include "hid/HidRules.h"

#include <gtest/gtest.h>

#include <array>

namespace {

const TTextList kMouseIds{u"HID\\VID_845E&PID_0001\\0&0000&0&0", u"HID\\VID_845E&PID_0001", u"HID"};

TEST(HidRules, SplitMultiStringStopsAtTheEmptyStringAndAtTheEndOfTheData)
{
    const char16_t list[] = u"AB\0C\0\0D\0";
    EXPECT_EQ(SplitMultiString(list, 9), (TTextList{u"AB", u"C"}));
    // A first empty string is an empty list (what a failed property call leaves).
    EXPECT_TRUE(SplitMultiString(u"\0X", 3).empty());
    // Without its terminators the list ends with the data, not beyond it.
    const char16_t unterminated[] = {u'X', u'Y', u'\0', u'Z', u'Z'};
    EXPECT_EQ(SplitMultiString(unterminated, 5), (TTextList{u"XY", u"ZZ"}));
    EXPECT_TRUE(SplitMultiString(unterminated, 0).empty());
}

TEST(HidRules, ContainsTextIgnoresCaseButNeedsTheWholeString)
{
    EXPECT_TRUE(ContainsText(kMouseIds, u"hid\\vid_845e&pid_0001"));
    EXPECT_FALSE(ContainsText(kMouseIds, u"HID\\VID_845E"));
    EXPECT_FALSE(ContainsText(kMouseIds, u"HID\\VID_845E&PID_00011"));
    EXPECT_FALSE(ContainsText({}, u"HID"));
}

struct TFilterCase {
    const char* Name;
    TTextList Configured;
    std::u16string Id;
    bool Read;
    bool Transfer;
};

TEST(HidRules, ReadAndTransferFiltersDifferOnlyWhereTheyShould)
{
    const TFilterCase cases[] = {
        {"empty list, any", {}, u"*", true, true},
        {"empty list, empty id", {}, u"", true, true},
        {"empty list, other device", {}, u"HID\\VID_845E&PID_0002", true, false},
        {"empty list, this device", {}, u"HID\\VID_845E&PID_0001", true, true},
        {"list names it, any", {u"hid\\vid_845e&pid_0001"}, u"*", true, true},
        {"list names it, empty id", {u"HID\\VID_845E&PID_0001"}, u"", false, true},
        {"list names a prefix, any", {u"HID\\VID_845E"}, u"*", false, false},
        {"list names another, this device", {u"HID\\VID_845E&PID_0002"}, u"HID\\VID_845E&PID_0001", true, true},
        {"list names it, other device", {u"HID\\VID_845E&PID_0001"}, u"HID\\VID_845E&PID_0002", false, false},
        {"second entry names it", {u"USB\\X", u"HID"}, u"*", true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PassesReadFilter(c.Configured, c.Id, kMouseIds), c.Read) << c.Name;
        EXPECT_EQ(PassesTransferFilter(c.Configured, c.Id, kMouseIds), c.Transfer) << c.Name;
    }
}

TEST(HidRules, ButtonChangePrefersTheReleasedUsage)
{
    struct TCase {
        std::array<uint16_t, 3> Released;
        std::array<uint16_t, 3> Pressed;
        uint32_t Expected;
    };
    const TCase cases[] = {
        {{1, 0, 0}, {2, 0, 0}, 1},
        {{0, 0, 0}, {3, 0, 0}, 3u << 16},
        {{0, 0, 0}, {0, 0, 0}, 0},
        {{0, 0, 5}, {0, 0, 0}, 5},
        {{0, 0, 0}, {0xFFFF, 4, 0}, 0xFFFF0000u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ButtonChange(c.Released.data(), c.Pressed.data(), 3), c.Expected);
}

} // namespace
