#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <memory>

#include "framework/core/Exception.h"
#include "framework/win/FileSystem.h"
#include "profile/DMUnit.h"
#include "profile/FactoryDefaults.h"
#include "profile/FunctionTable.h"
#include "profile/ProductConstants.h"
#include "profile/tests/ImageCheck.h"
#include "profile/tests/WinTestSupport.h"

namespace {

constexpr char16_t kGroupValue[] = u"ProfileSettingGroup.pfd";
constexpr char16_t kAllValue[] = u"allsettings.pfd";

std::u16string Documents()
{
    wchar_t buffer[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, buffer);
    return U(buffer) + u"\\";
}

uint64_t UIDBits(const TMouseProfileInfo& AInfo)
{
    uint64_t bits;
    std::memcpy(&bits, AInfo.ProfileHeader.FProfileUID.RawData, sizeof bits);
    return bits;
}

template <class TRecord>
std::unique_ptr<TRecord> Zero()
{
    return std::make_unique<TRecord>();
}

template <class TRecord>
std::vector<uint8_t> Bytes(const TRecord& ARecord)
{
    const auto* p = reinterpret_cast<const uint8_t*>(&ARecord);
    return std::vector<uint8_t>(p, p + sizeof(TRecord));
}

// Each test has its own registry key, its own folder under Documents and its own config.ini.
class DMTest : public testing::Test {
protected:
    DMTest()
        : Name(CurrentTestName()),
          Key(u"software\\QelMonTests\\" + Name),
          Config(u"QelMonConfig_" + Name),
          Profiles(u"QelMonTests_" + Name, Documents(), false)
    {
        WriteConfig("");
    }

    void WriteConfig(const std::string& AExtra, bool AWithOptions = true)
    {
        std::ofstream ini(FsPath(Config.Path() + u"config.ini"), std::ios::binary | std::ios::trunc);
        if (AWithOptions)
            ini << "[options]\r\nProfileRegFolder=QelMonTests\\" << Utf8FromUtf16(Name) << "\r\nprofileFolder=QelMonTests_"
                << Utf8FromUtf16(Name) << "\r\n";
        ini << AExtra;
    }

    std::unique_ptr<TDM> Start() { return std::make_unique<TDM>(nullptr, Config.Path()); }

    std::unique_ptr<TProfileSettingGroup> StoredGroup() const
    {
        auto group = Zero<TProfileSettingGroup>();
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(Key.Read(kGroupValue, bytes));
        EXPECT_EQ(bytes.size(), sizeof *group);
        std::memcpy(group.get(), bytes.data(), std::min(bytes.size(), sizeof *group));
        return group;
    }
    void StoreGroup(const TProfileSettingGroup& AGroup) const { Key.Write(kGroupValue, &AGroup, sizeof AGroup); }
    std::vector<uint8_t> Stored(const std::u16string& AName) const
    {
        std::vector<uint8_t> bytes;
        Key.Read(AName, bytes);
        return bytes;
    }
    void StoreProfile(const std::u16string& AName, const TMouseProfileInfo& AInfo) const
    {
        Key.Write(AName, &AInfo, sizeof AInfo);
    }
    // A first start has written the group and settings images; the registry then holds them.
    std::unique_ptr<TProfileSettingGroup> FirstStartGroup()
    {
        Start();
        return StoredGroup();
    }

    std::u16string Name;
    TTestRegistryKey Key;
    TTestFolder Config;
    TTestFolder Profiles;
};

}  // namespace

