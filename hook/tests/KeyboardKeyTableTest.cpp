#include "hook/KeyboardKeyTable.h"
#include "profile/KeyPresets.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

constexpr int N = 0xE0;  // normal key
constexpr int X = 0xE1;  // always extended

struct TExpected {
    int Code;
    const char16_t* Description;
    int HID;
    int Extended;
};

// Written out from the keyboard's documentation, key by key, not from the table's source.
const TExpected kKeyboardRows[] = {
    {0x00, u"", -1, N}, {0x01, u"Mouse Left Click", -1, N}, {0x02, u"Mouse Right Click", -1, N},
    {0x03, u"Control Break", -1, N}, {0x04, u"Mouse Middle Click", -1, N},
    {0x05, u"Undefined", -1, N}, {0x06, u"Undefined", -1, N}, {0x07, u"Undefined", -1, N},
    {0x08, u"BACKSPACE", 42, N}, {0x09, u"TAB", 43, N}, {0x0A, u"Undefined", -1, N}, {0x0B, u"Undefined", -1, N},
    {0x0C, u"CLEAR", 156, N}, {0x0D, u"ENTER", 40, N}, {0x0E, u"Undefined", -1, N}, {0x0F, u"Undefined", -1, N},
    {0x10, u"SHIFT", -1, N}, {0x11, u"CTRL", -1, N}, {0x12, u"ALT", -1, N}, {0x13, u"PAUSE", 72, N},
    {0x14, u"CAPS LOCK", 57, N}, {0x15, u"Undefined", -1, N}, {0x16, u"Undefined", -1, N}, {0x17, u"Undefined", -1, N},
    {0x18, u"Undefined", -1, N}, {0x19, u"Undefined", -1, N}, {0x1A, u"Undefined", -1, N}, {0x1B, u"ESC", 41, N},
    {0x1C, u"Undefined", -1, N}, {0x1D, u"Undefined", -1, N}, {0x1E, u"Undefined", -1, N}, {0x1F, u"Undefined", -1, N},
    {0x20, u"SPACEBAR", 44, N}, {0x21, u"PAGE UP", 97, N}, {0x22, u"PAGE DOWN", 91, N}, {0x23, u"END", 89, N},
    {0x24, u"HOME", 95, N}, {0x25, u"LEFT ARROW", 92, N}, {0x26, u"UP ARROW", 96, N}, {0x27, u"RIGHT ARROW", 94, N},
    {0x28, u"DOWN ARROW", 90, N}, {0x29, u"SELECT", -1, N}, {0x2A, u"PRINT", -1, N}, {0x2B, u"EXECUTE", -1, N},
    {0x2C, u"PRINT SCREEN", 70, X}, {0x2D, u"Keypad 0 Insert", 98, N}, {0x2E, u"Keypad DEL", 99, N},
    {0x2F, u"HELP", -1, N}, {0x30, u"0", 39, N}, {0x31, u"1", 30, N}, {0x32, u"2", 31, N}, {0x33, u"3", 32, N},
    {0x34, u"4", 33, N}, {0x35, u"5", 34, N}, {0x36, u"6", 35, N}, {0x37, u"7", 36, N}, {0x38, u"8", 37, N},
    {0x39, u"9", 38, N}, {0x3A, u"Undefined", -1, N}, {0x3B, u"Undefined", -1, N}, {0x3C, u"Undefined", -1, N},
    {0x3D, u"Undefined", -1, N}, {0x3E, u"Undefined", -1, N}, {0x3F, u"Undefined", -1, N}, {0x40, u"Undefined", -1, N},
    {0x41, u"A", 4, N}, {0x42, u"B", 5, N}, {0x43, u"C", 6, N}, {0x44, u"D", 7, N}, {0x45, u"E", 8, N},
    {0x46, u"F", 9, N}, {0x47, u"G", 10, N}, {0x48, u"H", 11, N}, {0x49, u"I", 12, N}, {0x4A, u"J", 13, N},
    {0x4B, u"K", 14, N}, {0x4C, u"L", 15, N}, {0x4D, u"M", 16, N}, {0x4E, u"N", 17, N}, {0x4F, u"O", 18, N},
    {0x50, u"P", 19, N}, {0x51, u"Q", 20, N}, {0x52, u"R", 21, N}, {0x53, u"S", 22, N}, {0x54, u"T", 23, N},
    {0x55, u"U", 24, N}, {0x56, u"V", 25, N}, {0x57, u"W", 26, N}, {0x58, u"X", 27, N}, {0x59, u"Y", 28, N},
    {0x5A, u"Z", 29, N}, {0x5B, u"L WIN", 227, X}, {0x5C, u"R WIN", 231, X}, {0x5D, u"APP", 101, X},
    {0x5E, u"Undefined", -1, N}, {0x5F, u"Undefined", -1, N}, {0x60, u"NUMPAD 0", 98, N}, {0x61, u"NUMPAD 1", 89, N},
    {0x62, u"NUMPAD 2", 90, N}, {0x63, u"NUMPAD 3", 91, N}, {0x64, u"NUMPAD 4", 92, N}, {0x65, u"NUMPAD 5", 93, N},
    {0x66, u"NUMPAD 6", 94, N}, {0x67, u"NUMPAD 7", 95, N}, {0x68, u"NUMPAD 8", 96, N}, {0x69, u"NUMPAD 9", 97, N},
    {0x6A, u"*", 85, N}, {0x6B, u"+", 87, N}, {0x6C, u"Separator", 151, N}, {0x6D, u"-", 86, N}, {0x6E, u"+", 99, N},
    {0x6F, u"/", 84, X}, {0x70, u"F1", 58, N}, {0x71, u"F2", 59, N}, {0x72, u"F3", 60, N}, {0x73, u"F4", 61, N},
    {0x74, u"F5", 62, N}, {0x75, u"F6", 63, N}, {0x76, u"F7", 64, N}, {0x77, u"F8", 65, N}, {0x78, u"F9", 66, N},
    {0x79, u"F10", 67, N}, {0x7A, u"F11", 68, N}, {0x7B, u"F12", 69, N}, {0x7C, u"F13", 104, N},
    {0x7D, u"F14", 105, N}, {0x7E, u"F15", 106, N}, {0x7F, u"F16", 107, N}, {0x80, u"F17", 108, N},
    {0x81, u"F18", 109, N}, {0x82, u"F19", 110, N}, {0x83, u"F20", 111, N}, {0x84, u"F21", 112, N},
    {0x85, u"F22", 113, N}, {0x86, u"F23", 114, N}, {0x87, u"F24", 115, N}, {0x88, u"Undefined", -1, N},
    {0x89, u"Undefined", -1, N}, {0x8A, u"Undefined", -1, N}, {0x8B, u"Undefined", -1, N}, {0x8C, u"Undefined", -1, N},
    {0x8D, u"Undefined", -1, N}, {0x8E, u"Undefined", -1, N}, {0x8F, u"Undefined", -1, N}, {0x90, u"NUM LOCK", 83, X},
    {0x91, u"Scroll Lock", 71, N}, {0x92, u"Undefined", -1, N}, {0x93, u"Undefined", -1, N}, {0x94, u"Undefined", -1, N},
    {0x95, u"Undefined", -1, N}, {0x96, u"Undefined", -1, N}, {0x97, u"Undefined", -1, N}, {0x98, u"Undefined", -1, N},
    {0x99, u"Undefined", -1, N}, {0x9A, u"Undefined", -1, N}, {0x9B, u"Undefined", -1, N}, {0x9C, u"Undefined", -1, N},
    {0x9D, u"Undefined", -1, N}, {0x9E, u"Undefined", -1, N}, {0x9F, u"Undefined", -1, N}, {0xA0, u"L SHIFT", 225, N},
    {0xA1, u"R SHIFT", 229, X}, {0xA2, u"L CTRL", 224, N}, {0xA3, u"R CTRL", 228, X}, {0xA4, u"L ALT", 226, N},
    {0xA5, u"R ALT", 230, X}, {0xA6, u"BROWSER_BACK", 548, X}, {0xA7, u"BROWSER_FORWARD", 549, X},
    {0xA8, u"BROWSER_REFRESH", 551, X}, {0xA9, u"BROWSER_STOP", 550, X}, {0xAA, u"BROWSER_SEARCH", 545, X},
    {0xAB, u"BROWSER_FAVORITES", 554, X}, {0xAC, u"BROWSER_HOME", 547, X}, {0xAD, u"VOLUME_MUTE", 226, X},
    {0xAE, u"VOLUME_DOWN", 234, X}, {0xAF, u"VOLUME_UP", 233, X}, {0xB0, u"MEDIA_NEXT_TRACK", 181, X},
    {0xB1, u"MEDIA_PREV_TRACK", 182, X}, {0xB2, u"MEDIA_STOP", 183, X}, {0xB3, u"MEDIA_PLAY_PAUSE", 205, X},
    {0xB4, u"LAUNCH_MAIL", 394, X}, {0xB5, u"LAUNCH_MEDIA_SELECT", 387, X}, {0xB6, u"LAUNCH_APP1", 404, X},
    {0xB7, u"LAUNCH_APP2", 402, X}, {0xBA, u";:", 51, N}, {0xBB, u"=", 46, N}, {0xBC, u",<", 54, N},
    {0xBD, u"-_", 45, N}, {0xBE, u".", 55, N}, {0xBF, u"/?", 56, N}, {0xC0, u"~`", 53, N}, {0xDB, u"[{", 47, N},
    {0xDC, u"\\|", 49, N}, {0xDD, u"]}", 48, N}, {0xDE, u"'\"", 52, N}, {0xDF, u"None", -1, N},
    {0xE0, u"Undefined", -1, N}, {0xE1, u"AX", -1, N}, {0xE2, u"Europe 2 (Note 2)", 100, N},
};

