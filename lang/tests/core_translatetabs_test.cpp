// The translation editor's tabs and operations, on a component and a folder of the test's own.
#include "FakeLanguagePlatform.h"
#include "LanguageTestSupport.h"
#include "framework/core/Text.h"
#include "lang/TranslateTabs.h"
#include "lang/uiLanguage.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class TranslateTabs : public TServiceReset {
protected:
    TranslateTabs()
    {
        Platform.Locales.push_back({u"0404", u"Chinese (Taiwan)", u"TWN"});
        Language = std::make_unique<TuiLanguage>(nullptr, Platform);
        for (const char16_t* text : {u"Config", u"Exit", u"OK"}) Language->Original().Add(text);
    }

    TStringList& Table(const std::u16string& AName) { return *Language->FindLanguageTable(AName); }
    int LocaleIndex(const std::u16string& ALangID) const
    {
        for (size_t i = 0; i < Platform.Locales.size(); ++i)
            if (Platform.Locales[i].LangID == ALangID) return static_cast<int>(i);
        return -1;
    }
    static std::vector<std::u16string> Captions(const TTranslateTabs& ATabs)
    {
        std::vector<std::u16string> out;
        for (const TTranslateTab& tab : ATabs.Tabs()) out.push_back(tab.Caption);
        return out;
    }
    // Reads a saved file back as a component of its own would.
    std::unique_ptr<TuiLanguage> Reload(const std::u16string& AFile)
    {
        auto language = std::make_unique<TuiLanguage>(nullptr, Platform);
        language->Resources().Clear();
        language->LoadFromFile(AFile);
        return language;
    }

    TFakeLanguagePlatform Platform;
    std::unique_ptr<TuiLanguage> Language;
};

TEST_F(TranslateTabs, OpensOneTabPerLocaleLanguageWithItsDisplayName)
{
    for (const char16_t* name : {u"0804", u"CH", u"0409", u"0804", u"JP"}) Language->Resources().AddObject(name, NewTranslationTable(CompareOrdinal));
    Table(u"0804").Add(u"Config=\u6253\u5f00\u914d\u7f6e");
    Table(u"0804").Add(u"Exit=");
    TTranslateTabs tabs(Platform);
    tabs.LoadLanguageAndCreateTranslateTabList(*Language);

    EXPECT_EQ(Captions(tabs), (std::vector<std::u16string>{u"Chinese (PRC)", u"English (United States)"}));
    EXPECT_EQ(tabs.Selected(), 1);
    const TTranslateGrid& grid = tabs.Tabs()[0].Grid;
    EXPECT_EQ(grid.Hint, u"0804");
    EXPECT_EQ(grid.RowCount(), 3 + TTranslateTabs::kRowsForLoaded);
    EXPECT_EQ(grid.Source[0], u"Config");
    EXPECT_EQ(grid.Translation[0], u"\u6253\u5f00\u914d\u7f6e");
    // Without a translation, or with an empty one, a source text shows itself.
    EXPECT_EQ(grid.Translation[1], u"Exit");
    EXPECT_EQ(grid.Translation[2], u"OK");
    EXPECT_EQ(grid.Source[3], u"");
}

TEST_F(TranslateTabs, SaveWritesTheGridsAndKeepsEveryLanguageAtItsPlace)
{
    for (const char16_t* name : {u"JP", u"0409", u"CH"}) Language->Resources().AddObject(name, NewTranslationTable(CompareOrdinal));
    Table(u"JP").Add(u"Config=\u8a2d\u5b9a");
    Table(u"0409").Add(u"Unlisted=gone");
    const std::u16string file = Platform.PathOf(u"ui.local");
    WriteBytes(file, std::vector<uint8_t>(5000, 0xEE)); // an earlier file, larger than the new one

    TTranslateTabs tabs(Platform);
    tabs.LoadLanguageAndCreateTranslateTabList(*Language);
    tabs.AddLanguage(LocaleIndex(u"0804"));
    tabs.SetTranslation(1, 0, u"\u6253\u5f00\u914d\u7f6e");
    tabs.SetTranslation(0, 1, u"Quit");
    tabs.SetTranslation(0, 2, u""); // an empty translation writes no line
    tabs.Save(file);

    const auto saved = Reload(file);
    EXPECT_EQ(Lines(saved->Original()), (std::vector<std::u16string>{u"Config", u"Exit", u"OK"}));
    // JP and CH have no tab: they stay at positions 0 and 2, 0409 at 1; the added 0804 follows.
    EXPECT_EQ(Lines(saved->Resources()), (std::vector<std::u16string>{u"JP", u"0409", u"CH", u"0804"}));
    // A source text shown as itself is saved as its own translation; lines of texts that are
    // no source text are not kept.
    EXPECT_EQ(Lines(*saved->FindLanguageTable(u"0409")), (std::vector<std::u16string>{u"Config=Config", u"Exit=Quit"}));
    EXPECT_EQ(Lines(*saved->FindLanguageTable(u"0804")), (std::vector<std::u16string>{u"Config=\u6253\u5f00\u914d\u7f6e"}));
    EXPECT_EQ(Lines(*saved->FindLanguageTable(u"JP")), (std::vector<std::u16string>{u"Config=\u8a2d\u5b9a"}));
    EXPECT_EQ(ReadBytes(file), WriteLanguageData(Language->Original(), Language->Resources()));
}

