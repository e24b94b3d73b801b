#include "profile/DMUnit.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>

#include "framework/core/Exception.h"
#include "framework/core/FilePath.h"
#include "framework/core/Text.h"
#include "framework/win/FileSystem.h"
#include "framework/win/IniFile.h"
#include "framework/win/WinText.h"
#include "profile/FactoryDefaults.h"
#include "profile/ProductConstants.h"

TDM* DM = nullptr;

namespace {

constexpr char16_t kAllSettingsValue[] = u"allsettings.pfd";
constexpr char16_t kSettingGroupValue[] = u"ProfileSettingGroup.pfd";
constexpr char16_t kRecordMacroValue[] = u"RecordRPROFILE.pfd";
constexpr char16_t kTestProfileValue[] = u"Q5500ProfileTest.pfd";
constexpr char16_t kDefaultProfileValue[] = u"Q5500ProfileDef.pfd";
constexpr char16_t kMacroDatabaseFile[] = u"\\MacroSet.MSDB";

// The user's documents folder with a trailing "\".
std::u16string PersonalDocuments()
{
    std::u16string path;
    LPITEMIDLIST items = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &items))) {
        wchar_t buffer[MAX_PATH] = {};
        if (SHGetPathFromIDListW(items, buffer)) path = U(buffer);
        CoTaskMemFree(items);
    }
    return IncludeTrailingPathDelimiter(path);
}

void ForceFolder(const std::u16string& AFolder)
{
    if (DirectoryExists(AFolder) || CreateDir(AFolder)) return;
    const std::u16string reason = SysErrorMessage(GetLastError());
    throw Exception(u"Unable to create directory \"" + AFolder + u"\". " + reason);
}

double Now()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    return EncodeDateTime(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
}

// Applies AEdit to the record the stream holds. A shorter stream is first taken as the start of
// a zero record and grows to the record's size; a longer one keeps its tail.
template <class TRecord, class F>
void EditStreamRecord(TMemoryStream& AStream, F AEdit)
{
    auto record = std::make_unique<TRecord>();
    AStream.SetPosition(0);
    AStream.Read(record.get(), sizeof(TRecord));
    AEdit(*record);
    AStream.SetPosition(0);
    AStream.Write(record.get(), sizeof(TRecord));
    AStream.SetPosition(0);
}

template <class TRecord>
int WriteRecord(TuiProfile* AProfile, const TRecord& ARecord)
{
    return AProfile->Write(&ARecord, sizeof(TRecord));
}

template <class TRecord>
int ReadRecord(TuiProfile* AProfile, TRecord& ARecord)
{
    return AProfile->Read(&ARecord, sizeof(TRecord));
}

}  // namespace

TDM::TDM(TComponent* AOwner) : TDM(AOwner, ProgramFolder()) {}

TDM::TDM(TComponent* AOwner, const std::u16string& AConfigFolder) : TComponent(AOwner)
{
    SetName(u"DM");
    uiProfileAllSettingInfo = NewProfile(u"uiProfileAllSettingInfo");
    uiProfileGame1 = NewProfile(u"uiProfileGame1");
    uiProfileGame2 = NewProfile(u"uiProfileGame2");
    uiProfileGame3 = NewProfile(u"uiProfileGame3");
    uiProfileGame4 = NewProfile(u"uiProfileGame4");
    uiProfileGame5 = NewProfile(u"uiProfileGame5");
    uiProfileSettingGroup = NewProfile(u"uiProfileSettingGroup");
    uiProfileDefaultGame = NewProfile(u"uiProfileDefaultGame");
    uiProfileTest = NewProfile(u"uiProfileTest");
    uiProfileRecordMacroInfo = NewProfile(u"uiProfileRecordMacroInfo");
    uiProfileAllSettingInfo->OnRestoreToDefault.Bind(this, &TDM::uiProfileAllSettingInfoRestoreToDefault);
    uiProfileGame1->OnRestoreToDefault.Bind(this, &TDM::uiProfileGame1RestoreToDefault);
    uiProfileGame2->OnRestoreToDefault.Bind(this, &TDM::uiProfileGame2RestoreToDefault);
    uiProfileGame3->OnRestoreToDefault.Bind(this, &TDM::uiProfileGame3RestoreToDefault);
    uiProfileGame4->OnRestoreToDefault.Bind(this, &TDM::uiProfileGame4RestoreToDefault);
    uiProfileGame5->OnRestoreToDefault.Bind(this, &TDM::uiProfileGame5RestoreToDefault);
    uiProfileSettingGroup->OnRestoreToDefault.Bind(this, &TDM::uiProfileSettingGroupRestoreToDefault);
    uiProfileDefaultGame->OnRestoreToDefault.Bind(this, &TDM::uiProfileGame1RestoreToDefault);
    uiProfileTest->OnRestoreToDefault.Bind(this, &TDM::uiProfileTestRestoreToDefault);
    DataModuleCreate(AConfigFolder);
}

