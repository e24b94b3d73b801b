// The language component on Windows under the user locale English (United States).
#include "WinLanguageTestSupport.h"
#include "framework/win/Handle.h"
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
    EXPECT_EQ(std::filesystem::path(self).remove_filename(), folder);

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

// The program copies itself into the drive's root and runs that copy, with another current
// folder, on this test alone: the copy finds "C:\ui.local" beside itself.
TEST(WinLanguage, UiLocalBesideAProgramInTheDriveRoot)
{
    const std::filesystem::path folder(Win().ExecutableFolder());
    if (folder == folder.root_path()) {
        TuiLanguage language(nullptr, Win());
        EXPECT_EQ(language.GetLanguageShortIDByIndex(0), u"JP");
        return;
    }
    wchar_t windows[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
    const std::filesystem::path root = std::filesystem::path(windows).root_path();
    const std::filesystem::path copy = root / "qel-lang-root-test.exe";
    const std::filesystem::path file = root / "ui.local";
    struct TRemove {
        std::vector<std::filesystem::path> Files;
        ~TRemove()
        {
            std::error_code ec;
            for (const auto& f : Files) std::filesystem::remove(f, ec);
        }
    } remove{{copy, file}};
    wchar_t self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    std::filesystem::copy_file(self, copy, std::filesystem::copy_options::overwrite_existing);
    {
        TuiLanguage writer(nullptr, Win());
        writer.Resources().Clear();
        writer.AddLang(u"JP");
        writer.SaveToFile(file.u16string());
    }

    std::wstring command = L"\"" + copy.wstring() + L"\" --gtest_filter=WinLanguage.UiLocalBesideAProgramInTheDriveRoot";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, windows, &startup, &process));
    const THandleOwner processHandle(process.hProcess), threadHandle(process.hThread);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD code = 1;
    ASSERT_TRUE(GetExitCodeProcess(process.hProcess, &code));
    EXPECT_EQ(code, 0u) << "the copy in the root did not find the root's ui.local first";
}

} // namespace