// The editor reads a locale's abbreviated country name into ten characters, the component into
// four: a locale whose abbreviation is longer than three letters has a short ID in the editor only.
TEST_F(TranslateTabs, TheEditorsLocaleListReadsTheCountryAbbreviationIntoTenCharacters)
{
    Language.reset();
    Platform.Locales.push_back({u"580A", u"Spanish (Latin America)", u"LATAM"});
    Platform.Locales.push_back({u"0C0A", u"Spanish (Spain)", u"ESPANA-INT"}); // ten letters: no room left
    Language = std::make_unique<TuiLanguage>(nullptr, Platform);
    Language->Original().Add(u"OK");
    for (const char16_t* name : {u"580A", u"0C0A", u"0409"}) Language->AddLang(name);

    TTranslateTabs tabs(Platform);
    EXPECT_EQ(tabs.ShortIDAt(LocaleIndex(u"580A")), u"580A");
    EXPECT_EQ(tabs.ShortIDAt(LocaleIndex(u"0C0A")), u"");
    EXPECT_EQ(tabs.ShortIDAt(LocaleIndex(u"047F")), u"");
    tabs.LoadLanguageAndCreateTranslateTabList(*Language);
    EXPECT_EQ(Captions(tabs), (std::vector<std::u16string>{u"Spanish (Latin America)", u"English (United States)"}));

    EXPECT_EQ(Language->GetLanguageLongNameByLangID(u"580A"), u"Spanish (Latin America)");
    EXPECT_EQ(Language->GetLanguageLongNameByShortID(u"580A"), u"");
    EXPECT_EQ(Language->GetLanguageLongNameByShortID(u"0409"), u"English (United States)");
}

// The configuration program stores the chosen language as a position in this list: a save keeps
// every position it had, whatever has a tab.
TEST_F(TranslateTabs, SaveKeepsEveryPositionAndAppendsTheAddedLanguages)
{
    for (const char16_t* name : {u"CH", u"0804", u"JP", u"0409", u"0804", u"US"})
        Language->Resources().AddObject(name, NewTranslationTable(CompareOrdinal));
    // The second 0804 is never looked up (the first one is): it has no tab of its own.
    static_cast<TStringList*>(Language->Resources().Objects(4))->Add(u"Config=shadowed");
    Table(u"CH").Add(u"Exit=\u9000\u51fa");
    TTranslateTabs tabs(Platform);
    tabs.LoadLanguageAndCreateTranslateTabList(*Language);
    ASSERT_EQ(tabs.TabCount(), 2);
    tabs.AddLanguage(LocaleIndex(u"0404"));
    tabs.SetTranslation(0, 0, u"\u914d\u7f6e");
    tabs.SetTranslation(2, 1, u"\u96e2\u958b");
    const std::u16string file = Platform.PathOf(u"ui.local");
    tabs.Save(file);

    const auto saved = Reload(file);
    EXPECT_EQ(Lines(saved->Resources()),
              (std::vector<std::u16string>{u"CH", u"0804", u"JP", u"0409", u"0804", u"US", u"0404"}));
    const auto table = [&](int AIndex) { return Lines(*static_cast<TStringList*>(saved->Resources().Objects(AIndex))); };
    EXPECT_EQ(table(0), (std::vector<std::u16string>{u"Exit=\u9000\u51fa"}));
    EXPECT_EQ(table(1), (std::vector<std::u16string>{u"Config=\u914d\u7f6e", u"Exit=Exit", u"OK=OK"}));
    EXPECT_EQ(table(2), (std::vector<std::u16string>{}));
    EXPECT_EQ(table(3), (std::vector<std::u16string>{u"Config=Config", u"Exit=Exit", u"OK=OK"}));
    EXPECT_EQ(table(4), (std::vector<std::u16string>{u"Config=shadowed"}));
    EXPECT_EQ(table(6), (std::vector<std::u16string>{u"Exit=\u96e2\u958b"}));
}