const TExpected kExtendedRows[] = {
    {0x0D, u"ENTER", 88, X}, {0x21, u"PAGE UP", 75, X}, {0x22, u"PAGE DOWN", 78, X}, {0x23, u"END", 77, X},
    {0x24, u"HOME", 74, X}, {0x25, u"LEFT ARROW", 80, X}, {0x26, u"UP ARROW", 82, X}, {0x27, u"RIGHT ARROW", 79, X},
    {0x28, u"DOWN ARROW", 81, X}, {0x2D, u"INS", 73, X}, {0x2E, u"DEL", 76, X}, {0xFF, u"DEL", 76, X},
};

const std::map<int, int> kScanCodes = {{0xBA, 0x27}, {0xBB, 0x0D}, {0xBC, 0x33}, {0xBD, 0x0C}, {0xBE, 0x34},
                                       {0xBF, 0x35}, {0xC0, 0x29}, {0xDB, 0x1A}, {0xDC, 0x2B}, {0xDD, 0x1B},
                                       {0xDE, 0x28}, {0xE2, 0x56}};

std::u16string Undefined(const char16_t* AHex) { return std::u16string(u"UNDEFINED_") + AHex; }

void CheckTable(const TKeyTable& ATable, const TExpected* ARows, size_t ACount, int ADefaultExtended,
                const std::map<int, int>& AScanCodes)
{
    std::map<int, const TExpected*> fixed;
    for (size_t i = 0; i < ACount; ++i) fixed[ARows[i].Code] = &ARows[i];
    for (int code = 0; code < kKeyTableSize; ++code) {
        SCOPED_TRACE(code);
        const TKeyboardInfoTable& row = ATable[static_cast<size_t>(code)];
        EXPECT_EQ(row.VKCode, code);
        const auto scan = AScanCodes.find(code);
        EXPECT_EQ(row.ScanCode, scan == AScanCodes.end() ? 0 : scan->second);
        auto it = fixed.find(code);
        if (it == fixed.end()) {
            EXPECT_EQ(row.Extended, ADefaultExtended);
            EXPECT_EQ(row.HIDCode, -1);
            EXPECT_EQ(row.KeyDescription.substr(0, 10), u"UNDEFINED_");
            EXPECT_EQ(row.KeyDescription.size(), 13u);
            EXPECT_EQ(row.VKName, u"VK_" + row.KeyDescription);
            continue;
        }
        EXPECT_EQ(row.KeyDescription, it->second->Description);
        EXPECT_EQ(row.HIDCode, it->second->HID);
        EXPECT_EQ(row.Extended, it->second->Extended);
        EXPECT_EQ(row.VKName.substr(0, 3), u"VK_");
    }
}

