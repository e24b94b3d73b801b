#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>

#include "profile/FunctionTable.h"
#include "profile/KeyPresets.h"
#include "profile/ProductConstants.h"
#include "profile/ProfileRecords.h"

TEST(ProfileLayout, ButtonFunctionCodeSitsAt4778Plus3924PerButton)
{
    auto info = std::make_unique<TMouseProfileInfo>();
    for (int n = 0; n < kMaxButtonCount; ++n)
        info->ConfigInfo.ButtonFuncInfo[n].FunctionCode = static_cast<uint16_t>(0x100 + n);
    const auto* image = reinterpret_cast<const uint8_t*>(info.get());
    for (int n = 0; n < kMaxButtonCount; ++n) {
        const size_t offset = 4778 + 3924 * static_cast<size_t>(n);
        EXPECT_EQ(image[offset], n) << n;
        EXPECT_EQ(image[offset + 1], 1) << n;
    }
    // Button 14's code is the last one inside the button array; the wheel entries follow, and the
    // same step past the last button lands on the first wheel entry's code.
    const auto offsetIn = [&](const void* AField) { return static_cast<size_t>(static_cast<const uint8_t*>(AField) - image); };
    const auto& config = info->ConfigInfo;
    EXPECT_EQ(4778 + 3924 * static_cast<size_t>(kMaxButtonCount - 1), offsetIn(&config.ButtonFuncInfo[kMaxButtonCount - 1].FunctionCode));
    EXPECT_LE(4778 + 3924 * static_cast<size_t>(kMaxButtonCount - 1) + sizeof(uint16_t), offsetIn(&config.VWheelButtonFuncInfo[0]));
    EXPECT_EQ(offsetIn(&config.VWheelButtonFuncInfo[0]), offsetIn(&config.ButtonFuncInfo[0]) + sizeof(config.ButtonFuncInfo));
    EXPECT_EQ(4778 + 3924 * static_cast<size_t>(kMaxButtonCount), offsetIn(&config.VWheelButtonFuncInfo[0].FunctionCode));
}

TEST(ProfileLayout, ArrayTextStopsAtTerminatorOrArrayEnd)
{
    TProfileSettingItem item{};
    // 'A' in every unit of the texts, no terminator anywhere.
    std::fill(std::begin(item.ProfileFolderPath), std::end(item.ProfileFolderPath), u'A');
    std::fill(std::begin(item.ProfileFileName), std::end(item.ProfileFileName), u'A');
    std::fill(std::begin(item.MacroFolderPath), std::end(item.MacroFolderPath), u'A');
    EXPECT_EQ(ArrayText(item.ProfileFileName), std::u16string(21, u'A'));
    EXPECT_EQ(ArrayText(item.ProfileFolderPath), std::u16string(1024, u'A'));

    SetArrayText(item.ProfileFileName, u"Profile1.gpf");
    EXPECT_EQ(ArrayText(item.ProfileFileName), u"Profile1.gpf");
    EXPECT_EQ(item.ProfileFileName[13], u'A') << "units after the terminator keep what they held";

    const std::u16string full(21, u'x');
    SetArrayText(item.ProfileFileName, full);
    EXPECT_EQ(ArrayText(item.ProfileFileName), full) << "a text that fills the array has no terminator";
    EXPECT_EQ(item.MacroFolderPath[0], u'A') << "the next field is not touched";

    SetArrayText(item.ProfileFileName, std::u16string(30, u'y'));
    EXPECT_EQ(ArrayText(item.ProfileFileName), std::u16string(21, u'y')) << "a longer text is cut at the array";
    EXPECT_EQ(item.MacroFolderPath[0], u'A');

    SetArrayText(item.ProfileFolderPath, u"");
    EXPECT_EQ(ArrayText(item.ProfileFolderPath), u"");
}

TEST(ProfileLayout, FunctionTableRows)
{
    struct Row {
        int Code;
        int32_t Action;
        int32_t Number;
    };
    const Row rows[] = {
        {0, 1, 1},     {1, 2, 2},     {2, 3, 3},     {3, 5, 4},     {4, 4, 5},     {5, 16, 6},
        {6, 15, 7},    {7, 15, 801},  {14, 15, 808}, {15, 15, 901}, {20, 15, 906}, {21, 14, 1001},
        {27, 14, 1007}, {28, 19, 1008}, {29, 14, 1009}, {30, 17, 11}, {31, 25, 12},  {32, 8, 13},
        {33, 10, 14},  {34, 9, 15},   {35, 13, 16},  {36, 14, 17},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(FunctionTable[static_cast<size_t>(r.Code)].DeviceAction, r.Action) << r.Code;
        EXPECT_EQ(FunctionTable[static_cast<size_t>(r.Code)].FunctionID, r.Number) << r.Code;
    }
    for (int code = 7; code <= 27; ++code) {
        const int32_t first = code <= 14 ? 801 : code <= 20 ? 901 : 1001;
        const int first_code = code <= 14 ? 7 : code <= 20 ? 15 : 21;
        EXPECT_EQ(FunctionTable[static_cast<size_t>(code)].FunctionID, first + code - first_code) << code;
    }
    int microphone = 0;
    for (const TFunctionTableEntry& e : FunctionTable) microphone += e.DeviceAction == 19;
    EXPECT_EQ(microphone, 1) << "action class 19 belongs to microphone mute alone";
    EXPECT_EQ(FunctionTable[kFunctionMicrophoneMute].DeviceAction, 19);
}