TuiProfile* TDM::NewProfile(const char16_t* AName)
{
    auto* profile = new TuiProfile(this);
    profile->SetName(AName);
    return profile;
}

void TDM::ReadConfigFile(const std::u16string& AConfigFile)
{
    const TIniFile ini(AConfigFile);
    FOptionsFromConfigFile.ProfileRegFolder =
        kProfileRegFolderPrefix + ini.ReadString(kOptionsSection, kProfileRegFolderKey, kDefaultProfileRegFolder);
    FOptionsFromConfigFile.ProfileFolder = ini.ReadString(kOptionsSection, kProfileFolderKey, kDefaultProfileFolder);
    FOptionsFromConfigFile.ProfileNamePrefix = ini.ReadString(kOptionsSection, kProfilePrefixKey, kDefaultProfilePrefix);
    FOptionsFromConfigFile.ProfileMacroFolder =
        ini.ReadString(kOptionsSection, kProfileMacroFolderKey, kDefaultProfileMacroFolder);
    FOtherConfig.Nologo = ini.ReadInteger(kOtherConfigSection, kNoLogoKey, 0);
    FHelpFiles = ini.ReadSectionValues(kHelpFilesSection);
    // A number that is not 0 and anything that is no number leave a switch on.
    const auto on = [&ini](const char16_t* AKey) { return ini.ReadInteger(kMuteFeedbackSection, AKey, 1) != 0; };
    FMuteFeedback.TrayIcon = on(kMuteFeedbackTrayIconKey);
    FMuteFeedback.Indicator = on(kMuteFeedbackIndicatorKey);
    FMuteFeedback.Sound = on(kMuteFeedbackSoundKey);
}

void TDM::PrepareRegistryImage(TuiProfile* AProfile, const char16_t* AValueName)
{
    AProfile->SetRootKey(HKEY_CURRENT_USER);
    AProfile->SetFileName(AValueName);
    AProfile->SetKeyPath(FOptionsFromConfigFile.ProfileRegFolder);
}

void TDM::DataModuleCreate(const std::u16string& AConfigFolder)
{
    ReadConfigFile(IncludeTrailingPathDelimiter(AConfigFolder) + kConfigFileName);
    MouseUsageAndPage = kMouseVendorCollection;
    FProfileGroupIndex = 0;

    PrepareRegistryImage(uiProfileSettingGroup, kSettingGroupValue);
    WriteRecord(uiProfileSettingGroup, TProfileSettingGroup{});
    LoadProfileGroupSettingInfoFromRegistry();

    PrepareRegistryImage(uiProfileAllSettingInfo, kAllSettingsValue);
    WriteRecord(uiProfileAllSettingInfo, FAllProfileSettingInfo);
    LoadAllProfileInfoFromRegistry();

    PrepareRegistryImage(uiProfileRecordMacroInfo, kRecordMacroValue);
    WriteRecord(uiProfileRecordMacroInfo, FRecordMacroInfo);

    FProfileGroup = {uiProfileGame1, uiProfileGame2, uiProfileGame3, uiProfileGame4, uiProfileGame5, nullptr};
    for (int i = 0; i < kGameProfileCount; ++i) LoadGameProfile(i);

    SwitchToProfile(FAllProfileSettingInfo.CurrentGame);
}

