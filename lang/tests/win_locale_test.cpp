// The language component on Windows under the user locale English (United States).
#include "WinLanguageTestSupport.h"
#include "lang/uiScene.h"

#include <gtest/gtest.h>

namespace {

const TLanguagePlatform& Win() { return TWinLanguagePlatform::Instance(); }

TEST(WinLanguage, RunsUnderTheEnglishUserLocale)
{
    EXPECT_EQ(UserAbbreviation(), u"ENU");
    EXPECT_EQ(Win().UserLanguageAbbreviation(), u"ENU");
    TuiLanguage language(nullptr, Win());
    EXPECT_EQ(language.GetOSDefaultLang(), u"0409");
}

TEST(WinLanguage, LocaleTablesHoldTheInstalledLanguagesWithTheirDisplayNames)
{
    TuiLanguage language(nullptr, Win());
    struct TCase {
        std::u16string LangID;
        LCID Locale;
        std::u16string Contains;
    };
    for (const TCase& c : {TCase{u"0804", 0x0804, u"Chinese"}, {u"0409", 0x0409, u"English"}}) {
        const std::u16string name = language.GetLanguageLongNameByLangID(c.LangID);
        wchar_t expected[128];
        ASSERT_GT(GetLocaleInfoW(c.Locale, LOCALE_SLANGUAGE, expected, 128), 0);
        EXPECT_EQ(name, U(expected));
        EXPECT_NE(name.find(c.Contains), std::u16string::npos) << std::string(name.begin(), name.end());
        EXPECT_EQ(language.GetLanguageLongNameByShortID(c.LangID), name);
    }
    EXPECT_EQ(language.GetLanguageLongNameByShortID(u"CH"), u"");
    EXPECT_EQ(language.GetLanguageLongNameByLangID(u"ZZZZ"), u"");
}

TEST(WinLanguage, SortingFollowsTheUserLocaleCollation)
{
    const TTextCompare compare = Win().TextCompare();
    EXPECT_LT(compare(u"a", u"B", true), 0);          // code units would put "B" first
    EXPECT_LT(compare(u"Button", u"BUTTON ASSIGNMENT", true), 0);
    EXPECT_LT(compare(u"abc", u"ABC", true), 0);
    EXPECT_EQ(compare(u"abc", u"ABC", false), 0);
    EXPECT_LT(compare(u" MIDDLE", u"- STRIKE", true), 0); // the hyphen weighs less than letters
    EXPECT_EQ(compare(u"", u"", true), 0);
}

TEST(WinLanguage, BuiltInDataWrittenBackIsTheSameBytes)
{
    const std::vector<uint8_t> saved = SavedBuiltInData(std::filesystem::temp_directory_path() / "qel-builtin-en.local");
    const auto builtIn = BuiltInLanguageData();
    EXPECT_EQ(saved, std::vector<uint8_t>(builtIn.begin(), builtIn.end()));
}

TEST(WinLanguage, LoadCompletionUnderEnglishAppliesNothing)
{
    TComponent owner(nullptr);
    auto* scene = new TuiScene(&owner);
    scene->AddText(u"Config");
    auto* language = new TuiLanguage(&owner, Win());
    language->LoadStoredData(BuiltInLanguageData());
    EXPECT_EQ(language->BaseLang(), u"en");
    EXPECT_EQ(scene->Text(0), u"Config");
    EXPECT_FALSE(TranslationService::HasCurrentTable());
}

TEST(WinLanguage, UiLocalBesideTheProgramIsLoadedFirst)
{
    const std::filesystem::path folder(Win().ExecutableFolder());
    wchar_t self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    EXPECT_EQ(std::filesystem::path(self).parent_path(), folder);

    // A language file written by a component, as the translation editor writes it.
    const std::filesystem::path file = folder / "ui.local";
    {
        TuiLanguage writer(nullptr, Win());
        writer.Original().Add(u"Config");
        for (const char16_t* name : {u"CH", u"JP"}) writer.AddLang(name);
        writer.FindLanguageTable(u"CH")->Add(u"Config=file CH");
        writer.SaveToFile(file.u16string());
    }
    struct TRemove {
        std::filesystem::path File;
        ~TRemove() { std::filesystem::remove(File); }
    } remove{file};

    TuiLanguage language(nullptr, Win());
    language.LoadStoredData(BuiltInLanguageData());
    const std::u16string expected[] = {u"CH", u"JP", u"CH", u"US"};
    ASSERT_EQ(language.Resources().Count(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(language.GetLanguageShortIDByIndex(i), expected[i]) << i;
    language.SetLang(u"CH");
    EXPECT_EQ(TranslateText(u"Config"), u"file CH");
    TranslationService::Reset();
}

} // namespace