TEST_F(DMTest, FirstStartOnAnEmptyRegistry)
{
    MouseUsageAndPage = {};
    auto dm = Start();
    const std::u16string folder = Profiles.Path();

    EXPECT_EQ(MouseUsageAndPage.Usage, 0x0001);
    EXPECT_EQ(MouseUsageAndPage.UsagePage, 0xFFA0);
    EXPECT_EQ(dm->FOptionsFromConfigFile.ProfileRegFolder, Key.Path());

    // The group image: five registry-kept profiles in Documents' profile folder, and its bytes are
    // exactly those of the layout tables.
    std::vector<TFieldCase> cases = {Num("CurrentProfileGroup", 0, 4, 0), Num("ProfileIndexOfProfileGroup[0]", 4, 4, 0),
                                     Num("ProfileIndexOfProfileGroup[1]", 8, 4, 1)};
    for (int i = 0; i < 5; ++i) {
        const size_t item = 12 + 6190 * static_cast<size_t>(i);
        const std::u16string n(1, static_cast<char16_t>(u'1' + i));
        cases.push_back(Text("ProfileFolderPath", item + 2, folder));
        cases.push_back(Text("RegistryFolder", item + 2050, Key.Path()));
        cases.push_back(Text("ProfileFileName", item + 4098, u"Profile" + n + u".gpf"));
        cases.push_back(Text("MacroFolderPath", item + 4140, folder + u"\\Profile" + n + u"_Macros"));
        EXPECT_TRUE(DirectoryExists(folder + u"Profile" + n + u"_Macros")) << i;
    }
    const std::vector<uint8_t> group = Stored(kGroupValue);
    ASSERT_EQ(group.size(), 30964u);
    ExpectImage(group.data(), ExpectedImage(30964, 0, {}, cases), cases);
    EXPECT_EQ(std::memcmp(&dm->FProfileSettingGroup, group.data(), group.size()), 0);

    const std::vector<uint8_t> all = Stored(kAllValue);
    ASSERT_EQ(all.size(), 30954u);
    EXPECT_EQ(all[0], 1) << "State of the first entry";
    EXPECT_EQ(all[30952], LanguageIndexOfLangID(LangIDText(GetSystemDefaultLangID())));
    EXPECT_EQ(std::memcmp(&dm->FAllProfileSettingInfo, all.data(), all.size()), 0);

    // The game profiles hold factory values in memory only.
    for (int i = 0; i < 5; ++i) {
        const std::u16string n(1, static_cast<char16_t>(u'1' + i));
        EXPECT_TRUE(Stored(u"Profile" + n + u".gpf").empty()) << i;
        auto info = Zero<TMouseProfileInfo>();
        ASSERT_TRUE(dm->ReadProfileInfo(*info, i));
        const std::vector<TFieldCase> game = GameProfileCases(i + 1, UIDBits(*info));
        ExpectImage(info.get(), ExpectedImage(sizeof *info, 0, {}, game), game);
        EXPECT_EQ(dm->ProfileGroup(i)->Stream().Size(), 120928);
        EXPECT_FALSE(dm->IsProfileChanged(i));
    }
    EXPECT_TRUE(Stored(u"RecordRPROFILE.pfd").empty());
    EXPECT_EQ(dm->ProfileIndex(), 0);
    EXPECT_EQ(dm->ProfileGroupIndex(), 0);
    EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[3].FunctionCode, 24);
    EXPECT_EQ(UIDBits(dm->FTestProfileInfo), 0u) << "the monitor never prepares the test records";
    EXPECT_EQ(UIDBits(dm->FDefaultProfileInfo), 0u);
}

TEST_F(DMTest, PopulatedRegistryIsLoadedAndItsUnknownBytesSurvive)
{
    auto group = FirstStartGroup();
    group->Pad30962[0] = 0x11;
    group->Pad30962[1] = 0x22;
    group->ProfileSettingList[0].Pad6189 = 0x33;
    StoreGroup(*group);
    auto all = Zero<TALLGAMESINFO>();
    all->CurrentGame = 2;
    all->CurrentLanguage = 2;
    all->Pad30953 = 0x44;
    Key.Write(kAllValue, all.get(), sizeof *all);
    auto profile3 = Zero<TMouseProfileInfo>();
    std::memset(profile3.get(), 0x6B, sizeof *profile3);  // opaque stretches and pads included
    profile3->ConfigInfo.ButtonFuncInfo[4].FunctionCode = kFunctionMicrophoneMute;
    StoreProfile(u"Profile3.gpf", *profile3);

    auto dm = Start();
    EXPECT_EQ(dm->ProfileIndex(), 2) << "the current game of the settings";
    EXPECT_EQ(dm->FAllProfileSettingInfo.CurrentLanguage, 2);
    EXPECT_EQ(Bytes(dm->FCurrentProfileInfo), Bytes(*profile3));

    // Read, write back and save leave every byte as it was stored.
    dm->SaveCurrentProfileInfoToRegistry();
    dm->SaveProfileGroupSettingInfoToRegistry();
    dm->SaveBackAllProfileSettingInfo();
    EXPECT_EQ(Stored(u"Profile3.gpf"), Bytes(*profile3));
    EXPECT_EQ(Stored(kGroupValue), Bytes(*group));
    EXPECT_EQ(Stored(kAllValue), Bytes(*all));
}