void TDM::LoadGameProfile(int AIndex)
{
    TuiProfile* profile = FProfileGroup[static_cast<size_t>(AIndex)];
    const TProfileSettingItem& item = FProfileSettingGroup.ProfileSettingList[AIndex];
    profile->SetRootKey(HKEY_CURRENT_USER);
    profile->SetFileName(ArrayText(item.ProfileFileName));
    profile->SetFilePath(ArrayText(item.ProfileFolderPath));
    profile->SetKeyPath(FOptionsFromConfigFile.ProfileRegFolder);
    WriteRecord(profile, *std::make_unique<TMouseProfileInfo>());

    if (item.StorageKind == kStorageRegistry) {
        if (!profile->LoadStreamFromRegistry()) profile->RestoreToDefault();
    } else if (item.StorageKind == kStorageFile) {
        const std::u16string file =
            IncludeTrailingPathDelimiter(ArrayText(item.ProfileFolderPath)) + ArrayText(item.ProfileFileName);
        if (!FileExists(file)) {
            profile->RestoreToDefault();
            profile->SaveStreamToFile(file);
        } else if (!profile->LoadStreamFromFile(file)) {
            profile->RestoreToDefault();
            profile->SaveStreamToFile();
        }
    }
}

std::u16string TDM::GetPersonalDocumentProfilePath()
{
    const std::u16string folder = PersonalDocuments() + FOptionsFromConfigFile.ProfileFolder + u"\\";
    ForceFolder(folder);
    return folder;
}

std::u16string TDM::GetPersonalDocumentMacroDatabasePath()
{
    const std::u16string folder = GetPersonalDocumentProfilePath() + FOptionsFromConfigFile.ProfileMacroFolder;
    ForceFolder(folder);
    return folder + kMacroDatabaseFile;
}

bool TDM::IsProfileIndexInRange(int AProfileIndex) { return AProfileIndex >= 0 && AProfileIndex < kGameProfileCount; }

bool TDM::IsProfileGroupIndexInRange(int AProfileGroupIndex)
{
    return AProfileGroupIndex >= 0 && AProfileGroupIndex < kProfileGroupCount;
}

TuiProfile* TDM::ProfileGroup(int AProfileIndex) const
{
    return IsProfileIndexInRange(AProfileIndex) ? FProfileGroup[static_cast<size_t>(AProfileIndex)] : nullptr;
}

int TDM::GroupProfileIndex(int AProfileGroupIndex) const
{
    const int index = FProfileSettingGroup.ProfileIndexOfProfileGroup[AProfileGroupIndex];
    return IsProfileIndexInRange(index) ? index : 0;
}

void TDM::LoadAllProfileInfoFromRegistry()
{
    if (!uiProfileAllSettingInfo->LoadStreamFromRegistry()) {
        uiProfileAllSettingInfo->RestoreToDefault();
        uiProfileAllSettingInfo->SaveStreamToRegistry();
    }
    ReadRecord(uiProfileAllSettingInfo, FAllProfileSettingInfo);
}

void TDM::LoadProfileGroupSettingInfoFromRegistry()
{
    if (!uiProfileSettingGroup->LoadStreamFromRegistry()) {
        uiProfileSettingGroup->RestoreToDefault();
        uiProfileSettingGroup->SaveStreamToRegistry();
    }
    ReadRecord(uiProfileSettingGroup, FProfileSettingGroup);
    // A damaged stored group stands for group 0: the monitor keeps running on it, and the image
    // stays as it was stored.
    const int group = FProfileSettingGroup.CurrentProfileGroup;
    FProfileGroupIndex = IsProfileGroupIndexInRange(group) ? group : 0;
    FProfileIndex = GroupProfileIndex(FProfileGroupIndex);
}

