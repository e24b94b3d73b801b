#include "profile/KeyPresets.h"

#include <initializer_list>

namespace {

struct TPresetRow {
    THID_CODE_INFO HIDCode;
    TCOMBOKEYINFO ComboKey;
};

TKeyPresets Build(std::initializer_list<TPresetRow> ARows)
{
    TKeyPresets presets{};
    int slot = 0;
    for (const TPresetRow& row : ARows) {
        presets.HIDCodes[slot] = row.HIDCode;
        presets.ComboKeys[slot] = row.ComboKey;
        ++slot;
    }
    return presets;
}

bool InTable(int AIndex) { return AIndex >= 0 && AIndex < kKeyPresetSlots; }

}  // namespace

// HID usages of the keyboard page with the HID Ctrl modifier 1; virtual keys with MOD_CONTROL 2.
const TKeyPresets& OfficeKeyPresets()
{
    static const TKeyPresets presets = Build({
        {{27, 0, 1}, {'X', 0, 0, 0, 2}},
        {{6, 0, 1}, {'C', 0, 0, 0, 2}},
        {{25, 0, 1}, {'V', 0, 0, 0, 2}},
        {{4, 0, 1}, {'A', 0, 0, 0, 2}},
        {{9, 0, 1}, {'F', 0, 0, 0, 2}},
        {{17, 0, 1}, {'N', 0, 0, 0, 2}},
        {{19, 0, 1}, {'P', 0, 0, 0, 2}},
        {{22, 0, 1}, {'S', 0, 0, 0, 2}},
    });
    return presets;
}

// HID Alt 4 and GUI 8; MOD_ALT 1 and MOD_WIN 8.
const TKeyPresets& WindowsKeyPresets()
{
    static const TKeyPresets presets = Build({
        {{43, 0, 4}, {9, 0, 0, 0, 1}},     // Alt+Tab
        {{61, 0, 4}, {115, 0, 0, 0, 1}},   // Alt+F4
        {{8, 0, 8}, {'E', 0, 0, 0, 8}},
        {{21, 0, 8}, {'R', 0, 0, 0, 8}},
        {{7, 0, 8}, {'D', 0, 0, 0, 8}},
        {{15, 0, 8}, {'L', 0, 0, 0, 8}},
    });
    return presets;
}

// Consumer-page usages; the media virtual keys are extended keys.
const TKeyPresets& MultimediaKeyPresets()
{
    static const TKeyPresets presets = Build({
        {{205, 0, 0}, {179, 1, 0, 0, 0}},  // play/pause
        {{183, 0, 0}, {178, 1, 0, 0, 0}},  // stop
        {{182, 0, 0}, {177, 1, 0, 0, 0}},  // previous track
        {{181, 0, 0}, {176, 1, 0, 0, 0}},  // next track
        {{233, 0, 0}, {175, 1, 0, 0, 0}},  // volume up
        {{234, 0, 0}, {174, 1, 0, 0, 0}},  // volume down
        {{226, 0, 0}, {173, 1, 0, 0, 0}},  // mute
        {{387, 0, 0}, {181, 1, 0, 0, 0}},  // media select
    });
    return presets;
}

void GetMultimediaHIDCode(int AIndex, THID_CODE_INFO& ACode)
{
    if (InTable(AIndex)) ACode = MultimediaKeyPresets().HIDCodes[AIndex];
}

void GetWindowsKeyCombo(int AIndex, TCOMBOKEYINFO& ACombo)
{
    if (InTable(AIndex)) ACombo = WindowsKeyPresets().ComboKeys[AIndex];
}
