#include "lang/TranslateTabs.h"

#include "lang/LanguageData.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace {

// The line of a source text in a table becomes "source=translation"; an empty translation
// removes it.
void SetLine(TStringList& ATable, const std::u16string& ASource, const std::u16string& ATranslation)
{
    const int i = ATable.IndexOfName(ASource);
    if (i >= 0) ATable.Delete(i);
    if (!ATranslation.empty()) ATable.Add(ASource + u"=" + ATranslation);
}

void ClearRow(TTranslateGrid& AGrid, int ARow)
{
    AGrid.Source[static_cast<size_t>(ARow)].clear();
    AGrid.Translation[static_cast<size_t>(ARow)].clear();
}

} // namespace

TTranslateTabs::TTranslateTabs(const TLanguagePlatform& APlatform)
    : FPlatform(APlatform), FLocales(APlatform.InstalledLocales(kEditorCountryBufferChars)), FShortIDs(NewLanguageList(APlatform.TextCompare()))
{
    for (const TInstalledLocale& locale : FLocales) FShortIDs.Add(locale.HasCountryAbbreviation ? locale.LangID : std::u16string());
}

TuiLangBase& TTranslateTabs::Lang() const
{
    if (!FLang) throw std::logic_error("the translation editor has no language component");
    return *FLang;
}

void TTranslateTabs::LoadLanguageAndCreateTranslateTabList(TuiLangBase& ALang)
{
    FLang = &ALang;
    const TStringList& languages = ALang.Resources();
    for (int i = 0; i < languages.Count(); ++i) {
        const int locale = FShortIDs.IndexOf(languages.Strings(i));
        if (locale < 0) continue;
        const std::u16string& key = FShortIDs.Strings(locale);
        if (std::any_of(FTabs.begin(), FTabs.end(), [&](const TTranslateTab& t) { return t.Grid.Hint == key; })) continue;
        AddTab(locale, kRowsForLoaded, true);
    }
}

void TTranslateTabs::AddTab(int ALocaleIndex, int AExtraRows, bool AKeepSourceAsTranslation)
{
    TTranslateTab tab;
    tab.Caption = FLocales[static_cast<size_t>(ALocaleIndex)].DisplayName;
    tab.Grid.Hint = FShortIDs.Strings(ALocaleIndex);
    const TStringList& source = Lang().Original();
    const size_t rows = static_cast<size_t>(source.Count() + AExtraRows);
    tab.Grid.Source.resize(rows);
    tab.Grid.Translation.resize(rows);
    const TStringList* table = Lang().FindLanguageTable(tab.Grid.Hint);
    for (int r = 0; r < source.Count(); ++r) {
        const std::u16string& text = source.Strings(r);
        std::u16string translation = table ? table->Values(text) : std::u16string();
        if (translation.empty() && AKeepSourceAsTranslation) translation = text;
        tab.Grid.Source[static_cast<size_t>(r)] = text;
        tab.Grid.Translation[static_cast<size_t>(r)] = std::move(translation);
    }
    FTabs.push_back(std::move(tab));
    FSelected = TabCount() - 1;
    Page();
}

void TTranslateTabs::AddLanguage(int ALocaleIndex)
{
    if (ALocaleIndex < 0 || ALocaleIndex >= static_cast<int>(FLocales.size())) return;
    const std::u16string& name = FLocales[static_cast<size_t>(ALocaleIndex)].DisplayName;
    const auto found = std::find_if(FTabs.begin(), FTabs.end(), [&](const TTranslateTab& t) { return t.Caption == name; });
    if (found != FTabs.end()) {
        FSelected = static_cast<int>(found - FTabs.begin());
        return;
    }
    AddTab(ALocaleIndex, kRowsForAdded, false);
}

void TTranslateTabs::DeleteLanguage()
{
    if (FSelected < 0) return;
    const int deleted = FSelected;
    const std::u16string hint = FTabs[static_cast<size_t>(deleted)].Grid.Hint;
    FTabs.erase(FTabs.begin() + deleted);
    TStringList& languages = Lang().Resources();
    const int i = languages.IndexOf(hint);
    if (i >= 0) languages.Delete(i);
    Page();
    FSelected = FTabs.empty() ? -1 : std::max(deleted - 1, 0);
}

