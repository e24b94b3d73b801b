#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "profile/FactoryDefaults.h"
#include "profile/tests/ImageCheck.h"

namespace {

constexpr uint8_t kFill = 0xA5;
constexpr double kNow = 46000.25;  // 9 December 2025, 06:00

uint64_t Bits(double AValue)
{
    uint64_t bits;
    std::memcpy(&bits, &AValue, sizeof bits);
    return bits;
}

template <class TRecord>
std::unique_ptr<TRecord> Filled()
{
    auto record = std::make_unique<TRecord>();
    std::memset(record.get(), kFill, sizeof(TRecord));
    return record;
}

std::string Tag(const char* AField, int AIndex)
{
    std::string tagged(AField);
    tagged += '[';
    tagged += std::to_string(AIndex);
    tagged += ']';
    return tagged;
}

TOptionsFromConfigFile Options()
{
    return {u"software\\software\\QelHV730gmmouse", u"Profile", u"Profile", u"MacroDB"};
}

}  // namespace

// Every named value at exactly its offset, every byte the defaults do not name left as it was
// (macros, wheel entries, application list, buttons 10..14, bytes 3904.. of button 9 included).
TEST(FactoryDefaults, GameProfilesMatchTheLayoutTables)
{
    for (int game = 1; game <= 5; ++game) {
        SCOPED_TRACE(Tag("game", game));
        auto info = Filled<TMouseProfileInfo>();
        RestoreGameProfileDefaults(*info, game, kNow);
        const std::vector<TFieldCase> cases = GameProfileCases(game, Bits(kNow));
        ExpectImage(info.get(), ExpectedImage(sizeof *info, kFill, GameProfileClearedRanges(), cases), cases);
    }
}

TEST(FactoryDefaults, NoGameProfileBeyondFive)
{
    for (int game : {0, 6, -1}) {
        auto info = Filled<TMouseProfileInfo>();
        RestoreGameProfileDefaults(*info, game, kNow);
        ExpectImage(info.get(), ExpectedImage(sizeof *info, kFill, {}, {}), {});
    }
}

TEST(FactoryDefaults, GameProfileRestoresDifferOnlyInTheIdentity)
{
    auto first = Filled<TMouseProfileInfo>();
    RestoreGameProfileDefaults(*first, 2, kNow);
    auto second = std::make_unique<TMouseProfileInfo>(*first);
    RestoreGameProfileDefaults(*second, 2, kNow + 1.0 / 86400);
    EXPECT_NE(std::memcmp(&first->ProfileHeader.FProfileUID, &second->ProfileHeader.FProfileUID, 8), 0);
    second->ProfileHeader.FProfileUID = first->ProfileHeader.FProfileUID;
    EXPECT_EQ(std::memcmp(first.get(), second.get(), sizeof *first), 0);
}

TEST(FactoryDefaults, TestProfileClearsTheWholeRecord)
{
    auto info = Filled<TMouseProfileInfo>();
    info->MacroKeyInfoList.nMacroInfoCount = 7;
    RestoreTestProfileDefaults(*info, kNow);
    const std::vector<TFieldCase> cases = TestProfileCases(Bits(kNow));
    ExpectImage(info.get(), ExpectedImage(sizeof *info, 0, {}, cases), cases);
}

TEST(FactoryDefaults, ProfileSettingGroupEntriesAndSelection)
{
    auto group = Filled<TProfileSettingGroup>();
    const std::u16string folder = u"C:\\users\\me\\Documents\\Profile\\";
    for (int i = 0; i < 5; ++i) RestoreProfileSettingItemDefaults(group->ProfileSettingList[i], i + 1, Options(), folder);
    RestoreProfileGroupSelectionDefaults(*group);

    std::vector<TFieldCase> cases = {
        Num("CurrentProfileGroup", 0, 4, 0),
        Num("ProfileIndexOfProfileGroup[0]", 4, 4, 0),
        Num("ProfileIndexOfProfileGroup[1]", 8, 4, 1),
    };
    for (int i = 0; i < 5; ++i) {
        const size_t item = 12 + 6190 * static_cast<size_t>(i);
        const std::u16string n = std::u16string(1, static_cast<char16_t>(u'1' + i));
        cases.push_back(Num(Tag("State", i), item, 2, 0));
        cases.push_back(Text(Tag("ProfileFolderPath", i), item + 2, folder));
        cases.push_back(Text(Tag("RegistryFolder", i), item + 2050, u"software\\software\\QelHV730gmmouse"));
        cases.push_back(Text(Tag("ProfileFileName", i), item + 4098, u"Profile" + n + u".gpf"));
        cases.push_back(Text(Tag("MacroFolderPath", i), item + 4140, folder + u"\\Profile" + n + u"_Macros"));
        cases.push_back(Num(Tag("StorageKind", i), item + 6188, 1, 0));
    }
    ExpectImage(group.get(), ExpectedImage(sizeof *group, kFill, {}, cases), cases);
}

