#pragma once
// Factory values of the profile records. Each function writes exactly the fields it names; every
// other byte of the record keeps what it held (only the test profile clears the whole record).
#include <cstdint>
#include <string>
#include <string_view>

#include "profile/ConfigOptions.h"
#include "profile/ProfileRecords.h"

inline constexpr int32_t kProfileFileVersion = 259;

// Local date and time as a TDateTime: days since 30 December 1899, the fraction the time of day.
double EncodeDateTime(int AYear, int AMonth, int ADay, int AHour, int AMinute, int ASecond,
                      int AMilliseconds);

// Game profile 1..5 (any other number changes nothing); ANow becomes the profile's identity.
void RestoreGameProfileDefaults(TMouseProfileInfo& AInfo, int AGameNumber, double ANow);
void RestoreTestProfileDefaults(TMouseProfileInfo& AInfo, double ANow);

// Entry of game profile AProfileNumber (1..5) in the group record; AProfilePath is the profile
// folder with its trailing "\".
void RestoreProfileSettingItemDefaults(TProfileSettingItem& AItem, int AProfileNumber,
                                       const TOptionsFromConfigFile& AOptions,
                                       const std::u16string& AProfilePath);
// Group 0 uses game profile 0, group 1 game profile 1; group 0 is current.
void RestoreProfileGroupSelectionDefaults(TProfileSettingGroup& AGroup);

// The language index of a system default language identifier in its four-digit upper-case
// hexadecimal form: "0804" 1, "0404" 2, any other 0.
uint8_t LanguageIndexOfLangID(std::u16string_view ALangID);
std::u16string LangIDText(uint16_t ALangID);
void RestoreAllSettingDefaults(TALLGAMESINFO& AInfo, std::u16string_view AOSDefaultLang);

// Four CPI levels of the factory profile; CPILevel is kept.
void RestoreCPISettingDefaults(TMOUSECONFIGINFO& AConfig);
void RestoreLightAndReportDefaults(TMOUSECONFIGINFO& AConfig);
