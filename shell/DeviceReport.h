#pragma once
// The mouse's vendor input reports and the device events they stand for: decoding a report into
// the wParam of WM_DEVICE_EVENT, and what the main window does with that wParam. No Windows
// header: the decoding reads bytes that come from the device.
#include <cstdint>
#include <optional>
#include <span>

inline constexpr uint8_t kButtonReportID = 7;
inline constexpr uint8_t kProfileReportID = 8;
// Data bytes of both reports, the report identifier not counted.
inline constexpr uint16_t kDeviceReportDataSize = 7;
// WM_DEVICE_EVENT's wParam for a switch to profile 0; profiles 1..4 follow.
inline constexpr unsigned kProfileSwitchEvent = 21;
inline constexpr unsigned kDeviceProfileCount = 5;

// The wParam that WM_DEVICE_EVENT carries for one input report (AData: the bytes after the
// report identifier), or nothing when the report is to be dropped.
std::optional<unsigned> DecodeDeviceReport(uint8_t AReportID, std::span<const uint8_t> AData);

struct TDeviceEvent {
    enum class TKind { Ignored, ProfileSwitch, Button };
    TKind Kind = TKind::Ignored;
    // The profile switched to (0..4), or the key index of a button with an assignment in the
    // profile (below kMaxButtonCount).
    unsigned Index = 0;
    bool operator==(const TDeviceEvent&) const = default;
};

// What the main window does with a WM_DEVICE_EVENT's wParam; profile switches are tested first.
TDeviceEvent ClassifyDeviceEvent(uintptr_t AWParam);

// The ProfileID value recorded for a switch to AProfile: 0 for profile 0, 1 for every other.
// The configuration program reads the value with this meaning.
uint32_t ProfileIDOfProfile(unsigned AProfile);