void TTranslateTabs::Page()
{
    // A page never starts beyond the last full page, so that deleting tabs leaves some shown.
    FFirstVisible = std::clamp(FFirstVisible, 0, std::max(TabCount() - kPageSize, 0));
    for (int i = 0; i < TabCount(); ++i)
        FTabs[static_cast<size_t>(i)].Visible = i >= FFirstVisible && i < FFirstVisible + kPageSize;
}

void TTranslateTabs::NextPage()
{
    if (TabCount() - FFirstVisible > kPageSize) ++FFirstVisible;
    Page();
}

void TTranslateTabs::PrevPage()
{
    if (FFirstVisible > 0) --FFirstVisible;
    Page();
}

void TTranslateTabs::Select(int ATab)
{
    if (ATab >= -1 && ATab < TabCount()) FSelected = ATab;
}

std::u16string TTranslateTabs::TextList() const
{
    std::u16string text;
    if (FSelected < 0) return text;
    const TTranslateGrid& grid = FTabs[static_cast<size_t>(FSelected)].Grid;
    for (int r = 0; r < grid.RowCount() && !grid.Source[static_cast<size_t>(r)].empty(); ++r)
        text += grid.Source[static_cast<size_t>(r)] + u"=" + grid.Translation[static_cast<size_t>(r)] + u"\r\n";
    return text;
}

void TTranslateTabs::SetTextList(std::u16string_view AText)
{
    if (FSelected < 0) return;
    const std::u16string hint = FTabs[static_cast<size_t>(FSelected)].Grid.Hint;
    TStringList lines;
    lines.SetText(AText);
    TuiLangBase& lang = Lang();
    lang.Original().Clear();
    lang.AddLang(hint);
    TStringList& table = *lang.FindLanguageTable(hint);
    for (int i = 0; i < lines.Count(); ++i) {
        const std::u16string& line = lines.Strings(i);
        const size_t eq = line.find(u'=');
        const std::u16string name = line.substr(0, eq);
        // An empty line of the pop-up is no source text.
        if (name.empty()) continue;
        lang.Original().Add(name);
        SetLine(table, name, eq == std::u16string::npos ? std::u16string() : line.substr(eq + 1));
    }
    // The selected grid shows the list's translations; the others keep what was typed in them.
    for (int i = 0; i < TabCount(); ++i) Refill(FTabs[static_cast<size_t>(i)].Grid, i == FSelected);
}

bool TTranslateTabs::AddConstText(const std::u16string& AText)
{
    if (AText.empty() || Lang().Original().IndexOf(AText) >= 0) return false;
    Lang().Original().Add(AText);
    for (TTranslateTab& tab : FTabs) Refill(tab.Grid, false);
    return true;
}

void TTranslateTabs::Refill(TTranslateGrid& AGrid, bool AFromTable)
{
    const TStringList& source = Lang().Original();
    // Every source text gets a row, however many there are.
    while (source.Count() > AGrid.RowCount()) {
        AGrid.Source.resize(AGrid.Source.size() + kRowsGrowth);
        AGrid.Translation.resize(AGrid.Translation.size() + kRowsGrowth);
    }
    // What was typed beside a source text stays beside it when texts join or leave above it:
    // typed translations are not lost before the save.
    std::map<std::u16string, std::u16string> typed;
    for (int r = 0; r < AGrid.RowCount() && !AFromTable; ++r)
        if (!AGrid.Source[static_cast<size_t>(r)].empty())
            typed.emplace(AGrid.Source[static_cast<size_t>(r)], AGrid.Translation[static_cast<size_t>(r)]);
    const TStringList* table = Lang().FindLanguageTable(AGrid.Hint);
    for (int r = 0; r < AGrid.RowCount(); ++r) {
        if (r >= source.Count()) {
            ClearRow(AGrid, r);
            continue;
        }
        const std::u16string& text = source.Strings(r);
        std::u16string translation;
        if (const auto it = typed.find(text); it != typed.end()) {
            translation = it->second;
        } else if (table) {
            translation = table->Values(text);
            if (translation.empty()) translation = text;
        }
        AGrid.Source[static_cast<size_t>(r)] = text;
        AGrid.Translation[static_cast<size_t>(r)] = std::move(translation);
    }
}

