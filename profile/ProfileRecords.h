#pragma once
// The profile records the monitor shares with the configuration program and the device. Their
// stored images are exactly these bytes, little-endian, so every field has a fixed-width type,
// every pad byte is a named member (a record copy then carries it too) and every size and offset
// is checked below in each build.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// One 8-byte identity, seen as raw bytes, as a date-time (days since 30 December 1899, the
// fraction the time of day) or as a plain double; 8-aligned like the double it holds.
struct alignas(8) TProfileUIDData {
    uint8_t RawData[8];

    double DataTime() const
    {
        double value;
        std::memcpy(&value, RawData, sizeof value);
        return value;
    }
    void SetDataTime(double AValue) { std::memcpy(RawData, &AValue, sizeof AValue); }
    double DoubleData() const { return DataTime(); }
};

struct TProfileHeader {
    int32_t FFileVersion;
    char16_t FFileType[4];
    char16_t FFileName[22];
    uint32_t FProfileSize;
    uint8_t Pad60[4];
    TProfileUIDData FProfileUID;
};

struct TFUNCTIONLIST {
    uint8_t FunctionInfo[800];
};

// A key combination by virtual-key codes; nModifier holds MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4,
// MOD_WIN 8.
struct TCOMBOKEYINFO {
    uint16_t nKeyValue1;
    uint16_t nKey1Extended;
    uint16_t nKeyValue2;
    uint16_t nKey2Extended;
    uint16_t nModifier;
};

// A key or media function by HID usage codes; nModifier holds the HID keyboard modifier bits
// (1 left Ctrl, 2 left Shift, 4 left Alt, 8 left GUI).
struct THID_CODE_INFO {
    uint16_t nKeyValue1;
    uint16_t nKeyValue2;
    uint16_t nModifier;
};

struct TBUTTONFUNCINFO {
    uint16_t SingleKey[3];
    TCOMBOKEYINFO ComboKey;
    THID_CODE_INFO HIDKey;
    uint8_t Opaque22[904];
    uint16_t MacroIndex;
    uint8_t Opaque928[2952];
    uint8_t ReportPattern[3];
    uint8_t Opaque3883[21];
    uint16_t ButtonIndex;
    uint16_t FunctionCode;
    uint8_t FunctionType;
    uint8_t Opaque3909[3];
    int32_t DeviceAction;
    int32_t FunctionID;
    uint8_t Opaque3920[4];
};

struct TCPISTATE {
    uint16_t CPIX;
    uint16_t CPIY;
    uint16_t Active;
    uint8_t Opaque6[4];
};

struct TLEDCONFIG {
    uint8_t R;
    uint8_t G;
    uint8_t B;
    uint8_t BRIGHT_LEVEL;
    uint8_t BREATH_SPEED;
    uint8_t BREATH_SECOND;
};

struct TSENSORLIFT {
    uint8_t SensorLift;
};

struct TPROFILE_MACRO_PATH {
    char16_t FilePath[513];
};

inline constexpr int kMaxButtonCount = 15;
inline constexpr int kCPIStateCount = 11;

struct TMOUSECONFIGINFO {
    TBUTTONFUNCINFO ButtonFuncInfo[kMaxButtonCount];
    TBUTTONFUNCINFO VWheelButtonFuncInfo[2];
    TBUTTONFUNCINFO HWheelButtonFuncInfo[2];
    uint16_t VWheelType;
    uint16_t HWheelType;
    uint16_t VWheelSpeed;
    uint16_t HWheelSpeed;
    uint16_t DoubleClickSpeed;
    uint16_t PointerSpeed;
    uint16_t PointerAcceleration;
    uint16_t UseSystemPointerSpeedSetting;
    uint16_t ReportRate;
    uint8_t Pad74574[2];
    int32_t CurrentCPIIndex;
    uint16_t CurrentCPIX;
    uint16_t CurrentCPIY;
    uint16_t MinCPI;
    uint16_t MaxCPI;
    uint16_t UseDiffentXY[kCPIStateCount];
    uint16_t UseCPIOnScreenFlyShow;
    TCPISTATE CPIState[kCPIStateCount];
    uint16_t CPILevel;
    uint16_t AutoSwitchProfileWhenAppRun;
    uint8_t ApplicationList[10 * sizeof(TPROFILE_MACRO_PATH)];
    TLEDCONFIG LEDConfig;
    TSENSORLIFT Sensorlift;
    uint8_t Pad84993[3];
    int32_t ButtonCount;
    TPROFILE_MACRO_PATH ProfilePath;
    TPROFILE_MACRO_PATH MacroPath;
    int32_t FireKeySpeed;
    int32_t FireKeyCount;
};

