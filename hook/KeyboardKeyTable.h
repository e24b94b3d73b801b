#pragma once
// The keyboard key table: a virtual-key code and an extended-key marker to the key's display name
// and its USB HID usage code. Process-wide and read-only, built on first use.
#include <array>
#include <cstdint>
#include <string>

struct TKeyboardInfoTable {
    std::u16string VKName;
    int32_t VKCode;
    int32_t ScanCode;
    // 0xE0 for a normal key, 0xE1 for a key that is always extended.
    int32_t Extended;
    // -1 when the key has no HID usage.
    int32_t HIDCode;
    std::u16string KeyDescription;
};

inline constexpr int kKeyTableSize = 300;
using TKeyTable = std::array<TKeyboardInfoTable, kKeyTableSize>;

// Normal keys, and the extended variants of keys that exist twice on a keyboard (the dedicated
// arrows and editing keys beside the numeric pad, the numeric pad's Enter).
const TKeyTable& KeyboardKeyTable();
const TKeyTable& ExtendedKeyTable();

// The marker is 0 or 0xE0 for a normal key, 1 or 0xE1 for an extended one. A code outside the
// tables gives the empty text and HID code 0; a key without a HID usage gives 0.
std::u16string GetKeyDescription(int ACode, int AExtended);
uint32_t GetKeyHIDCode(int ACode, int AExtended);