TEST_F(DMTest, DamagedGroupIndexesStandForZero)
{
    struct Case {
        int32_t Group;
        int32_t Index0;
        int32_t Index1;
        int ExpectedGroup;
        int ExpectedProfile;
    };
    const Case cases[] = {{7, 3, 4, 0, 3}, {-1, 2, 4, 0, 2}, {1, 0, 9, 1, 0}, {0, -5, 1, 0, 0}, {1, 2, 4, 1, 4}};
    auto stored = FirstStartGroup();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Group * 100 + c.Index1);
        stored->CurrentProfileGroup = c.Group;
        stored->ProfileIndexOfProfileGroup[0] = c.Index0;
        stored->ProfileIndexOfProfileGroup[1] = c.Index1;
        StoreGroup(*stored);
        // The settings name no valid game, so the group decides the current profile.
        auto all = Zero<TALLGAMESINFO>();
        all->CurrentGame = 9;
        Key.Write(kAllValue, all.get(), sizeof *all);

        auto dm = Start();
        EXPECT_EQ(dm->ProfileGroupIndex(), c.ExpectedGroup);
        EXPECT_EQ(dm->ProfileIndex(), c.ExpectedProfile);
        dm->LoadProfileGroupSettingInfoFromRegistry();
        EXPECT_EQ(dm->ProfileIndex(), c.ExpectedProfile);
        EXPECT_TRUE(dm->SwitchToProfileGroup(1));
        EXPECT_TRUE(TDM::IsProfileIndexInRange(dm->ProfileIndex()));
        EXPECT_EQ(Stored(kGroupValue), Bytes(*stored)) << "the stored image stays as it was";
    }
}

TEST_F(DMTest, FileKeptProfilesAreRecreatedOrKept)
{
    auto group = FirstStartGroup();
    const TTestFolder files(u"QelMonFiles_" + Name);
    // Profile 3 is kept in a file that is missing, in a folder level that is missing too.
    TProfileSettingItem& item3 = group->ProfileSettingList[2];
    item3.StorageKind = kStorageFile;
    SetArrayText(item3.ProfileFolderPath, files.Path() + u"new");
    SetArrayText(item3.ProfileFileName, u"Game3.gpf");
    // Profile 4's file is there but has the wrong size: it is taken as it is.
    TProfileSettingItem& item4 = group->ProfileSettingList[3];
    item4.StorageKind = kStorageFile;
    SetArrayText(item4.ProfileFolderPath, files.Path());
    SetArrayText(item4.ProfileFileName, u"Game4.gpf");
    const std::vector<uint8_t> shortImage = {1, 2, 3, 4, 5, 6, 7};
    WriteFileBytes(files.Path() + u"Game4.gpf", shortImage);
    // Profile 5 has an unknown storage kind: nothing is loaded.
    group->ProfileSettingList[4].StorageKind = 9;
    // Profile 1's name fills its array: all 21 units are the value's name.
    const std::u16string fullName(21, u'q');
    SetArrayText(group->ProfileSettingList[0].ProfileFileName, fullName);
    auto stored1 = Zero<TMouseProfileInfo>();
    stored1->ConfigInfo.ButtonCount = 4;
    StoreProfile(fullName, *stored1);
    StoreGroup(*group);

    auto dm = Start();
    const std::vector<uint8_t> written = FileBytes(files.Path() + u"new\\Game3.gpf");
    ASSERT_EQ(written.size(), 120928u);
    auto info = Zero<TMouseProfileInfo>();
    std::memcpy(info.get(), written.data(), written.size());
    const std::vector<TFieldCase> game3 = GameProfileCases(3, UIDBits(*info));
    ExpectImage(info.get(), ExpectedImage(sizeof *info, 0, {}, game3), game3);
    EXPECT_TRUE(Stored(u"Game3.gpf").empty()) << "a file-kept profile is not written to the registry";

    EXPECT_EQ(FileBytes(files.Path() + u"Game4.gpf"), shortImage);
    EXPECT_EQ(dm->ProfileGroup(3)->Stream().Size(), 7);
    auto read = Zero<TMouseProfileInfo>();
    std::memset(read.get(), 0xEE, sizeof *read);
    dm->ReadProfileInfo(*read, 3);
    EXPECT_EQ(std::memcmp(read.get(), shortImage.data(), 7), 0);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(read.get())[7], 0xEE) << "the rest of the record is left";

    EXPECT_EQ(std::memcmp(dm->ProfileGroup(4)->Stream().Memory(), Zero<TMouseProfileInfo>().get(), 120928), 0);
    EXPECT_EQ(dm->ProfileGroup(0)->FileName(), fullName);
    EXPECT_EQ(Bytes(dm->FCurrentProfileInfo), Bytes(*stored1));
}

TEST_F(DMTest, WrongSizeRegistryImagesAreKept)
{
    FirstStartGroup();
    const std::vector<uint8_t> shortImage(10, 0x42);
    Key.Write(u"Profile2.gpf", shortImage.data(), 10);
    std::vector<uint8_t> longImage(130000, 0x24);
    Key.Write(u"Profile1.gpf", longImage.data(), static_cast<DWORD>(longImage.size()));

    auto dm = Start();
    EXPECT_EQ(Stored(u"Profile2.gpf"), shortImage) << "not replaced by factory values";
    EXPECT_EQ(dm->ProfileGroup(1)->Stream().Size(), 10);

    // Writing the current (long) profile back replaces the record's bytes and keeps the tail.
    dm->FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[0].FunctionCode = 28;
    dm->SaveCurrentProfileInfoToRegistry();
    const std::vector<uint8_t> saved = Stored(u"Profile1.gpf");
    ASSERT_EQ(saved.size(), longImage.size());
    std::memcpy(longImage.data(), &dm->FCurrentProfileInfo, sizeof dm->FCurrentProfileInfo);
    EXPECT_EQ(saved, longImage);

    // A restore over the short image grows it to a whole factory profile.
    ASSERT_TRUE(dm->RestoreProfileInfoToDefault(1));
    EXPECT_EQ(dm->ProfileGroup(1)->Stream().Size(), 120928);
    auto info = Zero<TMouseProfileInfo>();
    dm->ReadProfileInfo(*info, 1);
    EXPECT_EQ(info->ConfigInfo.ButtonFuncInfo[5].FunctionCode, 29);
}