TEST(ProfileLayout, KeyPresetRowsAndEmptySlots)
{
    struct Row {
        const TKeyPresets& Presets;
        int Index;
        THID_CODE_INFO HID;
        TCOMBOKEYINFO Combo;
    };
    const Row rows[] = {
        {OfficeKeyPresets(), 0, {27, 0, 1}, {88, 0, 0, 0, 2}},
        {OfficeKeyPresets(), 1, {6, 0, 1}, {67, 0, 0, 0, 2}},
        {OfficeKeyPresets(), 2, {25, 0, 1}, {86, 0, 0, 0, 2}},
        {OfficeKeyPresets(), 3, {4, 0, 1}, {65, 0, 0, 0, 2}},
        {OfficeKeyPresets(), 4, {9, 0, 1}, {70, 0, 0, 0, 2}},
        {OfficeKeyPresets(), 5, {17, 0, 1}, {78, 0, 0, 0, 2}},
        {OfficeKeyPresets(), 6, {19, 0, 1}, {80, 0, 0, 0, 2}},
        {OfficeKeyPresets(), 7, {22, 0, 1}, {83, 0, 0, 0, 2}},
        {WindowsKeyPresets(), 0, {43, 0, 4}, {9, 0, 0, 0, 1}},
        {WindowsKeyPresets(), 1, {61, 0, 4}, {115, 0, 0, 0, 1}},
        {WindowsKeyPresets(), 2, {8, 0, 8}, {69, 0, 0, 0, 8}},
        {WindowsKeyPresets(), 3, {21, 0, 8}, {82, 0, 0, 0, 8}},
        {WindowsKeyPresets(), 4, {7, 0, 8}, {68, 0, 0, 0, 8}},
        {WindowsKeyPresets(), 5, {15, 0, 8}, {76, 0, 0, 0, 8}},
        {MultimediaKeyPresets(), 0, {205, 0, 0}, {179, 1, 0, 0, 0}},
        {MultimediaKeyPresets(), 1, {183, 0, 0}, {178, 1, 0, 0, 0}},
        {MultimediaKeyPresets(), 2, {182, 0, 0}, {177, 1, 0, 0, 0}},
        {MultimediaKeyPresets(), 3, {181, 0, 0}, {176, 1, 0, 0, 0}},
        {MultimediaKeyPresets(), 4, {233, 0, 0}, {175, 1, 0, 0, 0}},
        {MultimediaKeyPresets(), 5, {234, 0, 0}, {174, 1, 0, 0, 0}},
        {MultimediaKeyPresets(), 6, {226, 0, 0}, {173, 1, 0, 0, 0}},
        {MultimediaKeyPresets(), 7, {387, 0, 0}, {181, 1, 0, 0, 0}},
        {OfficeKeyPresets(), 8, {0, 0, 0}, {0, 0, 0, 0, 0}},
        {WindowsKeyPresets(), 6, {0, 0, 0}, {0, 0, 0, 0, 0}},
        {MultimediaKeyPresets(), 49, {0, 0, 0}, {0, 0, 0, 0, 0}},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(std::memcmp(&r.Presets.HIDCodes[r.Index], &r.HID, sizeof r.HID), 0) << r.Index;
        EXPECT_EQ(std::memcmp(&r.Presets.ComboKeys[r.Index], &r.Combo, sizeof r.Combo), 0) << r.Index;
    }
    EXPECT_EQ(&OfficeKeyPresets(), &OfficeKeyPresets()) << "built once";
}

TEST(ProfileLayout, PresetAccessorsCopyARowOrLeaveTheRecord)
{
    const THID_CODE_INFO marker{0xAAAA, 0xBBBB, 0xCCCC};
    struct Case {
        int Index;
        THID_CODE_INFO Expected;
    };
    const Case cases[] = {{3, {181, 0, 0}}, {7, {387, 0, 0}}, {8, {0, 0, 0}}, {49, {0, 0, 0}},
                          {50, marker},     {1000, marker},   {-1, marker}};
    for (const Case& c : cases) {
        THID_CODE_INFO code = marker;
        GetMultimediaHIDCode(c.Index, code);
        EXPECT_EQ(std::memcmp(&code, &c.Expected, sizeof code), 0) << c.Index;
    }
    TCOMBOKEYINFO combo{1, 2, 3, 4, 5};
    GetWindowsKeyCombo(1, combo);
    const TCOMBOKEYINFO altF4{115, 0, 0, 0, 1};
    EXPECT_EQ(std::memcmp(&combo, &altF4, sizeof combo), 0);
    GetWindowsKeyCombo(50, combo);
    EXPECT_EQ(std::memcmp(&combo, &altF4, sizeof combo), 0);
}

TEST(ProfileLayout, KeyIndexTableIsOneBitPerEntry)
{
    for (int j = 0; j < kKeyIndexCount; ++j) {
        const auto& e = KeyIndexTable[static_cast<size_t>(j)];
        EXPECT_EQ(e[0], 7);
        EXPECT_EQ(e[1] | (e[2] << 8) | (e[3] << 16), 1 << j) << j;
    }
}
