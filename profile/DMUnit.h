#pragma once
// The profile manager: every profile record, the ten storage components that keep them, the
// options of "config.ini", and the load, switch, write-back, save and restore operations shared
// with the configuration program. Creating it loads everything (or creates the factory images).
#include <array>
#include <string>
#include <vector>

#include "framework/core/Component.h"
#include "framework/core/MemoryStream.h"
#include "profile/ConfigOptions.h"
#include "profile/ProfileRecords.h"
#include "profile/uiProfile.h"

class TDM : public TComponent {
public:
    // Reads "config.ini" in the program's folder, then loads or creates every image.
    explicit TDM(TComponent* AOwner);
    // The same with "config.ini" taken from AConfigFolder (ending with "\").
    TDM(TComponent* AOwner, const std::u16string& AConfigFolder);

    // Paths; folders that are missing are created, one that cannot be raises Exception.
    std::u16string GetPersonalDocumentProfilePath();
    std::u16string GetPersonalDocumentMacroDatabasePath();

    static bool IsProfileIndexInRange(int AProfileIndex);
    static bool IsProfileGroupIndexInRange(int AProfileGroupIndex);

    void LoadAllProfileInfoFromRegistry();
    void LoadProfileGroupSettingInfoFromRegistry();
    bool LoadCurrentProfileInfoFromRegistry();
    bool LoadCurrentProfileInfoFromFile(const std::u16string& AFile);
    bool LoadProfileInfoFromRegistry(int AProfileIndex);
    void LoadRecordMacroInfoFromRegistry();
    bool ReadCurrentProfileInfo();
    bool ReadProfileInfo(TMouseProfileInfo& AProfileInfo, int AProfileIndex);

    bool SwitchToProfile(int AProfileIndex);
    bool SwitchToProfileGroup(int AProfileGroupIndex);

    void SaveBackToCurrentProfileInfo();
    bool SaveBackToProfileInfo(const TMouseProfileInfo& AProfileInfo, int AProfileIndex);
    void SaveCurrentProfileInfoToRegistry();
    bool SaveProfileInfoToRegistry(int AProfileIndex);
    void SaveCurrentProfileInfoToFile(const std::u16string& AFile);
    void SaveCurrentProfileInfoToFile();
    void SaveBackAllProfileInfo();
    void SaveBackAllProfileInfoToRegistry();
    void SaveBackAllProfileInfoToFile();
    void SaveBackAllProfileSettingInfo();
    void SaveBackToProfileGroupSettingInfo();
    void SaveProfileGroupSettingInfoToRegistry();
    void SaveBackRecordMacroInfoToRegistry(const TMACROKEYINFO& ARecordMacroInfo);
    bool ChangeCurrentProfileFileNameAndPath(const std::u16string& AProfileFilePath);

    void RestoreCurrentProfileInfoToDefault();
    bool RestoreProfileInfoToDefault(int AProfileIndex);
    void RestoreAllProfileInfoToDefault();
    bool RestoreProfileGroupToDefault(int AProfileGroupIndex);
    void RestoreProfileSettingGroupToDefault();
    void RestoreToDefaultCPISetting();
    void RestoreToDefaultLightAndReportAdvancedSetting();
    void InitTestDefaultValue();

    void SetProfileChanged(int AIndex, bool AIsChanged);
    bool IsProfileChanged(int AIndex) const;

    // The distinct macro numbers assigned to buttons of the five game profiles, in order of first
    // use.
    std::vector<int> GetAllProfilesMacroIndexList();

    const THelpFileList& HelpFiles() const { return FHelpFiles; }
    int ProfileGroupIndex() const { return FProfileGroupIndex; }
    int ProfileIndex() const { return FProfileIndex; }
    TuiProfile* ProfileGroup(int AProfileIndex) const;

    TuiProfile* uiProfileAllSettingInfo;
    TuiProfile* uiProfileGame1;
    TuiProfile* uiProfileGame2;
    TuiProfile* uiProfileGame3;
    TuiProfile* uiProfileGame4;
    TuiProfile* uiProfileGame5;
    TuiProfile* uiProfileSettingGroup;
    TuiProfile* uiProfileDefaultGame;
    TuiProfile* uiProfileTest;
    TuiProfile* uiProfileRecordMacroInfo;

    // The records; the monitor reads the button functions of FCurrentProfileInfo and
    // CurrentLanguage of FAllProfileSettingInfo.
    TALLGAMESINFO FAllProfileSettingInfo{};
    TMOUSECONFIGINFO FAllConfigInfo{};
    TProfileSettingGroup FProfileSettingGroup{};
    TMouseProfileInfo FCurrentProfileInfo{};
    TOtherConfig FOtherConfig{};
    TMouseProfileInfo FDefaultProfileInfo{};
    TMouseProfileInfo FTestProfileInfo{};
    TMACROKEYINFO FRecordMacroInfo{};
    TOptionsFromConfigFile FOptionsFromConfigFile;
    TMuteFeedbackOptions FMuteFeedback;

private:
    void DataModuleCreate(const std::u16string& AConfigFolder);
    void ReadConfigFile(const std::u16string& AConfigFile);
    TuiProfile* NewProfile(const char16_t* AName);
    void PrepareRegistryImage(TuiProfile* AProfile, const char16_t* AValueName);
    void LoadGameProfile(int AIndex);
    // The group's profile; a stored index outside 0..4 stands for profile 0.
    int GroupProfileIndex(int AProfileGroupIndex) const;
    TuiProfile* CurrentProfile() const { return FProfileGroup[static_cast<size_t>(FProfileIndex)]; }

    void uiProfileAllSettingInfoRestoreToDefault(TMemoryStream& AStream);
    void uiProfileGame1RestoreToDefault(TMemoryStream& AStream);
    void uiProfileGame2RestoreToDefault(TMemoryStream& AStream);
    void uiProfileGame3RestoreToDefault(TMemoryStream& AStream);
    void uiProfileGame4RestoreToDefault(TMemoryStream& AStream);
    void uiProfileGame5RestoreToDefault(TMemoryStream& AStream);
    void uiProfileSettingGroupRestoreToDefault(TMemoryStream& AStream);
    void uiProfileTestRestoreToDefault(TMemoryStream& AStream);

    std::array<TuiProfile*, 6> FProfileGroup{};
    std::array<bool, kGameProfileCount> FProfileChanged{};
    int FProfileGroupIndex = 0;
    int FProfileIndex = 0;
    THelpFileList FHelpFiles;
};

// The program's single profile manager, created by the entry before the main window.
extern TDM* DM;