bool TDM::LoadCurrentProfileInfoFromRegistry()
{
    const bool loaded = CurrentProfile()->LoadStreamFromRegistry();
    ReadRecord(CurrentProfile(), FCurrentProfileInfo);
    return loaded;
}

bool TDM::LoadCurrentProfileInfoFromFile(const std::u16string& AFile)
{
    const bool loaded = CurrentProfile()->LoadStreamFromFile(AFile);
    ReadRecord(CurrentProfile(), FCurrentProfileInfo);
    return loaded;
}

bool TDM::LoadProfileInfoFromRegistry(int AProfileIndex)
{
    if (!IsProfileIndexInRange(AProfileIndex)) return false;
    return ProfileGroup(AProfileIndex)->LoadStreamFromRegistry();
}

void TDM::LoadRecordMacroInfoFromRegistry()
{
    uiProfileRecordMacroInfo->LoadStreamFromRegistry();
    ReadRecord(uiProfileRecordMacroInfo, FRecordMacroInfo);
}

bool TDM::ReadCurrentProfileInfo()
{
    ReadRecord(CurrentProfile(), FCurrentProfileInfo);
    return true;
}

bool TDM::ReadProfileInfo(TMouseProfileInfo& AProfileInfo, int AProfileIndex)
{
    if (!IsProfileIndexInRange(AProfileIndex)) return false;
    ReadRecord(ProfileGroup(AProfileIndex), AProfileInfo);
    return true;
}

bool TDM::SwitchToProfile(int AProfileIndex)
{
    if (!IsProfileIndexInRange(AProfileIndex)) return false;
    FProfileIndex = AProfileIndex;
    ReadRecord(CurrentProfile(), FCurrentProfileInfo);
    FAllProfileSettingInfo.CurrentGame = static_cast<uint16_t>(AProfileIndex);
    return true;
}

bool TDM::SwitchToProfileGroup(int AProfileGroupIndex)
{
    if (!IsProfileGroupIndexInRange(AProfileGroupIndex)) return false;
    FProfileSettingGroup.CurrentProfileGroup = AProfileGroupIndex;
    FProfileGroupIndex = AProfileGroupIndex;
    FProfileIndex = GroupProfileIndex(AProfileGroupIndex);
    SwitchToProfile(FProfileIndex);
    return true;
}

void TDM::SaveBackToCurrentProfileInfo()
{
    WriteRecord(CurrentProfile(), FCurrentProfileInfo);
    FProfileChanged[static_cast<size_t>(FProfileIndex)] = true;
}

bool TDM::SaveBackToProfileInfo(const TMouseProfileInfo& AProfileInfo, int AProfileIndex)
{
    if (!IsProfileIndexInRange(AProfileIndex)) return false;
    WriteRecord(ProfileGroup(AProfileIndex), AProfileInfo);
    return true;
}

void TDM::SaveCurrentProfileInfoToRegistry()
{
    SaveBackToCurrentProfileInfo();
    CurrentProfile()->SaveStreamToRegistry();
}

bool TDM::SaveProfileInfoToRegistry(int AProfileIndex)
{
    if (!IsProfileIndexInRange(AProfileIndex)) return false;
    ProfileGroup(AProfileIndex)->SaveStreamToRegistry();
    return true;
}

void TDM::SaveCurrentProfileInfoToFile(const std::u16string& AFile) { CurrentProfile()->SaveStreamToFile(AFile); }

void TDM::SaveCurrentProfileInfoToFile() { CurrentProfile()->SaveStreamToFile(); }

void TDM::SaveBackAllProfileInfo()
{
    for (int i = 0; i < kGameProfileCount; ++i) ProfileGroup(i)->SaveStreamToRegistry();
}

void TDM::SaveBackAllProfileInfoToRegistry() { SaveBackAllProfileInfo(); }

void TDM::SaveBackAllProfileInfoToFile()
{
    for (int i = 0; i < kGameProfileCount; ++i) ProfileGroup(i)->SaveStreamToFile();
}