TEST_F(DMTest, RegistryKeyPathFromTheConfigFile)
{
    struct Case {
        std::string Options;
        std::u16string KeyPath;
    };
    const Case cases[] = {
        {"", u"software\\software\\QelHV730gmmouse"},
        {"ProfileRegFolder=QelHV730gmmouse\r\n", u"software\\QelHV730gmmouse"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8FromUtf16(c.KeyPath));
        const TTestRegistryKey productKey(c.KeyPath);
        WriteConfig("[options]\r\n" + c.Options + "profileFolder=QelMonTests_" + Utf8FromUtf16(Name) + "\r\n", false);
        auto dm = Start();
        EXPECT_EQ(dm->FOptionsFromConfigFile.ProfileRegFolder, c.KeyPath);
        EXPECT_EQ(dm->ProfileGroup(0)->KeyPath(), c.KeyPath);
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(productKey.Read(kGroupValue, bytes));
        EXPECT_EQ(bytes.size(), 30964u);
        EXPECT_TRUE(productKey.Read(kAllValue, bytes));
        dm->SaveProfileInfoToRegistry(0);
        EXPECT_TRUE(productKey.Read(u"Profile1.gpf", bytes));
        EXPECT_EQ(bytes.size(), 120928u);
    }
}

TEST_F(DMTest, ConfigFileOptionsAndDefaults)
{
    {
        WriteConfig("[OtherConfig]\r\nNoLogo=1\r\n[HelpFiles]\r\nEnglish=help_en.chm\r\nChinese=help_cn.chm\r\n");
        auto dm = Start();
        EXPECT_EQ(dm->FOptionsFromConfigFile.ProfileNamePrefix, u"Profile");
        EXPECT_EQ(dm->FOptionsFromConfigFile.ProfileMacroFolder, u"MacroDB");
        EXPECT_EQ(dm->FOtherConfig.Nologo, 1);
        EXPECT_EQ(dm->FOtherConfig.ShowNumLock, 0);
        const THelpFileList expected = {{u"English", u"help_en.chm"}, {u"Chinese", u"help_cn.chm"}};
        EXPECT_EQ(dm->HelpFiles(), expected);
        EXPECT_EQ(dm->GetPersonalDocumentMacroDatabasePath(), Profiles.Path() + u"MacroDB\\MacroSet.MSDB");
        EXPECT_TRUE(DirectoryExists(Profiles.Path() + u"MacroDB"));
    }
    Key.Delete();
    WriteConfig("profilePrefix=Game\r\nprofileMacroFolder=Macros\r\n[OtherConfig]\r\nNoLogo=yes\r\n");
    auto dm = Start();
    EXPECT_EQ(dm->FOtherConfig.Nologo, 0) << "not a number: the default";
    EXPECT_TRUE(dm->HelpFiles().empty());
    EXPECT_EQ(ArrayText(dm->FProfileSettingGroup.ProfileSettingList[4].ProfileFileName), u"Game5.gpf");
    EXPECT_EQ(dm->ProfileGroup(4)->FileName(), u"Game5.gpf");
    EXPECT_EQ(dm->ProfileGroup(4)->FilePath(), Profiles.Path());
    EXPECT_TRUE(DirectoryExists(Profiles.Path() + u"Game5_Macros"));
    EXPECT_EQ(dm->GetPersonalDocumentMacroDatabasePath(), Profiles.Path() + u"Macros\\MacroSet.MSDB");
}

