#include "profile/FactoryDefaults.h"

#include <cstddef>
#include <cstring>

#include "framework/core/Text.h"
#include "profile/FunctionTable.h"
#include "profile/KeyPresets.h"
#include "profile/ProductConstants.h"

namespace {

constexpr int kDefaultCPILevels = 5;
constexpr uint16_t kDefaultCPI[kDefaultCPILevels] = {1000, 2000, 4000, 8200, 16400};

// A clear of a button entry stops at ButtonIndex: the fields from there on are kept.
constexpr size_t kButtonClearedBytes = offsetof(TBUTTONFUNCINFO, ButtonIndex);
constexpr int kClearedButtons = 10;

void SetFunction(TBUTTONFUNCINFO& AButton, int AIndex, uint16_t ACode, uint8_t AType,
                 int32_t AAction, int32_t ANumber)
{
    AButton.ButtonIndex = static_cast<uint16_t>(AIndex);
    AButton.FunctionCode = ACode;
    AButton.FunctionType = AType;
    AButton.DeviceAction = AAction;
    AButton.FunctionID = ANumber;
}

void SetCPILevel(TCPISTATE& AState, uint16_t ACPI)
{
    AState.CPIX = ACPI;
    AState.CPIY = ACPI;
    AState.Active = 1;
}

enum class TKeyData { None, Multimedia, HID, WindowsCombo, Combo, SingleKey };

struct TButtonDefault {
    uint16_t Code;
    uint8_t Type;
    int32_t Action;
    int32_t Number;
    TKeyData Key;
    uint16_t KeyValue;   // multimedia or Windows preset row, HID usage, virtual key
    uint16_t Modifier;   // HID usage's second value, or the combination's modifiers
};

// Buttons 3..8 of games 1, 2 and 3..5.
constexpr TButtonDefault kGame1Buttons[6] = {
    {24, 10, 14, 1004, TKeyData::Multimedia, 3, 0},  // next track
    {23, 10, 14, 1003, TKeyData::Multimedia, 2, 0},  // previous track
    {21, 10, 14, 1001, TKeyData::Multimedia, 0, 0},  // play/pause
    {27, 10, 14, 1007, TKeyData::Multimedia, 6, 0},  // mute
    {25, 10, 14, 1005, TKeyData::Multimedia, 4, 0},  // volume up
    {26, 10, 14, 1006, TKeyData::Multimedia, 5, 0},  // volume down
};
constexpr TButtonDefault kGame2Buttons[6] = {
    {3, 8, 5, 4, TKeyData::None, 0, 0},
    {4, 8, 4, 5, TKeyData::None, 0, 0},
    {29, 10, 14, 1009, TKeyData::HID, 39, 2},
    {16, 3, 15, 902, TKeyData::WindowsCombo, 1, 0},  // Alt+F4
    {6, 3, 15, 7, TKeyData::Combo, 'T', 2},          // Ctrl+T
    {6, 3, 15, 7, TKeyData::Combo, 'W', 2},          // Ctrl+W
};
// Code 30 carries action class 25 and number 12 here, not the function table's 17 and 11: the
// configuration program reads these stored values as they are.
constexpr TButtonDefault kGame3To5Buttons[6] = {
    {5, 8, 16, 6, TKeyData::SingleKey, 164, 0},  // left Alt
    {5, 8, 16, 6, TKeyData::SingleKey, 162, 0},  // left Ctrl
    {5, 8, 16, 6, TKeyData::SingleKey, 160, 0},  // left Shift
    {30, 13, 25, 12, TKeyData::None, 0, 0},
    {33, 1, 10, 14, TKeyData::None, 0, 0},
    {34, 1, 9, 15, TKeyData::None, 0, 0},
};

void ApplyButton(TBUTTONFUNCINFO& AButton, int AIndex, const TButtonDefault& ADefault)
{
    SetFunction(AButton, AIndex, ADefault.Code, ADefault.Type, ADefault.Action, ADefault.Number);
    switch (ADefault.Key) {
    case TKeyData::None:
        break;
    case TKeyData::Multimedia:
        GetMultimediaHIDCode(ADefault.KeyValue, AButton.HIDKey);
        break;
    case TKeyData::HID:
        AButton.HIDKey = {ADefault.KeyValue, ADefault.Modifier, 0};
        break;
    case TKeyData::WindowsCombo:
        GetWindowsKeyCombo(ADefault.KeyValue, AButton.ComboKey);
        break;
    case TKeyData::Combo:
        AButton.ComboKey = {ADefault.KeyValue, 0, 0, 0, ADefault.Modifier};
        break;
    case TKeyData::SingleKey:
        AButton.SingleKey[1] = ADefault.KeyValue;
        AButton.SingleKey[2] = 0;
        break;
    }
}

constexpr TLEDCONFIG kGameColours[kGameProfileCount] = {
    {255, 255, 0, 0, 0, 0}, {0, 255, 0, 0, 0, 0}, {0, 0, 255, 0, 0, 0},
    {217, 10, 126, 0, 0, 0}, {255, 0, 0, 0, 0, 0},
};

void SetIdentity(TMouseProfileInfo& AInfo, double ANow)
{
    AInfo.ProfileHeader.FProfileUID.SetDataTime(ANow);
    AInfo.ProfileHeader.FFileVersion = kProfileFileVersion;
}

}  // namespace

