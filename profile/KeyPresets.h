#pragma once
// The preset keys of the office, Windows and multimedia functions, each in both encodings: by HID
// usage codes and by virtual-key codes. Every table has 50 slots; those after the listed rows are
// zero.
#include "profile/ProfileRecords.h"

inline constexpr int kKeyPresetSlots = 50;

struct TKeyPresets {
    THID_CODE_INFO HIDCodes[kKeyPresetSlots];
    TCOMBOKEYINFO ComboKeys[kKeyPresetSlots];
};

// Built once, on first use.
const TKeyPresets& OfficeKeyPresets();
const TKeyPresets& WindowsKeyPresets();
const TKeyPresets& MultimediaKeyPresets();

// Copy one row into the caller's record; an index outside the table leaves the record as it is.
void GetMultimediaHIDCode(int AIndex, THID_CODE_INFO& ACode);
void GetWindowsKeyCombo(int AIndex, TCOMBOKEYINFO& ACombo);