TEST_F(DMTest, MuteFeedbackSwitchesAreOnUnlessSetToZero)
{
    struct TCase {
        const char* Section; // the "MuteFeedback" section, or nothing
        bool TrayIcon, Indicator, Sound;
    };
    const TCase cases[] = {
        {"", true, true, true},
        {"[MuteFeedback]\r\n", true, true, true},
        {"[MuteFeedback]\r\nTrayIcon=0\r\nIndicator=0\r\nSound=0\r\n", false, false, false},
        {"[MuteFeedback]\r\nTrayIcon=1\r\nIndicator=1\r\nSound=1\r\n", true, true, true},
        {"[MuteFeedback]\r\nIndicator=0\r\n", true, false, true},
        {"[MuteFeedback]\r\nTrayIcon=off\r\nIndicator=\r\nSound=0x\r\n", true, true, true},
        {"[MuteFeedback]\r\nTrayIcon=0 # none\r\nIndicator=-0\r\nSound= 0 \r\n", true, false, false},
        {"[MuteFeedback]\r\nSound=2\r\nTrayIcon=99999999999\r\n", true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Section);
        WriteConfig(c.Section);
        auto dm = Start();
        EXPECT_EQ(dm->FMuteFeedback.TrayIcon, c.TrayIcon);
        EXPECT_EQ(dm->FMuteFeedback.Indicator, c.Indicator);
        EXPECT_EQ(dm->FMuteFeedback.Sound, c.Sound);
    }
}

TEST_F(DMTest, TheProgramFolderHoldsTheConfigFile)
{
    const std::u16string beside = ProgramFolder() + u"config.ini";
    struct TRemove {
        std::u16string Path;
        ~TRemove() { DeleteFileW(W(Path)); }
    } remove{beside};
    std::filesystem::copy_file(FsPath(Config.Path() + u"config.ini"), FsPath(beside),
                               std::filesystem::copy_options::overwrite_existing);
    auto dm = std::make_unique<TDM>(nullptr);
    EXPECT_EQ(dm->FOptionsFromConfigFile.ProfileRegFolder, Key.Path());
    EXPECT_EQ(Stored(kGroupValue).size(), 30964u);
}

TEST_F(DMTest, SwitchingProfilesAndGroups)
{
    auto dm = Start();
    dm->FCurrentProfileInfo.ConfigInfo.ButtonCount = 77;  // an unsaved edit
    const std::vector<uint8_t> before = Bytes(dm->FCurrentProfileInfo);
    for (int bad : {5, -1, 100}) {
        EXPECT_FALSE(dm->SwitchToProfile(bad)) << bad;
        EXPECT_EQ(dm->ProfileIndex(), 0);
        EXPECT_EQ(dm->FAllProfileSettingInfo.CurrentGame, 0);
        EXPECT_EQ(Bytes(dm->FCurrentProfileInfo), before);
    }
    ASSERT_TRUE(dm->SwitchToProfile(2));
    EXPECT_EQ(dm->ProfileIndex(), 2);
    EXPECT_EQ(dm->FAllProfileSettingInfo.CurrentGame, 2);
    EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.CurrentCPIIndex, 2) << "game 3's values";
    EXPECT_EQ(Stored(kAllValue)[30950], 0) << "nothing is saved";

    EXPECT_FALSE(dm->SwitchToProfileGroup(2));
    EXPECT_FALSE(dm->SwitchToProfileGroup(-1));
    ASSERT_TRUE(dm->SwitchToProfileGroup(1));
    EXPECT_EQ(dm->ProfileGroupIndex(), 1);
    EXPECT_EQ(dm->FProfileSettingGroup.CurrentProfileGroup, 1);
    EXPECT_EQ(dm->ProfileIndex(), 1);
    EXPECT_EQ(dm->FAllProfileSettingInfo.CurrentGame, 1);

    dm->SaveBackAllProfileSettingInfo();
    EXPECT_EQ(Stored(kAllValue)[30950], 1);
}

TEST_F(DMTest, ReloadOnTheConfigurationProgramsMessage)
{
    auto group = FirstStartGroup();
    const TTestFolder files(u"QelMonFiles_" + Name);
    TProfileSettingItem& item = group->ProfileSettingList[4];
    item.StorageKind = kStorageFile;
    SetArrayText(item.ProfileFolderPath, files.Path());
    StoreGroup(*group);
    auto dm = Start();

    // The configuration program makes group 1 current with profile 3, stored in the registry.
    auto profile = Zero<TMouseProfileInfo>();
    profile->ConfigInfo.ButtonFuncInfo[7].FunctionCode = kFunctionMicrophoneMute;
    StoreProfile(u"Profile4.gpf", *profile);
    group->CurrentProfileGroup = 1;
    group->ProfileIndexOfProfileGroup[1] = 3;
    StoreGroup(*group);
    dm->LoadProfileGroupSettingInfoFromRegistry();
    dm->LoadAllProfileInfoFromRegistry();
    EXPECT_TRUE(dm->LoadCurrentProfileInfoFromRegistry());
    EXPECT_EQ(dm->ProfileIndex(), 3);
    EXPECT_EQ(Bytes(dm->FCurrentProfileInfo), Bytes(*profile));

    // Profile 5 lives in its file and has no registry value: the file's image stays current.
    group->ProfileIndexOfProfileGroup[1] = 4;
    StoreGroup(*group);
    dm->LoadProfileGroupSettingInfoFromRegistry();
    EXPECT_FALSE(dm->LoadCurrentProfileInfoFromRegistry());
    EXPECT_EQ(Bytes(dm->FCurrentProfileInfo), FileBytes(files.Path() + u"Profile5.gpf"));
    EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[6].FunctionCode, 30);

    // A damaged settings image is replaced by factory values and saved.
    Key.Write(kAllValue, u"x", 2, REG_BINARY);
    dm->LoadAllProfileInfoFromRegistry();
    EXPECT_EQ(Stored(kAllValue).size(), 2u) << "a loadable image of another size is kept";
    RegDeleteKeyValueW(HKEY_CURRENT_USER, W(Key.Path()), W(kAllValue));
    dm->LoadAllProfileInfoFromRegistry();
    EXPECT_EQ(Stored(kAllValue).size(), 30954u);
}

