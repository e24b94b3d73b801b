#pragma once
// The platform-free rules of the HID device walk: the hardware-ID list of a device node, the
// device filters of the finder and the transfers, and the choice of one button change.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using TTextList = std::vector<std::u16string>;

// Splits a list of zero-terminated strings ended by an empty string, reading no more than
// ACount characters (a list without its final terminator ends at ACount).
TTextList SplitMultiString(const char16_t* AText, size_t ACount);

// Membership as the device filters use it: whole strings, letter case ignored. Hardware IDs are
// ASCII, so ASCII letters are folded.
bool ContainsText(const TTextList& AList, const std::u16string& AText);

// The filter of HidFindAndReadDevice: an empty configured list passes every device; with "*"
// any configured entry must be among the device's hardware IDs; otherwise AHIDID must be.
bool PassesReadFilter(const TTextList& AConfigured, const std::u16string& AHIDID, const TTextList& AHardwareIDs);

// The filter of the writes, feature transfers and the existence test: a specific ADeviceID must
// be among the hardware IDs; an empty one or "*" leaves it to the configured list (empty passes).
bool PassesTransferFilter(const TTextList& AConfigured, const std::u16string& ADeviceID,
                          const TTextList& AHardwareIDs);

// One 32-bit button change from the released (break) and pressed (make) usage lists of ACount
// entries, 0 meaning "no entry": the first released usage in the low half, else the first pressed
// usage in the high half, else 0.
uint32_t ButtonChange(const uint16_t* AReleased, const uint16_t* APressed, size_t ACount);
