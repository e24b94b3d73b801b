#pragma once
// What the translation editor edits, apart from how it is shown: one tab per language, titled
// with the locale's display name, holding a two-column grid (source text, translation) whose
// hint is the language's name in the component; the paging of the tabs by eight, and the
// operations of the editor's buttons on the tabs and on the language component.
#include "lang/LanguagePlatform.h"
#include "lang/uiLangBase.h"

#include <string>
#include <string_view>
#include <vector>

struct TTranslateGrid {
    // The language's name in the component (its short ID).
    std::u16string Hint;
    // Column 0, the source texts, and column 1, the translations: one entry per row.
    std::vector<std::u16string> Source;
    std::vector<std::u16string> Translation;
    int RowCount() const { return static_cast<int>(Source.size()); }
};

struct TTranslateTab {
    std::u16string Caption;
    TTranslateGrid Grid;
    bool Visible = true;
};

class TTranslateTabs {
public:
    static constexpr int kPageSize = 8;
    // Rows beyond the source texts that a grid gets when it is made for a language the
    // component has, and when it is made by Add Language; the step by which a grid grows.
    static constexpr int kRowsForLoaded = 300;
    static constexpr int kRowsForAdded = 100;
    static constexpr int kRowsGrowth = 30;

    // Enumerates the installed locales: the entries of the language drop-down.
    explicit TTranslateTabs(const TLanguagePlatform& APlatform);

    // The installed locales in enumeration order, and the short ID of each (its identifier, or
    // the empty text for a locale without an abbreviated country name).
    const std::vector<TInstalledLocale>& Locales() const { return FLocales; }
    const std::u16string& ShortIDAt(int AIndex) const { return FShortIDs.Strings(AIndex); }

    // One tab for each language of the component whose name is a locale's short ID (the first
    // language of each locale), in list order; the last one made is selected.
    void LoadLanguageAndCreateTranslateTabList(TuiLangBase& ALang);

    // Add Language for the drop-down entry at that position: selects the tab of that display
    // name when there is one, else adds a tab for it. Nothing for a position outside the list.
    void AddLanguage(int ALocaleIndex);
    // Delete Language: removes the selected tab and its language from the component.
    void DeleteLanguage();
    void NextPage();
    void PrevPage();
    // The pop-up's text: the selected tab's grid as "source=translation" lines.
    std::u16string TextList() const;
    // The pop-up's Save: its lines, "source=translation", become the source texts and the
    // selected tab's translations; every grid is filled again.
    void SetTextList(std::u16string_view AText);
    // Add Const Text: a new source text joins the list and every grid; false when the text is
    // empty or already a source text.
    bool AddConstText(const std::u16string& AText);
    // Delete Item From List: the source text of that row of the selected grid leaves the
    // list and every grid.
    void DeleteItem(int ARow);
    // Save to language file: every language of the component keeps its place in the list, a
    // language with a tab taking the grids' translations and one without a tab staying
    // unchanged; the tabs' new languages follow. Then the component's data replaces the file.
    // std::runtime_error when it cannot be written.
    void Save(const std::u16string& AFileName);

    const std::vector<TTranslateTab>& Tabs() const { return FTabs; }
    // Column 1 of a grid's row, as the user typed it.
    void SetTranslation(int ATab, int ARow, const std::u16string& AText);
    int TabCount() const { return static_cast<int>(FTabs.size()); }
    int Selected() const { return FSelected; }
    void Select(int ATab);
    int FirstVisible() const { return FFirstVisible; }

private:
    void AddTab(int ALocaleIndex, int AExtraRows, bool AKeepSourceAsTranslation);
    // Writes the source texts into a grid, growing it as needed, with their translations: what
    // was typed beside a text unless AFromTable, else the component's translation of it.
    void Refill(TTranslateGrid& AGrid, bool AFromTable);
    void Page();
    TuiLangBase& Lang() const;

    const TLanguagePlatform& FPlatform;
    std::vector<TInstalledLocale> FLocales;
    TStringList FShortIDs;
    TuiLangBase* FLang = nullptr;
    std::vector<TTranslateTab> FTabs;
    int FSelected = -1;
    int FFirstVisible = 0;
};