TEST_F(DMTest, WriteBackAndSaveOperations)
{
    auto dm = Start();
    ASSERT_TRUE(dm->SwitchToProfile(1));
    const std::vector<uint8_t> stream = Bytes(dm->FCurrentProfileInfo);

    // Saving to a file writes the stream, not the unsaved edit of the working record.
    dm->FCurrentProfileInfo.ConfigInfo.PointerSpeed = 99;
    const std::u16string exported = Profiles.Path() + u"export\\p2.gpf";
    dm->SaveCurrentProfileInfoToFile(exported);
    EXPECT_EQ(FileBytes(exported), stream);
    EXPECT_FALSE(dm->IsProfileChanged(1));

    dm->SaveBackToCurrentProfileInfo();
    EXPECT_TRUE(dm->IsProfileChanged(1));
    dm->SaveCurrentProfileInfoToFile();
    EXPECT_EQ(FileBytes(Profiles.Path() + u"Profile2.gpf"), Bytes(dm->FCurrentProfileInfo));
    EXPECT_TRUE(Stored(u"Profile2.gpf").empty());

    // Loading a file into the current profile, then the registry round trip of all five.
    EXPECT_TRUE(dm->LoadCurrentProfileInfoFromFile(exported));
    EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.PointerSpeed, 10);
    EXPECT_FALSE(dm->LoadCurrentProfileInfoFromFile(Profiles.Path() + u"none.gpf"));
    dm->SaveBackAllProfileInfoToRegistry();
    dm->SaveBackAllProfileInfoToFile();
    for (int i = 0; i < 5; ++i) {
        const std::u16string name = u"Profile" + std::u16string(1, static_cast<char16_t>(u'1' + i)) + u".gpf";
        auto info = Zero<TMouseProfileInfo>();
        dm->ReadProfileInfo(*info, i);
        EXPECT_EQ(Stored(name), Bytes(*info)) << i;
        EXPECT_EQ(FileBytes(Profiles.Path() + name), Bytes(*info)) << i;
    }

    auto edited = Zero<TMouseProfileInfo>();
    edited->ConfigInfo.ButtonCount = 3;
    EXPECT_FALSE(dm->SaveBackToProfileInfo(*edited, 5));
    EXPECT_FALSE(dm->SaveProfileInfoToRegistry(-1));
    EXPECT_FALSE(dm->LoadProfileInfoFromRegistry(5));
    EXPECT_FALSE(dm->ReadProfileInfo(*edited, 5));
    ASSERT_TRUE(dm->SaveBackToProfileInfo(*edited, 3));
    EXPECT_FALSE(dm->IsProfileChanged(3)) << "not marked";
    ASSERT_TRUE(dm->SaveProfileInfoToRegistry(3));
    EXPECT_EQ(Stored(u"Profile4.gpf"), Bytes(*edited));
    ASSERT_TRUE(dm->SaveBackToProfileInfo(*Zero<TMouseProfileInfo>(), 3));
    EXPECT_TRUE(dm->LoadProfileInfoFromRegistry(3));
    auto reloaded = Zero<TMouseProfileInfo>();
    dm->ReadProfileInfo(*reloaded, 3);
    EXPECT_EQ(Bytes(*reloaded), Bytes(*edited));

    // The group record reaches the registry only when saved.
    dm->FProfileSettingGroup.ProfileIndexOfProfileGroup[1] = 4;
    dm->SaveBackToProfileGroupSettingInfo();
    EXPECT_EQ(StoredGroup()->ProfileIndexOfProfileGroup[1], 1);
    dm->SaveProfileGroupSettingInfoToRegistry();
    EXPECT_EQ(StoredGroup()->ProfileIndexOfProfileGroup[1], 4);

    // The recorded macro.
    auto macro = Zero<TMACROKEYINFO>();
    macro->MacroListCount = 5;
    SetArrayText(macro->szMacroName, u"Reload");
    dm->SaveBackRecordMacroInfoToRegistry(*macro);
    EXPECT_EQ(dm->FRecordMacroInfo.MacroListCount, 0);
    EXPECT_EQ(Stored(u"RecordRPROFILE.pfd"), Bytes(*macro));
    dm->LoadRecordMacroInfoFromRegistry();
    EXPECT_EQ(Bytes(dm->FRecordMacroInfo), Bytes(*macro));
}