struct TMACROKEYINFO {
    uint8_t MacroList[768];
    int32_t MacroListCount;
    uint16_t nAutoAddDelay;
    uint8_t nLoopRunWhenPressed;
    uint8_t Pad775;
    uint16_t nLoopCount;
    uint16_t nMacroIndex;
    uint8_t MacroUse;
    uint8_t Pad781;
    char16_t szMacroName[51];
    uint32_t Version;
    int32_t HaveErrors;
    int32_t ErrorCount;
};

struct TMACROKEYINFOLIST {
    TMACROKEYINFO MacroInfos[30];
    uint16_t nMacroInfoCount;
    uint8_t Pad26882[2];
};

struct TMACROINFOLIST_TO_DEVICE {
    TMACROKEYINFO MacroInfos[5];
    uint16_t nMacroInfoCount;
    uint8_t Pad4482[2];
};

// HelpFile is a reference only in the configuration program's memory; here it is 4 bytes carried
// as they are, so its width never depends on the build. The data module keeps its list of help
// files beside the record.
struct TOtherConfig {
    int32_t ShowNumLock;
    int32_t ShowCapsLock;
    int32_t ShowScrollLock;
    int32_t ShowLockStatePop;
    uint8_t HelpFile[4];
    int32_t Nologo;
};

struct TMouseProfileInfo {
    TProfileHeader ProfileHeader;
    TFUNCTIONLIST FunctionList;
    TMOUSECONFIGINFO ConfigInfo;
    TFUNCTIONLIST HWheelFunctionList;
    TFUNCTIONLIST VWheelFunctionList;
    TMACROKEYINFOLIST MacroKeyInfoList;
    TMACROINFOLIST_TO_DEVICE MacroInfoToDevice;
    TOtherConfig OtherConfig;
    uint8_t Pad120924[4];
};

// StorageKind values of a profile's location.
inline constexpr uint8_t kStorageRegistry = 0;
inline constexpr uint8_t kStorageFile = 1;

struct TProfileSettingItem {
    uint16_t State;
    char16_t ProfileFolderPath[1024];
    char16_t RegistryFolder[1024];
    char16_t ProfileFileName[21];
    char16_t MacroFolderPath[1024];
    uint8_t StorageKind;
    uint8_t Pad6189;
};

inline constexpr int kGameProfileCount = 5;
inline constexpr int kProfileGroupCount = 2;

struct TProfileSettingGroup {
    int32_t CurrentProfileGroup;
    int32_t ProfileIndexOfProfileGroup[kProfileGroupCount];
    TProfileSettingItem ProfileSettingList[kGameProfileCount];
    uint8_t Pad30962[2];
};

struct TALLGAMESINFO {
    TProfileSettingItem Allgameset[kGameProfileCount];
    uint16_t CurrentGame;
    uint8_t CurrentLanguage;
    uint8_t Pad30953;
};

// A text array holds its text up to a NUL unit, or fills the array with no terminator.
template <size_t N>
std::u16string ArrayText(const char16_t (&AArray)[N])
{
    size_t length = 0;
    while (length < N && AArray[length] != 0) ++length;
    return std::u16string(AArray, length);
}

// Copies as much of the text as fits, with a terminator when there is room for one; the units
// after the terminator keep what they held.
template <size_t N>
void SetArrayText(char16_t (&AArray)[N], std::u16string_view AText)
{
    const size_t length = AText.size() < N ? AText.size() : N;
    for (size_t i = 0; i < length; ++i) AArray[i] = AText[i];
    if (length < N) AArray[length] = 0;
}