TEST(KeyboardKeyTable, EveryRowOfBothTablesAgreesWithTheKeyboardsDocumentation)
{
    CheckTable(KeyboardKeyTable(), kKeyboardRows, std::size(kKeyboardRows), N, kScanCodes);
    CheckTable(ExtendedKeyTable(), kExtendedRows, std::size(kExtendedRows), X, {{0xFF, 0x5E}});
}

TEST(KeyboardKeyTable, NamesOfTheConstants)
{
    const std::pair<int, const char16_t*> names[] = {
        {0x00, u"VK_NULL"}, {0x0D, u"VK_RETURN"}, {0x2D, u"VK_NUMPAD0_INSERT"}, {0x5D, u"VK_APP"},
        {0x07, u"VK_UNDEFINED_07"}, {0xE0, u"VK_UNDEFINED_E0"}, {0xC1, u"VK_UNDEFINED_0C1"}, {0xDE, u"VK_OEM_7"},
        {0x7B, u"VK_F12"}, {0x87, u"VK_F24"}, {0x69, u"VK_NUMPAD9"}, {0x5A, u"VK_Z"}, {0x30, u"VK_0"},
        {0x12B, u"VK_UNDEFINED_12B"}};
    for (auto [code, name] : names) EXPECT_EQ(KeyboardKeyTable()[static_cast<size_t>(code)].VKName, name) << code;
    EXPECT_EQ(ExtendedKeyTable()[0x2D].VKName, u"VK_INSERT");
    EXPECT_EQ(ExtendedKeyTable()[0xFF].VKName, u"VK_POWER");
    EXPECT_EQ(ExtendedKeyTable()[0x41].VKName, u"VK_UNDEFINED_041");
}