TEST_F(DMTest, ChangingTheCurrentProfilesFile)
{
    auto dm = Start();
    ASSERT_TRUE(dm->SwitchToProfile(2));
    const TTestFolder files(u"QelMonFiles_" + Name);
    ASSERT_TRUE(dm->ChangeCurrentProfileFileNameAndPath(files.Path() + u"Mine.gpf"));
    EXPECT_EQ(dm->ProfileGroup(2)->FileName(), u"Mine.gpf");
    EXPECT_EQ(dm->ProfileGroup(2)->FilePath(), files.Path());
    const TProfileSettingItem& item = dm->FProfileSettingGroup.ProfileSettingList[2];
    EXPECT_EQ(ArrayText(item.ProfileFileName), u"Mine.gpf");
    EXPECT_EQ(ArrayText(item.ProfileFolderPath), files.Path());
    EXPECT_EQ(StoredGroup()->ProfileSettingList[2].ProfileFileName[0], u'P') << "nothing is saved";

    // A folder that does not exist reaches the record, not the component.
    ASSERT_TRUE(dm->ChangeCurrentProfileFileNameAndPath(files.Path() + u"none\\" + std::u16string(30, u'n')));
    EXPECT_EQ(dm->ProfileGroup(2)->FilePath(), files.Path());
    EXPECT_EQ(ArrayText(item.ProfileFileName), std::u16string(21, u'n')) << "cut to the array";
}

TEST_F(DMTest, RestoringFactoryValues)
{
    auto dm = Start();
    auto custom = Zero<TMouseProfileInfo>();
    std::memset(custom.get(), 0x5C, sizeof *custom);
    for (int i = 0; i < 5; ++i) dm->SaveBackToProfileInfo(*custom, i);
    dm->ReadCurrentProfileInfo();
    EXPECT_EQ(Bytes(dm->FCurrentProfileInfo), Bytes(*custom));

    EXPECT_FALSE(dm->RestoreProfileInfoToDefault(5));
    ASSERT_TRUE(dm->RestoreProfileInfoToDefault(4));
    EXPECT_TRUE(dm->IsProfileChanged(4));
    auto info = Zero<TMouseProfileInfo>();
    dm->ReadProfileInfo(*info, 4);
    std::vector<TFieldCase> game5 = GameProfileCases(5, UIDBits(*info));
    ExpectImage(info.get(), ExpectedImage(sizeof *info, 0x5C, GameProfileClearedRanges(), game5), game5);
    EXPECT_EQ(Bytes(dm->FCurrentProfileInfo), Bytes(*custom)) << "another profile: the working copy stays";

    // Group 1 names profile 1, which is not current: only its stream changes.
    EXPECT_FALSE(dm->RestoreProfileGroupToDefault(2));
    ASSERT_TRUE(dm->RestoreProfileGroupToDefault(1));
    EXPECT_FALSE(dm->IsProfileChanged(1));
    dm->ReadProfileInfo(*info, 1);
    EXPECT_EQ(info->ConfigInfo.ButtonFuncInfo[6].FunctionCode, 16);
    // Group 0 names the current profile 0.
    ASSERT_TRUE(dm->RestoreProfileGroupToDefault(0));
    EXPECT_TRUE(dm->IsProfileChanged(0));
    EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[3].FunctionCode, 24);

    dm->SaveBackToProfileInfo(*custom, 0);
    dm->SetProfileChanged(0, false);
    dm->RestoreCurrentProfileInfoToDefault();
    EXPECT_TRUE(dm->IsProfileChanged(0));
    EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.ReportRate, 500);
    EXPECT_EQ(dm->FCurrentProfileInfo.MacroKeyInfoList.nMacroInfoCount, 0x5C5C) << "macros are kept";

    for (int i = 0; i < 5; ++i) dm->SetProfileChanged(i, false);
    dm->SaveBackToProfileInfo(*custom, 0);
    dm->RestoreAllProfileInfoToDefault();
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(dm->IsProfileChanged(i)) << i;
    EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.ButtonCount, 9);
    EXPECT_FALSE(dm->IsProfileChanged(5));
    EXPECT_TRUE(Stored(u"Profile1.gpf").empty()) << "restores save nothing";

    // CPI and lighting act on the working record alone.
    dm->FCurrentProfileInfo.ConfigInfo.CPILevel = 8;
    dm->RestoreToDefaultCPISetting();
    dm->RestoreToDefaultLightAndReportAdvancedSetting();
    const TMOUSECONFIGINFO& config = dm->FCurrentProfileInfo.ConfigInfo;
    EXPECT_EQ(config.CPILevel, 8);
    EXPECT_EQ(config.CPIState[3].CPIX, 8200);
    EXPECT_EQ(config.CPIState[4].Active, 0);
    EXPECT_EQ(config.ReportRate, 125);
    EXPECT_EQ(config.LEDConfig.G, 0);
    dm->ReadProfileInfo(*info, 0);
    EXPECT_EQ(info->ConfigInfo.ReportRate, 500);
}