// The stored layout, checked wherever the records are compiled.
static_assert(std::endian::native == std::endian::little, "records are stored in memory order");
#define QEL_LAYOUT(R, F, OFFSET) static_assert(offsetof(R, F) == (OFFSET), #R "." #F)

static_assert(sizeof(TProfileUIDData) == 8);
static_assert(sizeof(TProfileHeader) == 72);
QEL_LAYOUT(TProfileHeader, FFileVersion, 0);
QEL_LAYOUT(TProfileHeader, FFileType, 4);
QEL_LAYOUT(TProfileHeader, FFileName, 12);
QEL_LAYOUT(TProfileHeader, FProfileSize, 56);
QEL_LAYOUT(TProfileHeader, Pad60, 60);
QEL_LAYOUT(TProfileHeader, FProfileUID, 64);

static_assert(sizeof(TFUNCTIONLIST) == 800);
static_assert(sizeof(TCOMBOKEYINFO) == 10);
QEL_LAYOUT(TCOMBOKEYINFO, nKeyValue1, 0);
QEL_LAYOUT(TCOMBOKEYINFO, nKey1Extended, 2);
QEL_LAYOUT(TCOMBOKEYINFO, nKeyValue2, 4);
QEL_LAYOUT(TCOMBOKEYINFO, nKey2Extended, 6);
QEL_LAYOUT(TCOMBOKEYINFO, nModifier, 8);
static_assert(sizeof(THID_CODE_INFO) == 6);
QEL_LAYOUT(THID_CODE_INFO, nKeyValue1, 0);
QEL_LAYOUT(THID_CODE_INFO, nKeyValue2, 2);
QEL_LAYOUT(THID_CODE_INFO, nModifier, 4);

static_assert(sizeof(TBUTTONFUNCINFO) == 3924);
QEL_LAYOUT(TBUTTONFUNCINFO, SingleKey, 0);
QEL_LAYOUT(TBUTTONFUNCINFO, ComboKey, 6);
QEL_LAYOUT(TBUTTONFUNCINFO, HIDKey, 16);
QEL_LAYOUT(TBUTTONFUNCINFO, Opaque22, 22);
QEL_LAYOUT(TBUTTONFUNCINFO, MacroIndex, 926);
QEL_LAYOUT(TBUTTONFUNCINFO, Opaque928, 928);
QEL_LAYOUT(TBUTTONFUNCINFO, ReportPattern, 3880);
QEL_LAYOUT(TBUTTONFUNCINFO, Opaque3883, 3883);
QEL_LAYOUT(TBUTTONFUNCINFO, ButtonIndex, 3904);
QEL_LAYOUT(TBUTTONFUNCINFO, FunctionCode, 3906);
QEL_LAYOUT(TBUTTONFUNCINFO, FunctionType, 3908);
QEL_LAYOUT(TBUTTONFUNCINFO, Opaque3909, 3909);
QEL_LAYOUT(TBUTTONFUNCINFO, DeviceAction, 3912);
QEL_LAYOUT(TBUTTONFUNCINFO, FunctionID, 3916);
QEL_LAYOUT(TBUTTONFUNCINFO, Opaque3920, 3920);

static_assert(sizeof(TCPISTATE) == 10);
QEL_LAYOUT(TCPISTATE, CPIX, 0);
QEL_LAYOUT(TCPISTATE, CPIY, 2);
QEL_LAYOUT(TCPISTATE, Active, 4);
QEL_LAYOUT(TCPISTATE, Opaque6, 6);
static_assert(sizeof(TLEDCONFIG) == 6);
QEL_LAYOUT(TLEDCONFIG, R, 0);
QEL_LAYOUT(TLEDCONFIG, G, 1);
QEL_LAYOUT(TLEDCONFIG, B, 2);
QEL_LAYOUT(TLEDCONFIG, BRIGHT_LEVEL, 3);
QEL_LAYOUT(TLEDCONFIG, BREATH_SPEED, 4);
QEL_LAYOUT(TLEDCONFIG, BREATH_SECOND, 5);
static_assert(sizeof(TSENSORLIFT) == 1);
static_assert(sizeof(TPROFILE_MACRO_PATH) == 1026);