TEST_F(TranslateTabs, AddLanguageSelectsAnExistingTabOrAddsOneWithTheComponentsTranslations)
{
    Language->AddLang(u"0409");
    Language->AddLang(u"0404"); // a language of the component that has a tab already
    Table(u"0404").Add(u"OK=\u78ba\u5b9a");
    TTranslateTabs tabs(Platform);
    tabs.LoadLanguageAndCreateTranslateTabList(*Language);
    tabs.Select(0);
    tabs.AddLanguage(LocaleIndex(u"0404"));
    EXPECT_EQ(tabs.TabCount(), 2);
    EXPECT_EQ(tabs.Selected(), 1);

    Language->Resources().Delete(1);
    Language->AddLang(u"0804");
    Table(u"0804").Add(u"OK=\u786e\u5b9a");
    tabs.AddLanguage(LocaleIndex(u"0804"));
    ASSERT_EQ(tabs.TabCount(), 3);
    EXPECT_EQ(tabs.Selected(), 2);
    const TTranslateGrid& grid = tabs.Tabs()[2].Grid;
    EXPECT_EQ(grid.Hint, u"0804");
    EXPECT_EQ(grid.RowCount(), 3 + TTranslateTabs::kRowsForAdded);
    EXPECT_EQ(grid.Translation[0], u"");
    EXPECT_EQ(grid.Translation[2], u"\u786e\u5b9a");

    tabs.AddLanguage(-1);
    tabs.AddLanguage(static_cast<int>(Platform.Locales.size()));
    EXPECT_EQ(tabs.TabCount(), 3);
}