double EncodeDateTime(int AYear, int AMonth, int ADay, int AHour, int AMinute, int ASecond,
                      int AMilliseconds)
{
    // Days since 1 January 1970 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
    const int y = AYear - (AMonth <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (AMonth + (AMonth > 2 ? -3 : 9)) + 2) / 5 + ADay - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long long unixDays = static_cast<long long>(era) * 146097 + doe - 719468;
    constexpr long long kDaysFrom1899To1970 = 25569;
    const double milliseconds = ((AHour * 60.0 + AMinute) * 60.0 + ASecond) * 1000.0 + AMilliseconds;
    return static_cast<double>(unixDays + kDaysFrom1899To1970) + milliseconds / 86400000.0;
}

void RestoreGameProfileDefaults(TMouseProfileInfo& AInfo, int AGameNumber, double ANow)
{
    if (AGameNumber < 1 || AGameNumber > kGameProfileCount) return;
    SetIdentity(AInfo, ANow);
    TMOUSECONFIGINFO& config = AInfo.ConfigInfo;
    for (int n = 0; n < kClearedButtons; ++n) std::memset(&config.ButtonFuncInfo[n], 0, kButtonClearedBytes);
    for (int n = 0; n < 3; ++n)
        SetFunction(config.ButtonFuncInfo[n], n, static_cast<uint16_t>(n), 1,
                    FunctionTable[static_cast<size_t>(n)].DeviceAction, n + 1);

    const TButtonDefault* buttons = AGameNumber == 1   ? kGame1Buttons
                                    : AGameNumber == 2 ? kGame2Buttons
                                                       : kGame3To5Buttons;
    for (int n = 3; n <= 8; ++n) ApplyButton(config.ButtonFuncInfo[n], n, buttons[n - 3]);

    config.VWheelSpeed = 3;
    config.DoubleClickSpeed = 550;
    config.PointerSpeed = 10;
    config.PointerAcceleration = 0;
    config.ReportRate = 500;
    config.CPILevel = kDefaultCPILevels;
    config.CurrentCPIIndex = AGameNumber - 1;
    for (int i = 0; i < kDefaultCPILevels; ++i) {
        SetCPILevel(config.CPIState[i], kDefaultCPI[i]);
        config.UseDiffentXY[i] = 1;
    }
    const TLEDCONFIG& colour = kGameColours[AGameNumber - 1];
    config.LEDConfig.R = colour.R;
    config.LEDConfig.G = colour.G;
    config.LEDConfig.B = colour.B;
    config.LEDConfig.BRIGHT_LEVEL = 2;
    config.LEDConfig.BREATH_SPEED = 3;
    config.ButtonCount = 9;
}