static_assert(sizeof(TMOUSECONFIGINFO) == 87060);
QEL_LAYOUT(TMOUSECONFIGINFO, ButtonFuncInfo, 0);
QEL_LAYOUT(TMOUSECONFIGINFO, VWheelButtonFuncInfo, 58860);
QEL_LAYOUT(TMOUSECONFIGINFO, HWheelButtonFuncInfo, 66708);
QEL_LAYOUT(TMOUSECONFIGINFO, VWheelType, 74556);
QEL_LAYOUT(TMOUSECONFIGINFO, HWheelType, 74558);
QEL_LAYOUT(TMOUSECONFIGINFO, VWheelSpeed, 74560);
QEL_LAYOUT(TMOUSECONFIGINFO, HWheelSpeed, 74562);
QEL_LAYOUT(TMOUSECONFIGINFO, DoubleClickSpeed, 74564);
QEL_LAYOUT(TMOUSECONFIGINFO, PointerSpeed, 74566);
QEL_LAYOUT(TMOUSECONFIGINFO, PointerAcceleration, 74568);
QEL_LAYOUT(TMOUSECONFIGINFO, UseSystemPointerSpeedSetting, 74570);
QEL_LAYOUT(TMOUSECONFIGINFO, ReportRate, 74572);
QEL_LAYOUT(TMOUSECONFIGINFO, Pad74574, 74574);
QEL_LAYOUT(TMOUSECONFIGINFO, CurrentCPIIndex, 74576);
QEL_LAYOUT(TMOUSECONFIGINFO, CurrentCPIX, 74580);
QEL_LAYOUT(TMOUSECONFIGINFO, CurrentCPIY, 74582);
QEL_LAYOUT(TMOUSECONFIGINFO, MinCPI, 74584);
QEL_LAYOUT(TMOUSECONFIGINFO, MaxCPI, 74586);
QEL_LAYOUT(TMOUSECONFIGINFO, UseDiffentXY, 74588);
QEL_LAYOUT(TMOUSECONFIGINFO, UseCPIOnScreenFlyShow, 74610);
QEL_LAYOUT(TMOUSECONFIGINFO, CPIState, 74612);
QEL_LAYOUT(TMOUSECONFIGINFO, CPILevel, 74722);
QEL_LAYOUT(TMOUSECONFIGINFO, AutoSwitchProfileWhenAppRun, 74724);
QEL_LAYOUT(TMOUSECONFIGINFO, ApplicationList, 74726);
QEL_LAYOUT(TMOUSECONFIGINFO, LEDConfig, 84986);
QEL_LAYOUT(TMOUSECONFIGINFO, Sensorlift, 84992);
QEL_LAYOUT(TMOUSECONFIGINFO, Pad84993, 84993);
QEL_LAYOUT(TMOUSECONFIGINFO, ButtonCount, 84996);
QEL_LAYOUT(TMOUSECONFIGINFO, ProfilePath, 85000);
QEL_LAYOUT(TMOUSECONFIGINFO, MacroPath, 86026);
QEL_LAYOUT(TMOUSECONFIGINFO, FireKeySpeed, 87052);
QEL_LAYOUT(TMOUSECONFIGINFO, FireKeyCount, 87056);