TEST_F(TranslateTabs, TenTabsPageByEightAndDeletingKeepsAPageShown)
{
    Platform.Locales.clear();
    for (int i = 0; i < 10; ++i) {
        const std::u16string id = u"04" + std::u16string(1, static_cast<char16_t>(u'0' + i)) + u"9";
        Platform.Locales.push_back({id, u"Language " + id, u"ABC"});
        Language->AddLang(id);
    }
    TTranslateTabs tabs(Platform);
    tabs.LoadLanguageAndCreateTranslateTabList(*Language);
    const auto shown = [&] {
        std::vector<int> out;
        for (int i = 0; i < tabs.TabCount(); ++i)
            if (tabs.Tabs()[static_cast<size_t>(i)].Visible) out.push_back(i);
        return out;
    };
    EXPECT_EQ(shown(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    tabs.PrevPage();
    EXPECT_EQ(tabs.FirstVisible(), 0);
    tabs.NextPage();
    tabs.NextPage();
    EXPECT_EQ(tabs.FirstVisible(), 2);
    EXPECT_EQ(shown(), (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9}));
    tabs.NextPage();
    EXPECT_EQ(tabs.FirstVisible(), 2);

    tabs.Select(9);
    tabs.DeleteLanguage();
    EXPECT_EQ(tabs.Selected(), 8);
    EXPECT_EQ(Language->GetLanguageIndexByShortID(u"0499"), -1);
    EXPECT_EQ(Language->Resources().Count(), 9);
    EXPECT_EQ(tabs.FirstVisible(), 1);
    EXPECT_EQ(shown(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    tabs.Select(0);
    tabs.DeleteLanguage();
    EXPECT_EQ(tabs.Selected(), 0);
    EXPECT_EQ(tabs.Tabs()[0].Caption, u"Language 0419");
    while (tabs.TabCount() > 0) tabs.DeleteLanguage();
    EXPECT_EQ(tabs.Selected(), -1);
    EXPECT_EQ(Language->Resources().Count(), 0);
    tabs.DeleteLanguage();
}

TEST_F(TranslateTabs, AddConstTextJoinsEveryGridAndTypedTranslationsStayBesideTheirTexts)
{
    Language->AddLang(u"0409");
    TTranslateTabs tabs(Platform);
    tabs.LoadLanguageAndCreateTranslateTabList(*Language);
    tabs.AddLanguage(LocaleIndex(u"0804"));
    tabs.SetTranslation(1, 1, u"\u9000\u51fa"); // beside "Exit"
    tabs.SetTranslation(0, 2, u"Okay");         // beside "OK", in a language of the component
    EXPECT_TRUE(tabs.AddConstText(u"About"));
    EXPECT_FALSE(tabs.AddConstText(u"About"));
    EXPECT_FALSE(tabs.AddConstText(u""));
    EXPECT_EQ(Lines(Language->Original()), (std::vector<std::u16string>{u"About", u"Config", u"Exit", u"OK"}));
    const TTranslateGrid& added = tabs.Tabs()[1].Grid;
    EXPECT_EQ(added.Source[0], u"About");
    EXPECT_EQ(added.Source[2], u"Exit");
    EXPECT_EQ(added.Translation[2], u"\u9000\u51fa");
    EXPECT_EQ(added.Translation[0], u"");
    EXPECT_EQ(tabs.Tabs()[0].Grid.Translation[0], u"About");
    EXPECT_EQ(tabs.Tabs()[0].Grid.Translation[3], u"Okay");

    // More source texts than rows: the grid grows until every text has a row, and all are saved.
    for (int i = 0; i < TTranslateTabs::kRowsForAdded + 40; ++i) tabs.AddConstText(u"Text " + IntToStr(1000 + i));
    const int count = Language->Original().Count();
    EXPECT_GE(tabs.Tabs()[1].Grid.RowCount(), count);
    EXPECT_EQ(tabs.Tabs()[1].Grid.Source[static_cast<size_t>(count - 1)], Language->Original().Strings(count - 1));
    tabs.Save(Platform.PathOf(u"ui.local"));
    EXPECT_EQ(Reload(Platform.PathOf(u"ui.local"))->FindLanguageTable(u"0409")->Count(), count);
}

TEST_F(TranslateTabs, TheTextListGivesAndTakesTheSelectedLanguagesLines)
{
    TTranslateTabs tabs(Platform);
    tabs.LoadLanguageAndCreateTranslateTabList(*Language);
    tabs.SetTextList(u"ignored=without a tab"); // no tab selected: nothing
    EXPECT_EQ(Language->Original().Count(), 3);

    tabs.AddLanguage(LocaleIndex(u"0804"));
    tabs.SetTranslation(0, 0, u"\u6253\u5f00\u914d\u7f6e");
    EXPECT_EQ(tabs.TextList(), u"Config=\u6253\u5f00\u914d\u7f6e\r\nExit=\r\nOK=\r\n");
    tabs.SetTextList(u"Save=\u4fdd\u5b58\r\n\r\nLoad\nA=b=c\n");
    EXPECT_EQ(Lines(Language->Original()), (std::vector<std::u16string>{u"A", u"Load", u"Save"}));
    // The language joins the component with the list's translations.
    EXPECT_EQ(Lines(Table(u"0804")), (std::vector<std::u16string>{u"A=b=c", u"Save=\u4fdd\u5b58"}));
    const TTranslateGrid& grid = tabs.Tabs()[0].Grid;
    EXPECT_EQ(grid.Source[0], u"A");
    EXPECT_EQ(grid.Translation[0], u"b=c");
    EXPECT_EQ(grid.Translation[1], u"Load");
    EXPECT_EQ(grid.Source[3], u""); // the rows of the texts that left are empty
    EXPECT_EQ(grid.Translation[3], u"");
}

TEST_F(TranslateTabs, DeleteItemRemovesTheTextFromTheListAndEveryGrid)
{
    Language->AddLang(u"0409");
    TTranslateTabs tabs(Platform);
    tabs.LoadLanguageAndCreateTranslateTabList(*Language);
    tabs.AddLanguage(LocaleIndex(u"0804"));
    tabs.SetTranslation(1, 2, u"\u786e\u5b9a");
    tabs.DeleteItem(1);
    EXPECT_EQ(Lines(Language->Original()), (std::vector<std::u16string>{u"Config", u"OK"}));
    for (const TTranslateTab& tab : tabs.Tabs()) {
        EXPECT_EQ(tab.Grid.Source[1], u"OK");
        EXPECT_EQ(tab.Grid.Source[2], u"");
        EXPECT_EQ(tab.Grid.Translation[2], u"");
    }
    EXPECT_EQ(tabs.Tabs()[1].Grid.Translation[1], u"\u786e\u5b9a");
    tabs.DeleteItem(5); // an empty row
    tabs.DeleteItem(-1);
    EXPECT_EQ(Language->Original().Count(), 2);
}

} // namespace
