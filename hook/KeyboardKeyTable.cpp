#include "hook/KeyboardKeyTable.h"

#include <initializer_list>

namespace {

constexpr int32_t kNormal = 0xE0;
constexpr int32_t kAlwaysExtended = 0xE1;

struct TFixedRow {
    int Code;
    const char16_t* VKName;
    int32_t ScanCode;
    int32_t Extended;
    int32_t HIDCode;
    const char16_t* Description;
};

std::u16string HexDigits(int AValue, int ADigits)
{
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    std::u16string text(static_cast<size_t>(ADigits), u'0');
    for (int i = ADigits - 1; i >= 0; --i, AValue >>= 4) text[static_cast<size_t>(i)] = digits[AValue & 0xF];
    return text;
}

TKeyTable BlankTable(int32_t AExtended)
{
    TKeyTable table;
    for (int i = 0; i < kKeyTableSize; ++i)
        table[static_cast<size_t>(i)] = {u"VK_UNDEFINED_" + HexDigits(i, 3), i, 0, AExtended, -1, u"UNDEFINED_" + HexDigits(i, 3)};
    return table;
}

void Put(TKeyTable& ATable, const TFixedRow& ARow)
{
    ATable[static_cast<size_t>(ARow.Code)] = {ARow.VKName, ARow.Code, ARow.ScanCode, ARow.Extended, ARow.HIDCode,
                                              ARow.Description};
}

// Codes the keyboard does not send: one name and description for all of them.
void PutUndefined(TKeyTable& ATable, std::initializer_list<std::pair<int, int>> ARanges)
{
    for (auto [first, last] : ARanges)
        for (int code = first; code <= last; ++code)
            ATable[static_cast<size_t>(code)] = {u"VK_UNDEFINED_" + HexDigits(code, 2), code, 0, kNormal, -1, u"Undefined"};
}

// A run of consecutive codes whose names and descriptions differ only by a number or letter.
void PutRun(TKeyTable& ATable, int AFirst, int ACount, const std::u16string& ANamePrefix,
            const std::u16string& ADescriptionPrefix, char16_t AFirstSuffix, int AFirstHID, int32_t AExtended = kNormal)
{
    for (int i = 0; i < ACount; ++i) {
        std::u16string suffix(1, static_cast<char16_t>(AFirstSuffix + i));
        ATable[static_cast<size_t>(AFirst + i)] = {ANamePrefix + suffix, AFirst + i, 0, AExtended, AFirstHID + i,
                                                   ADescriptionPrefix + suffix};
    }
}

TKeyTable BuildKeyboardTable()
{
    TKeyTable table = BlankTable(kNormal);
    static constexpr TFixedRow rows[] = {
        {0x00, u"VK_NULL", 0, kNormal, -1, u""},
        {0x01, u"VK_LBUTTON", 0, kNormal, -1, u"Mouse Left Click"},
        {0x02, u"VK_RBUTTON", 0, kNormal, -1, u"Mouse Right Click"},
        {0x03, u"VK_CANCEL", 0, kNormal, -1, u"Control Break"},
        {0x04, u"VK_MBUTTON", 0, kNormal, -1, u"Mouse Middle Click"},
        {0x08, u"VK_BACK", 0, kNormal, 42, u"BACKSPACE"},
        {0x09, u"VK_TAB", 0, kNormal, 43, u"TAB"},
        {0x0C, u"VK_CLEAR", 0, kNormal, 156, u"CLEAR"},
        {0x0D, u"VK_RETURN", 0, kNormal, 40, u"ENTER"},
        {0x10, u"VK_SHIFT", 0, kNormal, -1, u"SHIFT"},
        {0x11, u"VK_CONTROL", 0, kNormal, -1, u"CTRL"},
        {0x12, u"VK_MENU", 0, kNormal, -1, u"ALT"},
        {0x13, u"VK_PAUSE", 0, kNormal, 72, u"PAUSE"},
        {0x14, u"VK_CAPITAL", 0, kNormal, 57, u"CAPS LOCK"},
        {0x1B, u"VK_ESCAPE", 0, kNormal, 41, u"ESC"},
        {0x20, u"VK_SPACE", 0, kNormal, 44, u"SPACEBAR"},
        // The numeric pad's usages: without the extended bit these codes come from the pad.
        {0x21, u"VK_PRIOR", 0, kNormal, 97, u"PAGE UP"},
        {0x22, u"VK_NEXT", 0, kNormal, 91, u"PAGE DOWN"},
        {0x23, u"VK_END", 0, kNormal, 89, u"END"},
        {0x24, u"VK_HOME", 0, kNormal, 95, u"HOME"},
        {0x25, u"VK_LEFT", 0, kNormal, 92, u"LEFT ARROW"},
        {0x26, u"VK_UP", 0, kNormal, 96, u"UP ARROW"},
        {0x27, u"VK_RIGHT", 0, kNormal, 94, u"RIGHT ARROW"},
        {0x28, u"VK_DOWN", 0, kNormal, 90, u"DOWN ARROW"},
        {0x29, u"VK_SELECT", 0, kNormal, -1, u"SELECT"},
        {0x2A, u"VK_PRINT", 0, kNormal, -1, u"PRINT"},
        {0x2B, u"VK_EXECUTE", 0, kNormal, -1, u"EXECUTE"},
        {0x2C, u"VK_SNAPSHOT", 0, kAlwaysExtended, 70, u"PRINT SCREEN"},
        {0x2D, u"VK_NUMPAD0_INSERT", 0, kNormal, 98, u"Keypad 0 Insert"},
        {0x2E, u"VK_DELETE", 0, kNormal, 99, u"Keypad DEL"},
        {0x2F, u"VK_HELP", 0, kNormal, -1, u"HELP"},
        // The keyboard sends both Windows keys with the extended prefix (E0 5B, E0 5C), so the
        // hook reports them with the extended bit: their rows are always-extended, and a lookup
        // with the extended marker finds them here rather than as undefined extended keys.
        {0x5B, u"VK_LWIN", 0, kAlwaysExtended, 227, u"L WIN"},
        {0x5C, u"VK_RWIN", 0, kAlwaysExtended, 231, u"R WIN"},
        {0x5D, u"VK_APP", 0, kAlwaysExtended, 101, u"APP"},
        {0x6A, u"VK_MULTIPLY", 0, kNormal, 85, u"*"},
        {0x6B, u"VK_ADD", 0, kNormal, 87, u"+"},
        {0x6C, u"VK_SEPARATOR", 0, kNormal, 151, u"Separator"},
        {0x6D, u"VK_SUBTRACT", 0, kNormal, 86, u"-"},
        {0x6E, u"VK_DECIMAL", 0, kNormal, 99, u"+"},
        {0x6F, u"VK_DIVIDE", 0, kAlwaysExtended, 84, u"/"},
        {0x90, u"VK_NUMLOCK", 0, kAlwaysExtended, 83, u"NUM LOCK"},
        {0x91, u"VK_SCROLL", 0, kNormal, 71, u"Scroll Lock"},
        {0xA0, u"VK_LSHIFT", 0, kNormal, 225, u"L SHIFT"},
        {0xA1, u"VK_RSHIFT", 0, kAlwaysExtended, 229, u"R SHIFT"},
        {0xA2, u"VK_LCONTROL", 0, kNormal, 224, u"L CTRL"},
        {0xA3, u"VK_RCONTROL", 0, kAlwaysExtended, 228, u"R CTRL"},
        {0xA4, u"VK_LMENU", 0, kNormal, 226, u"L ALT"},
        {0xA5, u"VK_RMENU", 0, kAlwaysExtended, 230, u"R ALT"},
        // Consumer-page usages from here to the launch keys.
        {0xA6, u"VK_BROWSER_BACK", 0, kAlwaysExtended, 548, u"BROWSER_BACK"},
        {0xA7, u"VK_BROWSER_FORWARD", 0, kAlwaysExtended, 549, u"BROWSER_FORWARD"},
        {0xA8, u"VK_BROWSER_REFRESH", 0, kAlwaysExtended, 551, u"BROWSER_REFRESH"},
        {0xA9, u"VK_BROWSER_STOP", 0, kAlwaysExtended, 550, u"BROWSER_STOP"},
        {0xAA, u"VK_BROWSER_SEARCH", 0, kAlwaysExtended, 545, u"BROWSER_SEARCH"},
        {0xAB, u"VK_BROWSER_FAVORITES", 0, kAlwaysExtended, 554, u"BROWSER_FAVORITES"},
        {0xAC, u"VK_BROWSER_HOME", 0, kAlwaysExtended, 547, u"BROWSER_HOME"},
        {0xAD, u"VK_VOLUME_MUTE", 0, kAlwaysExtended, 226, u"VOLUME_MUTE"},
        {0xAE, u"VK_VOLUME_DOWN", 0, kAlwaysExtended, 234, u"VOLUME_DOWN"},
        {0xAF, u"VK_VOLUME_UP", 0, kAlwaysExtended, 233, u"VOLUME_UP"},
        {0xB0, u"VK_MEDIA_NEXT_TRACK", 0, kAlwaysExtended, 181, u"MEDIA_NEXT_TRACK"},
        {0xB1, u"VK_MEDIA_PREV_TRACK", 0, kAlwaysExtended, 182, u"MEDIA_PREV_TRACK"},
        {0xB2, u"VK_MEDIA_STOP", 0, kAlwaysExtended, 183, u"MEDIA_STOP"},
        {0xB3, u"VK_MEDIA_PLAY_PAUSE", 0, kAlwaysExtended, 205, u"MEDIA_PLAY_PAUSE"},
        {0xB4, u"VK_LAUNCH_MAIL", 0, kAlwaysExtended, 394, u"LAUNCH_MAIL"},
        {0xB5, u"VK_LAUNCH_MEDIA_SELECT", 0, kAlwaysExtended, 387, u"LAUNCH_MEDIA_SELECT"},
        {0xB6, u"VK_LAUNCH_APP1", 0, kAlwaysExtended, 404, u"LAUNCH_APP1"},
        {0xB7, u"VK_LAUNCH_APP2", 0, kAlwaysExtended, 402, u"LAUNCH_APP2"},
        {0xBA, u"VK_OEM_1", 0x27, kNormal, 51, u";:"},
        {0xBB, u"VK_OEM_PLUS", 0x0D, kNormal, 46, u"="},
        {0xBC, u"VK_OEM_COMMA", 0x33, kNormal, 54, u",<"},
        {0xBD, u"VK_OEM_MINUS", 0x0C, kNormal, 45, u"-_"},
        {0xBE, u"VK_OEM_PERIOD", 0x34, kNormal, 55, u"."},
        {0xBF, u"VK_OEM_2", 0x35, kNormal, 56, u"/?"},
        {0xC0, u"VK_OEM_3", 0x29, kNormal, 53, u"~`"},
        {0xDB, u"VK_OEM_4", 0x1A, kNormal, 47, u"[{"},
        {0xDC, u"VK_OEM_5", 0x2B, kNormal, 49, u"\\|"},
        {0xDD, u"VK_OEM_6", 0x1B, kNormal, 48, u"]}"},
        {0xDE, u"VK_OEM_7", 0x28, kNormal, 52, u"'\""},
        {0xDF, u"VK_OEM_8", 0, kNormal, -1, u"None"},
        {0xE1, u"VK_OEM_AX", 0, kNormal, -1, u"AX"},
        {0xE2, u"VK_OEM_102", 0x56, kNormal, 100, u"Europe 2 (Note 2)"},
    };
    for (const TFixedRow& row : rows) Put(table, row);
    PutRun(table, 0x41, 26, u"VK_", u"", u'A', 4);
    // Digit 0 follows 9 on the HID keyboard page.
    PutRun(table, 0x31, 9, u"VK_", u"", u'1', 30);
    Put(table, {0x30, u"VK_0", 0, kNormal, 39, u"0"});
    // The numeric pad likewise: 0 is 98, 1 to 9 are 89 to 97.
    PutRun(table, 0x61, 9, u"VK_NUMPAD", u"NUMPAD ", u'1', 89);
    Put(table, {0x60, u"VK_NUMPAD0", 0, kNormal, 98, u"NUMPAD 0"});
    for (int i = 0; i < 24; ++i) {
        const std::u16string number = [&] {
            std::u16string n;
            if (i + 1 >= 10) n += static_cast<char16_t>(u'0' + (i + 1) / 10);
            n += static_cast<char16_t>(u'0' + (i + 1) % 10);
            return n;
        }();
        // F13 to F24 continue at 104 on the HID keyboard page.
        Put(table, {0x70 + i, (u"VK_F" + number).c_str(), 0, kNormal, i < 12 ? 58 + i : 104 + (i - 12),
                    (u"F" + number).c_str()});
    }
    PutUndefined(table, {{0x05, 0x07}, {0x0A, 0x0B}, {0x0E, 0x0F}, {0x15, 0x1A}, {0x1C, 0x1F}, {0x3A, 0x40},
                         {0x5E, 0x5F}, {0x88, 0x8F}, {0x92, 0x9F}, {0xE0, 0xE0}});
    return table;
}

TKeyTable BuildExtendedTable()
{
    TKeyTable table = BlankTable(kAlwaysExtended);
    static constexpr TFixedRow rows[] = {
        {0x0D, u"VK_RETURN", 0, kAlwaysExtended, 88, u"ENTER"},
        {0x21, u"VK_PRIOR", 0, kAlwaysExtended, 75, u"PAGE UP"},
        {0x22, u"VK_NEXT", 0, kAlwaysExtended, 78, u"PAGE DOWN"},
        {0x23, u"VK_END", 0, kAlwaysExtended, 77, u"END"},
        {0x24, u"VK_HOME", 0, kAlwaysExtended, 74, u"HOME"},
        {0x25, u"VK_LEFT", 0, kAlwaysExtended, 80, u"LEFT ARROW"},
        {0x26, u"VK_UP", 0, kAlwaysExtended, 82, u"UP ARROW"},
        {0x27, u"VK_RIGHT", 0, kAlwaysExtended, 79, u"RIGHT ARROW"},
        {0x28, u"VK_DOWN", 0, kAlwaysExtended, 81, u"DOWN ARROW"},
        {0x2D, u"VK_INSERT", 0, kAlwaysExtended, 73, u"INS"},
        {0x2E, u"VK_DELETE", 0, kAlwaysExtended, 76, u"DEL"},
        {0xFF, u"VK_POWER", 0x5E, kAlwaysExtended, 76, u"DEL"},
    };
    for (const TFixedRow& row : rows) Put(table, row);
    return table;
}

const TKeyboardInfoTable* Row(int ACode, int AExtended)
{
    if (ACode < 0 || ACode >= kKeyTableSize) return nullptr;
    const auto index = static_cast<size_t>(ACode);
    if (AExtended == 0 || AExtended == kNormal) return &KeyboardKeyTable()[index];
    if ((AExtended == 1 || AExtended == kAlwaysExtended) && KeyboardKeyTable()[index].Extended == kAlwaysExtended)
        return &KeyboardKeyTable()[index];
    return &ExtendedKeyTable()[index];
}

}  // namespace

const TKeyTable& KeyboardKeyTable()
{
    static const TKeyTable table = BuildKeyboardTable();
    return table;
}

const TKeyTable& ExtendedKeyTable()
{
    static const TKeyTable table = BuildExtendedTable();
    return table;
}

std::u16string GetKeyDescription(int ACode, int AExtended)
{
    const TKeyboardInfoTable* row = Row(ACode, AExtended);
    return row ? row->KeyDescription : std::u16string();
}

uint32_t GetKeyHIDCode(int ACode, int AExtended)
{
    const TKeyboardInfoTable* row = Row(ACode, AExtended);
    return row && row->HIDCode >= 0 ? static_cast<uint32_t>(row->HIDCode) : 0;
}