static_assert(sizeof(TMACROKEYINFO) == 896);
QEL_LAYOUT(TMACROKEYINFO, MacroList, 0);
QEL_LAYOUT(TMACROKEYINFO, MacroListCount, 768);
QEL_LAYOUT(TMACROKEYINFO, nAutoAddDelay, 772);
QEL_LAYOUT(TMACROKEYINFO, nLoopRunWhenPressed, 774);
QEL_LAYOUT(TMACROKEYINFO, Pad775, 775);
QEL_LAYOUT(TMACROKEYINFO, nLoopCount, 776);
QEL_LAYOUT(TMACROKEYINFO, nMacroIndex, 778);
QEL_LAYOUT(TMACROKEYINFO, MacroUse, 780);
QEL_LAYOUT(TMACROKEYINFO, Pad781, 781);
QEL_LAYOUT(TMACROKEYINFO, szMacroName, 782);
QEL_LAYOUT(TMACROKEYINFO, Version, 884);
QEL_LAYOUT(TMACROKEYINFO, HaveErrors, 888);
QEL_LAYOUT(TMACROKEYINFO, ErrorCount, 892);
static_assert(sizeof(TMACROKEYINFOLIST) == 26884);
QEL_LAYOUT(TMACROKEYINFOLIST, nMacroInfoCount, 26880);
QEL_LAYOUT(TMACROKEYINFOLIST, Pad26882, 26882);
static_assert(sizeof(TMACROINFOLIST_TO_DEVICE) == 4484);
QEL_LAYOUT(TMACROINFOLIST_TO_DEVICE, nMacroInfoCount, 4480);
QEL_LAYOUT(TMACROINFOLIST_TO_DEVICE, Pad4482, 4482);

static_assert(sizeof(TOtherConfig) == 24);
QEL_LAYOUT(TOtherConfig, ShowNumLock, 0);
QEL_LAYOUT(TOtherConfig, ShowCapsLock, 4);
QEL_LAYOUT(TOtherConfig, ShowScrollLock, 8);
QEL_LAYOUT(TOtherConfig, ShowLockStatePop, 12);
QEL_LAYOUT(TOtherConfig, HelpFile, 16);
QEL_LAYOUT(TOtherConfig, Nologo, 20);

static_assert(sizeof(TMouseProfileInfo) == 120928);
QEL_LAYOUT(TMouseProfileInfo, ProfileHeader, 0);
QEL_LAYOUT(TMouseProfileInfo, FunctionList, 72);
QEL_LAYOUT(TMouseProfileInfo, ConfigInfo, 872);
QEL_LAYOUT(TMouseProfileInfo, HWheelFunctionList, 87932);
QEL_LAYOUT(TMouseProfileInfo, VWheelFunctionList, 88732);
QEL_LAYOUT(TMouseProfileInfo, MacroKeyInfoList, 89532);
QEL_LAYOUT(TMouseProfileInfo, MacroInfoToDevice, 116416);
QEL_LAYOUT(TMouseProfileInfo, OtherConfig, 120900);
QEL_LAYOUT(TMouseProfileInfo, Pad120924, 120924);
// Where the monitor finds the function code of button n in a stored profile: 4778 + 3924 n.
static_assert(offsetof(TMouseProfileInfo, ConfigInfo) + offsetof(TBUTTONFUNCINFO, FunctionCode) == 4778);

static_assert(sizeof(TProfileSettingItem) == 6190);
QEL_LAYOUT(TProfileSettingItem, State, 0);
QEL_LAYOUT(TProfileSettingItem, ProfileFolderPath, 2);
QEL_LAYOUT(TProfileSettingItem, RegistryFolder, 2050);
QEL_LAYOUT(TProfileSettingItem, ProfileFileName, 4098);
QEL_LAYOUT(TProfileSettingItem, MacroFolderPath, 4140);
QEL_LAYOUT(TProfileSettingItem, StorageKind, 6188);
QEL_LAYOUT(TProfileSettingItem, Pad6189, 6189);

static_assert(sizeof(TProfileSettingGroup) == 30964);
QEL_LAYOUT(TProfileSettingGroup, CurrentProfileGroup, 0);
QEL_LAYOUT(TProfileSettingGroup, ProfileIndexOfProfileGroup, 4);
QEL_LAYOUT(TProfileSettingGroup, ProfileSettingList, 12);
QEL_LAYOUT(TProfileSettingGroup, Pad30962, 30962);

static_assert(sizeof(TALLGAMESINFO) == 30954);
QEL_LAYOUT(TALLGAMESINFO, Allgameset, 0);
QEL_LAYOUT(TALLGAMESINFO, CurrentGame, 30950);
QEL_LAYOUT(TALLGAMESINFO, CurrentLanguage, 30952);
QEL_LAYOUT(TALLGAMESINFO, Pad30953, 30953);

#undef QEL_LAYOUT