void TTranslateTabs::DeleteItem(int ARow)
{
    if (FSelected < 0) return;
    const TTranslateGrid& selected = FTabs[static_cast<size_t>(FSelected)].Grid;
    if (ARow < 0 || ARow >= selected.RowCount() || selected.Source[static_cast<size_t>(ARow)].empty()) return;
    const int i = Lang().Original().IndexOf(selected.Source[static_cast<size_t>(ARow)]);
    if (i >= 0) Lang().Original().Delete(i);
    for (TTranslateTab& tab : FTabs) {
        TTranslateGrid& grid = tab.Grid;
        if (ARow >= grid.RowCount()) continue;
        int end = ARow + 1;
        while (end < grid.RowCount() && !grid.Source[static_cast<size_t>(end)].empty()) ++end;
        for (int r = ARow; r + 1 < end; ++r) {
            grid.Source[static_cast<size_t>(r)] = std::move(grid.Source[static_cast<size_t>(r + 1)]);
            grid.Translation[static_cast<size_t>(r)] = std::move(grid.Translation[static_cast<size_t>(r + 1)]);
        }
        ClearRow(grid, end - 1);
    }
}

void TTranslateTabs::SetTranslation(int ATab, int ARow, const std::u16string& AText)
{
    if (ATab < 0 || ATab >= TabCount()) return;
    TTranslateGrid& grid = FTabs[static_cast<size_t>(ATab)].Grid;
    if (ARow >= 0 && ARow < grid.RowCount()) grid.Translation[static_cast<size_t>(ARow)] = AText;
}

void TTranslateTabs::Save(const std::u16string& AFileName)
{
    TuiLangBase& lang = Lang();
    TStringList& languages = lang.Resources();
    // The tabs' languages, each made anew from its grids (tabs of one name share one table).
    TStringList fromTabs = NewLanguageList(FPlatform.TextCompare());
    const int sourceCount = lang.Original().Count();
    for (const TTranslateTab& tab : FTabs) {
        int k = fromTabs.IndexOf(tab.Grid.Hint);
        if (k < 0) k = fromTabs.AddObject(tab.Grid.Hint, NewTranslationTable(FPlatform.TextCompare()));
        TStringList& table = *static_cast<TStringList*>(fromTabs.Objects(k));
        for (int r = 0; r < tab.Grid.RowCount() && r < sourceCount && !tab.Grid.Source[static_cast<size_t>(r)].empty(); ++r)
            SetLine(table, tab.Grid.Source[static_cast<size_t>(r)], tab.Grid.Translation[static_cast<size_t>(r)]);
    }
    // The configuration program stores the chosen language by its position in the list, so every
    // language keeps its place: one with a tab takes the tab's table, one without (or a later one
    // of the same name) stays as it was. Languages added in the editor follow.
    TStringList saved = NewLanguageList(FPlatform.TextCompare());
    for (int i = 0; i < languages.Count(); ++i) {
        const int k = fromTabs.IndexOf(languages.Strings(i));
        if (k >= 0 && fromTabs.Objects(k)) saved.AddObject(fromTabs.Strings(k), fromTabs.TakeObject(k));
        else saved.AddObject(languages.Strings(i), languages.TakeObject(i));
    }
    for (int k = 0; k < fromTabs.Count(); ++k)
        if (fromTabs.Objects(k)) saved.AddObject(fromTabs.Strings(k), fromTabs.TakeObject(k));
    languages = std::move(saved);
    lang.SaveToFile(AFileName);
}
