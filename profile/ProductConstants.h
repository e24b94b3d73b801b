#pragma once
// Names and numbers the monitor shares with the configuration program and the device.
#include <array>
#include <cstdint>

inline constexpr char16_t kCfgWindowClass[] = u"TQelCfgMain";
inline constexpr char16_t kCfgWindowCaption[] = u"QEL_CONFIG_EX";
inline constexpr char16_t kCfgFileName[] = u"QelCfg.exe";
// The single-instance mutex has the name of the main window's class.
inline constexpr char16_t kMonitorMutexName[] = u"TQelMonMain";
inline constexpr char16_t kMonitorWindowClass[] = u"TQelMonMain";
inline constexpr char16_t kMonitorWindowCaption[] = u"QEL_MONITOR_EX";
inline constexpr char16_t kApplicationTitle[] = u"QEL Skirmisher HV730 Gaming Mouse Monitor";
inline constexpr char16_t kTrayIconHint[] = u"QEL Skirmisher HV730 Gaming Mouse Driver";

// A HID top-level collection. As one 32-bit value, Usage is the low half and UsagePage the high.
struct USAGE_AND_PAGE {
    uint16_t Usage;
    uint16_t UsagePage;
};
static_assert(sizeof(USAGE_AND_PAGE) == 4);

// The collection the monitor reads; the profile data module sets it when it is created.
inline USAGE_AND_PAGE MouseUsageAndPage{};
inline constexpr USAGE_AND_PAGE kMouseVendorCollection{0x0001, 0xFFA0};

// Window messages between the monitor and the configuration program.
inline constexpr unsigned WM_CFG_PROFILE_CHANGED = 7035;
inline constexpr unsigned WM_MONITOR_EXIT = 7036;
inline constexpr unsigned WM_CFG_SETTINGS_CHANGED = 7037;
inline constexpr unsigned WM_DEVICE_PROFILE_SWITCHED = 7040;
inline constexpr unsigned WM_DEVICE_EVENT = 7524;
// The monitor's own, posted to its main window by the microphone endpoint's change callback with
// the new mute state in wParam (1 muted, 0 not): WM_APP + 0x3A3, which no other program sends.
inline constexpr unsigned WM_MICROPHONE_MUTE_CHANGED = 0x8000 + 0x3A3;

// The device's button report patterns: entry j is the report identifier 7 followed by the 24-bit
// value with only bit j set, least significant byte first. The position is the key index.
inline constexpr int kKeyIndexCount = 24;
inline constexpr std::array<std::array<uint8_t, 4>, kKeyIndexCount> KeyIndexTable = [] {
    std::array<std::array<uint8_t, 4>, kKeyIndexCount> table{};
    for (int j = 0; j < kKeyIndexCount; ++j) {
        const uint32_t bit = uint32_t{1} << j;
        table[j] = {7, static_cast<uint8_t>(bit), static_cast<uint8_t>(bit >> 8),
                    static_cast<uint8_t>(bit >> 16)};
    }
    return table;
}();