TEST(FactoryDefaults, AllSettingsAndTheLanguageOfTheSystem)
{
    struct Case {
        std::u16string LangID;
        uint8_t Language;
    };
    const Case langs[] = {{u"0804", 1}, {u"0404", 2}, {u"0409", 0}, {u"0C04", 0}, {u"", 0}};
    for (const Case& lang : langs) {
        auto info = Filled<TALLGAMESINFO>();
        RestoreAllSettingDefaults(*info, lang.LangID);
        std::vector<TFieldCase> cases = {Num("CurrentGame", 30950, 2, 0),
                                         Num("CurrentLanguage", 30952, 1, lang.Language)};
        for (int i = 0; i < 5; ++i) {
            const size_t item = 6190 * static_cast<size_t>(i);
                cases.push_back(Num(Tag("State", i), item, 2, i == 0 ? 1 : 0));
            cases.push_back(Text(Tag("ProfileFolderPath", i), item + 2, u""));
            cases.push_back(Num(Tag("StorageKind", i), item + 6188, 1, 0));
        }
        ExpectImage(info.get(), ExpectedImage(sizeof *info, kFill, {}, cases), cases);
    }
    EXPECT_EQ(LangIDText(0x0804), u"0804");
    EXPECT_EQ(LangIDText(0x0c0a), u"0C0A");
    EXPECT_EQ(LangIDText(0), u"0000");
}

TEST(FactoryDefaults, CPISettingKeepsTheLevelCount)
{
    auto info = Filled<TMouseProfileInfo>();
    TMOUSECONFIGINFO& config = info->ConfigInfo;
    config.CPILevel = 7;
    RestoreCPISettingDefaults(config);
    const uint16_t cpi[4] = {1000, 2000, 4000, 8200};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(config.CPIState[i].CPIX, cpi[i]);
        EXPECT_EQ(config.CPIState[i].CPIY, cpi[i]);
        EXPECT_EQ(config.CPIState[i].Active, 1);
        EXPECT_EQ(config.UseDiffentXY[i], 0);
    }
    EXPECT_EQ(config.CPIState[4].CPIX, 0);
    EXPECT_EQ(config.CPIState[4].CPIY, 0);
    EXPECT_EQ(config.CPIState[4].Active, 0);
    EXPECT_EQ(config.CPIState[4].Opaque6[0], kFill);
    EXPECT_EQ(config.CPIState[5].CPIX, 0xA5A5) << "levels past 4 are not touched";
    EXPECT_EQ(config.UseDiffentXY[4], 0xA5A5);
    EXPECT_EQ(config.CurrentCPIIndex, 1);
    EXPECT_EQ(config.CPILevel, 7);
}

TEST(FactoryDefaults, LightAndReportSetting)
{
    auto info = Filled<TMouseProfileInfo>();
    RestoreLightAndReportDefaults(info->ConfigInfo);
    const TMOUSECONFIGINFO& config = info->ConfigInfo;
    EXPECT_EQ(config.ReportRate, 125);
    EXPECT_EQ(config.LEDConfig.R, 255);
    EXPECT_EQ(config.LEDConfig.G, 0);
    EXPECT_EQ(config.LEDConfig.B, 0);
    EXPECT_EQ(config.LEDConfig.BRIGHT_LEVEL, 2);
    EXPECT_EQ(config.LEDConfig.BREATH_SPEED, 3);
    EXPECT_EQ(config.LEDConfig.BREATH_SECOND, kFill);
    EXPECT_EQ(config.PointerSpeed, 0xA5A5);
}

TEST(FactoryDefaults, EncodeDateTimeCountsDaysFrom1899)
{
    struct Case {
        int Y, M, D, h, m, s, ms;
        double Expected;
    };
    const Case cases[] = {
        {1899, 12, 30, 0, 0, 0, 0, 0.0},      {1900, 1, 1, 0, 0, 0, 0, 2.0},
        {1900, 3, 1, 0, 0, 0, 0, 61.0},       {2000, 1, 1, 12, 0, 0, 0, 36526.5},
        {2024, 2, 29, 18, 0, 0, 0, 45351.75}, {1970, 1, 1, 0, 0, 1, 500, 25569.0 + 1.5 / 86400},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(EncodeDateTime(c.Y, c.M, c.D, c.h, c.m, c.s, c.ms), c.Expected) << c.Y << "-" << c.M;
}