TEST(KeyboardKeyTable, LookupsByCodeAndMarker)
{
    struct TCase {
        int Code;
        int Marker;
        std::u16string Description;
        uint32_t HID;
    };
    const TCase cases[] = {
        {0x41, 0, u"A", 4},
        {0x41, 0xE0, u"A", 4},
        {0x0D, 0, u"ENTER", 40},
        {0x0D, 1, u"ENTER", 88},          // the numeric pad's Enter
        {0x0D, 0xE1, u"ENTER", 88},
        {0x25, 0, u"LEFT ARROW", 92},     // numeric pad 4 with Num Lock off
        {0x25, 1, u"LEFT ARROW", 80},     // the dedicated arrow
        {0x2D, 0, u"Keypad 0 Insert", 98},
        {0x2D, 1, u"INS", 73},
        {0xA3, 1, u"R CTRL", 228},        // marked always extended in the normal table
        {0xA3, 0, u"R CTRL", 228},
        // The Windows keys arrive with the extended bit: their own rows, not undefined extended ones.
        {0x5B, 1, u"L WIN", 227},
        {0x5C, 1, u"R WIN", 231},
        {0x5C, 0xE1, u"R WIN", 231},
        {0x5B, 0, u"L WIN", 227},
        {0x03, 1, Undefined(u"003"), 0},  // Ctrl+Break: no extended row
        {0xC1, 0, Undefined(u"0C1"), 0},
        {0x10, 0, u"SHIFT", 0},           // no HID usage
        {0x41, 2, Undefined(u"041"), 0},  // any other marker reads the extended table
        {0x2E, 7, u"DEL", 76},
        {0x00, 0, u"", 0},
        {299, 0, Undefined(u"12B"), 0},
        {300, 0, u"", 0},
        {300, 1, u"", 0},
        {-1, 0, u"", 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.Code << " marker " << c.Marker);
        EXPECT_EQ(GetKeyDescription(c.Code, c.Marker), c.Description);
        EXPECT_EQ(GetKeyHIDCode(c.Code, c.Marker), c.HID);
    }
}

// The presets hold each key twice, by virtual-key code and by HID usage: the two must agree.
TEST(KeyboardKeyTable, PresetsHoldTheHIDCodesOfTheirKeys)
{
    int checked = 0;
    for (const TKeyPresets* presets : {&OfficeKeyPresets(), &WindowsKeyPresets(), &MultimediaKeyPresets()}) {
        for (int slot = 0; slot < kKeyPresetSlots; ++slot) {
            const TCOMBOKEYINFO& combo = presets->ComboKeys[slot];
            if (combo.nKeyValue1 == 0) continue;
            SCOPED_TRACE(testing::Message() << "slot " << slot << " key " << combo.nKeyValue1);
            EXPECT_EQ(GetKeyHIDCode(combo.nKeyValue1, combo.nKey1Extended), presets->HIDCodes[slot].nKeyValue1);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 22);
}

}  // namespace