void TDM::SaveBackAllProfileSettingInfo()
{
    FAllProfileSettingInfo.CurrentGame = static_cast<uint16_t>(FProfileIndex);
    WriteRecord(uiProfileAllSettingInfo, FAllProfileSettingInfo);
    uiProfileAllSettingInfo->SaveStreamToRegistry();
}

void TDM::SaveBackToProfileGroupSettingInfo() { WriteRecord(uiProfileSettingGroup, FProfileSettingGroup); }

void TDM::SaveProfileGroupSettingInfoToRegistry()
{
    SaveBackToProfileGroupSettingInfo();
    uiProfileSettingGroup->SaveStreamToRegistry();
}

void TDM::SaveBackRecordMacroInfoToRegistry(const TMACROKEYINFO& ARecordMacroInfo)
{
    WriteRecord(uiProfileRecordMacroInfo, ARecordMacroInfo);
    uiProfileRecordMacroInfo->SaveStreamToRegistry();
}

bool TDM::ChangeCurrentProfileFileNameAndPath(const std::u16string& AProfileFilePath)
{
    const std::u16string folder = ExtractFilePath(AProfileFilePath);
    const std::u16string name = ExtractFileName(AProfileFilePath);
    CurrentProfile()->SetFileName(name);
    CurrentProfile()->SetFilePath(folder);
    TProfileSettingItem& item = FProfileSettingGroup.ProfileSettingList[FProfileIndex];
    SetArrayText(item.ProfileFileName, name);
    SetArrayText(item.ProfileFolderPath, folder);
    return true;
}

void TDM::RestoreCurrentProfileInfoToDefault()
{
    CurrentProfile()->RestoreToDefault();
    ReadRecord(CurrentProfile(), FCurrentProfileInfo);
    FProfileChanged[static_cast<size_t>(FProfileIndex)] = true;
}

bool TDM::RestoreProfileInfoToDefault(int AProfileIndex)
{
    if (!IsProfileIndexInRange(AProfileIndex)) return false;
    ProfileGroup(AProfileIndex)->RestoreToDefault();
    FProfileChanged[static_cast<size_t>(AProfileIndex)] = true;
    return true;
}

void TDM::RestoreAllProfileInfoToDefault()
{
    for (int i = 0; i < kGameProfileCount; ++i) RestoreProfileInfoToDefault(i);
    ReadRecord(CurrentProfile(), FCurrentProfileInfo);
}

bool TDM::RestoreProfileGroupToDefault(int AProfileGroupIndex)
{
    if (!IsProfileGroupIndexInRange(AProfileGroupIndex)) return false;
    // A damaged stored index names no profile: restoring one in its place would lose its data.
    const int index = FProfileSettingGroup.ProfileIndexOfProfileGroup[AProfileGroupIndex];
    if (!IsProfileIndexInRange(index)) return false;
    if (index == FProfileIndex) RestoreCurrentProfileInfoToDefault();
    else ProfileGroup(index)->RestoreToDefault();
    return true;
}

void TDM::RestoreProfileSettingGroupToDefault()
{
    uiProfileSettingGroup->RestoreToDefault();
    uiProfileSettingGroup->SaveStreamToRegistry();
}

void TDM::RestoreToDefaultCPISetting() { RestoreCPISettingDefaults(FCurrentProfileInfo.ConfigInfo); }

void TDM::RestoreToDefaultLightAndReportAdvancedSetting()
{
    RestoreLightAndReportDefaults(FCurrentProfileInfo.ConfigInfo);
}

void TDM::InitTestDefaultValue()
{
    PrepareRegistryImage(uiProfileTest, kTestProfileValue);
    WriteRecord(uiProfileTest, FTestProfileInfo);
    uiProfileTest->RestoreToDefault();
    ReadRecord(uiProfileTest, FTestProfileInfo);

    PrepareRegistryImage(uiProfileDefaultGame, kDefaultProfileValue);
    WriteRecord(uiProfileDefaultGame, FDefaultProfileInfo);
    uiProfileDefaultGame->RestoreToDefault();
    ReadRecord(uiProfileDefaultGame, FDefaultProfileInfo);
}