void RestoreTestProfileDefaults(TMouseProfileInfo& AInfo, double ANow)
{
    std::memset(&AInfo, 0, sizeof AInfo);
    SetIdentity(AInfo, ANow);
    TMOUSECONFIGINFO& config = AInfo.ConfigInfo;
    config.ButtonCount = 10;
    for (int n = 0; n < 5; ++n)
        SetFunction(config.ButtonFuncInfo[n], n, static_cast<uint16_t>(n), 1,
                    FunctionTable[static_cast<size_t>(n)].DeviceAction, 0);
    // Buttons 5..9 report themselves to the host with the device's own button pattern.
    for (int n = 5; n < 10; ++n) {
        TBUTTONFUNCINFO& button = config.ButtonFuncInfo[n];
        SetFunction(button, n, 14, 11, 19, 0);
        std::memcpy(button.ReportPattern, &KeyIndexTable[static_cast<size_t>(n)][1], sizeof button.ReportPattern);
    }
    config.VWheelSpeed = 3;
    config.DoubleClickSpeed = 550;
    config.PointerSpeed = 10;
    config.ReportRate = 125;
    config.CPILevel = kDefaultCPILevels;
    config.PointerAcceleration = 0;
    config.LEDConfig.BRIGHT_LEVEL = 2;
    config.LEDConfig.BREATH_SPEED = 2;
    config.LEDConfig.R = 255;
    config.LEDConfig.G = 0;
    config.LEDConfig.B = 0;
    for (int i = 0; i < kDefaultCPILevels; ++i) {
        SetCPILevel(config.CPIState[i], kDefaultCPI[i]);
        config.UseDiffentXY[i] = 1;
    }
    config.CurrentCPIIndex = 1;
    AInfo.MacroKeyInfoList.nMacroInfoCount = 0;
}

void RestoreProfileSettingItemDefaults(TProfileSettingItem& AItem, int AProfileNumber,
                                       const TOptionsFromConfigFile& AOptions,
                                       const std::u16string& AProfilePath)
{
    const std::u16string number = IntToStr(AProfileNumber);
    AItem.State = 0;
    AItem.StorageKind = kStorageRegistry;
    SetArrayText(AItem.ProfileFileName, AOptions.ProfileNamePrefix + number + u".gpf");
    SetArrayText(AItem.RegistryFolder, AOptions.ProfileRegFolder);
    SetArrayText(AItem.ProfileFolderPath, AProfilePath);
    SetArrayText(AItem.MacroFolderPath, AProfilePath + u"\\" + AOptions.ProfileNamePrefix + number + u"_Macros");
}

void RestoreProfileGroupSelectionDefaults(TProfileSettingGroup& AGroup)
{
    AGroup.CurrentProfileGroup = 0;
    AGroup.ProfileIndexOfProfileGroup[0] = 0;
    AGroup.ProfileIndexOfProfileGroup[1] = 1;
}

uint8_t LanguageIndexOfLangID(std::u16string_view ALangID)
{
    if (ALangID == u"0804") return 1;
    if (ALangID == u"0404") return 2;
    return 0;
}

std::u16string LangIDText(uint16_t ALangID)
{
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string text(4, u'0');
    for (int i = 3; i >= 0; --i) {
        text[static_cast<size_t>(i)] = kDigits[ALangID & 0xF];
        ALangID = static_cast<uint16_t>(ALangID >> 4);
    }
    return text;
}

void RestoreAllSettingDefaults(TALLGAMESINFO& AInfo, std::u16string_view AOSDefaultLang)
{
    for (TProfileSettingItem& item : AInfo.Allgameset) {
        item.State = 0;
        item.StorageKind = kStorageRegistry;
        SetArrayText(item.ProfileFolderPath, u"");
    }
    AInfo.CurrentGame = 0;
    AInfo.Allgameset[0].State = 1;
    AInfo.CurrentLanguage = LanguageIndexOfLangID(AOSDefaultLang);
}

void RestoreCPISettingDefaults(TMOUSECONFIGINFO& AConfig)
{
    for (int i = 0; i < kDefaultCPILevels; ++i) AConfig.CPIState[i].CPIX = AConfig.CPIState[i].CPIY = AConfig.CPIState[i].Active = 0;
    for (int i = 0; i < 4; ++i) {
        SetCPILevel(AConfig.CPIState[i], kDefaultCPI[i]);
        AConfig.UseDiffentXY[i] = 0;
    }
    AConfig.CurrentCPIIndex = 1;
}

void RestoreLightAndReportDefaults(TMOUSECONFIGINFO& AConfig)
{
    AConfig.ReportRate = 125;
    AConfig.LEDConfig.BRIGHT_LEVEL = 2;
    AConfig.LEDConfig.BREATH_SPEED = 3;
    AConfig.LEDConfig.R = 255;
    AConfig.LEDConfig.G = 0;
    AConfig.LEDConfig.B = 0;
}