TEST_F(DMTest, RestoringTheGroupRecordAndTheTestRecords)
{
    auto dm = Start();
    auto group = StoredGroup();
    group->ProfileIndexOfProfileGroup[0] = 4;
    StoreGroup(*group);
    dm->FProfileSettingGroup.CurrentProfileGroup = 1;
    dm->RestoreProfileSettingGroupToDefault();
    EXPECT_EQ(StoredGroup()->ProfileIndexOfProfileGroup[0], 0) << "the factory group is saved";
    EXPECT_EQ(dm->FProfileSettingGroup.CurrentProfileGroup, 1) << "and not reloaded";

    dm->InitTestDefaultValue();
    const std::vector<TFieldCase> test = TestProfileCases(UIDBits(dm->FTestProfileInfo));
    ExpectImage(&dm->FTestProfileInfo, ExpectedImage(sizeof(TMouseProfileInfo), 0, {}, test), test);
    const std::vector<TFieldCase> game1 = GameProfileCases(1, UIDBits(dm->FDefaultProfileInfo));
    ExpectImage(&dm->FDefaultProfileInfo, ExpectedImage(sizeof(TMouseProfileInfo), 0, {}, game1), game1);
    EXPECT_EQ(dm->uiProfileTest->FileName(), u"Q5500ProfileTest.pfd");
    EXPECT_EQ(dm->uiProfileDefaultGame->FileName(), u"Q5500ProfileDef.pfd");
    EXPECT_TRUE(Stored(u"Q5500ProfileTest.pfd").empty());
    EXPECT_TRUE(Stored(u"Q5500ProfileDef.pfd").empty());
}

TEST_F(DMTest, MacroIndexListOfAllProfiles)
{
    auto dm = Start();
    struct TButton {
        int Profile;
        int Button;
        uint8_t Type;
        uint16_t Macro;
    };
    struct Case {
        const char* Name;
        std::vector<int32_t> ButtonCounts;
        std::vector<TButton> Buttons;
        std::vector<int> Expected;
    };
    const Case cases[] = {
        {"the same macro in two profiles", {9, 9, 9, 9, 9}, {{0, 3, 4, 3}, {2, 5, 4, 3}}, {3}},
        {"first use decides the order", {9, 9, 9, 9, 9}, {{0, 8, 4, 7}, {1, 0, 4, 2}, {1, 1, 4, 7}, {4, 2, 4, 0}}, {7, 2, 0}},
        {"beyond ButtonCount", {3, 9, 9, 9, 9}, {{0, 3, 4, 5}, {0, 2, 4, 6}}, {6}},
        {"not a macro, or none", {9, 9, 9, 9, 9}, {{0, 1, 3, 5}, {0, 2, 4, 0xFFFF}}, {}},
        {"a damaged count reads 15 buttons at most", {1000, -4, 15, 9, 9}, {{0, 14, 4, 11}, {1, 0, 4, 12}, {2, 14, 4, 13}}, {11, 13}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        for (int p = 0; p < 5; ++p) {
            auto info = Zero<TMouseProfileInfo>();
            info->ConfigInfo.ButtonCount = c.ButtonCounts[static_cast<size_t>(p)];
            for (const TButton& b : c.Buttons) {
                if (b.Profile != p) continue;
                info->ConfigInfo.ButtonFuncInfo[b.Button].FunctionType = b.Type;
                info->ConfigInfo.ButtonFuncInfo[b.Button].MacroIndex = b.Macro;
            }
            dm->SaveBackToProfileInfo(*info, p);
        }
        EXPECT_EQ(dm->GetAllProfilesMacroIndexList(), c.Expected);
    }
}

TEST_F(DMTest, StorageErrorsAtStartReachTheCreator)
{
    FirstStartGroup();
    const char16_t text[] = u"not a profile";
    Key.Write(u"Profile2.gpf", text, sizeof text, REG_SZ);
    try {
        Start();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"Invalid data type for 'Profile2.gpf'");
    }
    std::vector<uint8_t> bytes;
    DWORD type = 0;
    ASSERT_TRUE(Key.Read(u"Profile2.gpf", bytes, &type));
    EXPECT_EQ(type, DWORD{REG_SZ}) << "the value is left as it is";
}