void TDM::SetProfileChanged(int AIndex, bool AIsChanged)
{
    if (IsProfileIndexInRange(AIndex)) FProfileChanged[static_cast<size_t>(AIndex)] = AIsChanged;
}

bool TDM::IsProfileChanged(int AIndex) const
{
    return IsProfileIndexInRange(AIndex) && FProfileChanged[static_cast<size_t>(AIndex)];
}

std::vector<int> TDM::GetAllProfilesMacroIndexList()
{
    constexpr uint16_t kNoMacro = 0xFFFF;
    constexpr uint8_t kMacroFunction = 4;
    std::vector<int> list;
    auto info = std::make_unique<TMouseProfileInfo>();
    for (int i = 0; i < kGameProfileCount; ++i) {
        ReadRecord(ProfileGroup(i), *info);
        const TMOUSECONFIGINFO& config = info->ConfigInfo;
        const int count = std::clamp(config.ButtonCount, 0, kMaxButtonCount);
        for (int n = 0; n < count; ++n) {
            const TBUTTONFUNCINFO& button = config.ButtonFuncInfo[n];
            if (button.FunctionType != kMacroFunction || button.MacroIndex == kNoMacro) continue;
            if (std::find(list.begin(), list.end(), button.MacroIndex) == list.end()) list.push_back(button.MacroIndex);
        }
    }
    return list;
}

void TDM::uiProfileAllSettingInfoRestoreToDefault(TMemoryStream& AStream)
{
    const std::u16string langID = LangIDText(GetSystemDefaultLangID());
    EditStreamRecord<TALLGAMESINFO>(AStream, [&](TALLGAMESINFO& info) { RestoreAllSettingDefaults(info, langID); });
}

void TDM::uiProfileGame1RestoreToDefault(TMemoryStream& AStream)
{
    EditStreamRecord<TMouseProfileInfo>(AStream, [](TMouseProfileInfo& info) { RestoreGameProfileDefaults(info, 1, Now()); });
}

void TDM::uiProfileGame2RestoreToDefault(TMemoryStream& AStream)
{
    EditStreamRecord<TMouseProfileInfo>(AStream, [](TMouseProfileInfo& info) { RestoreGameProfileDefaults(info, 2, Now()); });
}

void TDM::uiProfileGame3RestoreToDefault(TMemoryStream& AStream)
{
    EditStreamRecord<TMouseProfileInfo>(AStream, [](TMouseProfileInfo& info) { RestoreGameProfileDefaults(info, 3, Now()); });
}

void TDM::uiProfileGame4RestoreToDefault(TMemoryStream& AStream)
{
    EditStreamRecord<TMouseProfileInfo>(AStream, [](TMouseProfileInfo& info) { RestoreGameProfileDefaults(info, 4, Now()); });
}

void TDM::uiProfileGame5RestoreToDefault(TMemoryStream& AStream)
{
    EditStreamRecord<TMouseProfileInfo>(AStream, [](TMouseProfileInfo& info) { RestoreGameProfileDefaults(info, 5, Now()); });
}

void TDM::uiProfileSettingGroupRestoreToDefault(TMemoryStream& AStream)
{
    EditStreamRecord<TProfileSettingGroup>(AStream, [this](TProfileSettingGroup& group) {
        for (int i = 0; i < kGameProfileCount; ++i) {
            TProfileSettingItem& item = group.ProfileSettingList[i];
            RestoreProfileSettingItemDefaults(item, i + 1, FOptionsFromConfigFile, GetPersonalDocumentProfilePath());
            ForceFolder(ArrayText(item.ProfileFolderPath));
            ForceFolder(ArrayText(item.MacroFolderPath));
        }
        RestoreProfileGroupSelectionDefaults(group);
    });
}

void TDM::uiProfileTestRestoreToDefault(TMemoryStream& AStream)
{
    if (AStream.Memory() == nullptr) return;
    EditStreamRecord<TMouseProfileInfo>(AStream, [](TMouseProfileInfo& info) { RestoreTestProfileDefaults(info, Now()); });
}
