// The translation editor under Wine, driven through its controls' own messages: buttons
// clicked, the drop-down chosen, a grid cell edited from the keyboard, the pop-up filled.
#include "WinLanguageTestSupport.h"
#include "framework/tests/MessagePump.h"
#include "framework/win/Application.h"
#include "lang/Languagetranslate.h"
#include "LanguageTestSupport.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <memory>

namespace {

const TLanguagePlatform& Win() { return TWinLanguagePlatform::Instance(); }

std::u16string DisplayName(LCID ALocale)
{
    wchar_t name[128];
    return GetLocaleInfoW(ALocale, LOCALE_SLANGUAGE, name, 128) > 0 ? U(name) : std::u16string();
}

std::u16string TabText(HWND ATabs, int AIndex)
{
    wchar_t text[128] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 128;
    SendMessageW(ATabs, TCM_GETITEMW, static_cast<WPARAM>(AIndex), reinterpret_cast<LPARAM>(&item));
    return U(text);
}

std::u16string CellText(HWND AGrid, int ARow, int AColumn)
{
    wchar_t text[256] = {};
    LVITEMW item{};
    item.iSubItem = AColumn;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(AGrid, LVM_GETITEMTEXTW, static_cast<WPARAM>(ARow), reinterpret_cast<LPARAM>(&item));
    return U(text);
}

void Click(HWND AButton) { SendMessageW(AButton, BM_CLICK, 0, 0); }

class WinEditor : public ::testing::Test {
protected:
    WinEditor()
    {
        Application.Initialize();
        Owner.SetDesigning(true);
        Language = new TuiLanguage(&Owner, Win());
        for (const char16_t* text : {u"Config", u"Exit", u"OK"}) Language->Original().Add(text);
    }
    ~WinEditor() override
    {
        std::error_code ec;
        std::filesystem::remove(UiLocal(), ec);
    }

    static std::filesystem::path UiLocal() { return std::filesystem::path(Win().ExecutableFolder()) / "ui.local"; }
    void AddLanguages(std::initializer_list<const char16_t*> ANames)
    {
        for (const char16_t* name : ANames) Language->AddLang(name);
    }
    std::unique_ptr<TuiLanguageDesignForm> Open()
    {
        auto form = std::make_unique<TuiLanguageDesignForm>(Win());
        form->LoadLanguageAndCreateTranslateTabList(*Language);
        form->Show();
        Application.ProcessMessages();
        return form;
    }
    void ChooseLocale(TuiLanguageDesignForm& AForm, LCID ALocale)
    {
        HWND combo = AForm.Child(TuiLanguageDesignForm::IdLangCombo);
        const std::u16string name = DisplayName(ALocale);
        const LRESULT i = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(W(name)));
        ASSERT_NE(i, CB_ERR);
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        Click(AForm.Child(TuiLanguageDesignForm::IdAddLanguage));
    }

    TComponent Owner{nullptr};
    TuiLanguage* Language;
};

TEST_F(WinEditor, OpensATabPerLanguageTitledWithTheSystemsDisplayNames)
{
    AddLanguages({u"0804", u"CH", u"0409"});
    Language->FindLanguageTable(u"0804")->Add(u"Config=\u6253\u5f00\u914d\u7f6e");
    auto form = Open();
    EXPECT_EQ(U(L"Language Translate v1.2.1 KELVORA INC."), [&] {
        wchar_t caption[64];
        GetWindowTextW(form->Handle(), caption, 64);
        return U(caption);
    }());
    RECT client{};
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 930);
    EXPECT_EQ(client.bottom, 508);

    HWND tabs = form->Child(TuiLanguageDesignForm::IdTabControl);
    ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(TabText(tabs, 0), DisplayName(0x0804));
    EXPECT_EQ(TabText(tabs, 1), DisplayName(0x0409));
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 1);

    HWND grid = form->Child(TuiLanguageDesignForm::IdGrid);
    EXPECT_EQ(SendMessageW(grid, LVM_GETITEMCOUNT, 0, 0), 3 + TTranslateTabs::kRowsForLoaded);
    EXPECT_EQ(CellText(grid, 0, 0), u"Config");
    EXPECT_EQ(CellText(grid, 0, 1), u"Config"); // no translation: the text itself
    // The other tab, chosen as a click chooses it.
    SendMessageW(tabs, TCM_SETCURSEL, 0, 0);
    NMHDR change{tabs, static_cast<UINT_PTR>(TuiLanguageDesignForm::IdTabControl), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(form->Handle(), WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(CellText(grid, 0, 1), u"\u6253\u5f00\u914d\u7f6e");
    EXPECT_EQ(CellText(grid, 1, 1), u"Exit");
}

TEST_F(WinEditor, AnEditedCellIsSavedToUiLocalBesideTheProgramReplacingTheEarlierOne)
{
    AddLanguages({u"0409", u"JP"});
    Language->FindLanguageTable(u"JP")->Add(u"Config=\u8a2d\u5b9a");
    {
        std::ofstream earlier(UiLocal(), std::ios::binary);
        earlier << std::string(4000, 'x');
    }
    auto form = Open();
    HWND grid = form->Child(TuiLanguageDesignForm::IdGrid);
    LVITEMW select{};
    select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(grid, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&select));
    SetFocus(grid);
    SendMessageW(grid, WM_KEYDOWN, VK_F2, 0);
    HWND edit = GetDlgItem(grid, TuiLanguageDesignForm::IdCellEdit);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(GetFocus(), edit);
    SetWindowTextW(edit, L"Quit");
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    Application.ProcessMessages();
    EXPECT_EQ(GetDlgItem(grid, TuiLanguageDesignForm::IdCellEdit), nullptr);
    EXPECT_EQ(CellText(grid, 1, 1), u"Quit");

    Click(form->Child(TuiLanguageDesignForm::IdSaveToFile));
    Application.ProcessMessages();
    EXPECT_FALSE(IsWindowVisible(form->Handle())); // the save closes the editor

    TuiLanguage saved(nullptr, Win()); // loads the ui.local beside the program
    ASSERT_EQ(saved.Resources().Count(), 2);
    EXPECT_EQ(saved.GetLanguageShortIDByIndex(0), u"0409");
    EXPECT_EQ(Lines(*saved.FindLanguageTable(u"0409")), (std::vector<std::u16string>{u"Config=Config", u"Exit=Quit", u"OK=OK"}));
    // "JP" is no locale's short ID: it has no tab and comes back unchanged.
    EXPECT_EQ(saved.GetLanguageShortIDByIndex(1), u"JP");
    EXPECT_EQ(Lines(*saved.FindLanguageTable(u"JP")), (std::vector<std::u16string>{u"Config=\u8a2d\u5b9a"}));

    // The monitor beside the file lists its languages first, then its own "CH" and "US" once.
    TuiLanguage monitor(nullptr, Win());
    monitor.LoadStoredData(BuiltInLanguageData());
    TranslationService::Reset();
    EXPECT_EQ(Lines(monitor.Resources()), (std::vector<std::u16string>{u"0409", u"JP", u"CH", u"US"}));
}

TEST_F(WinEditor, AddLanguageSelectsTheExistingTabOrAddsTheChosenLocale)
{
    AddLanguages({u"0804", u"0409"});
    auto form = Open();
    HWND tabs = form->Child(TuiLanguageDesignForm::IdTabControl);
    ChooseLocale(*form, 0x0804);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);
    ChooseLocale(*form, 0x0411);
    ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(TabText(tabs, 2), DisplayName(0x0411));
    HWND grid = form->Child(TuiLanguageDesignForm::IdGrid);
    EXPECT_EQ(SendMessageW(grid, LVM_GETITEMCOUNT, 0, 0), 3 + TTranslateTabs::kRowsForAdded);
    EXPECT_EQ(CellText(grid, 0, 1), u""); // a new language has no translations yet

    Click(form->Child(TuiLanguageDesignForm::IdDeleteLanguage));
    EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 1);
}

TEST_F(WinEditor, TenTabsShowEightAndPageByOne)
{
    const LCID locales[] = {0x0409, 0x0804, 0x0404, 0x0411, 0x0412, 0x0407, 0x040C, 0x0410, 0x0419, 0x0416};
    for (const LCID locale : locales) {
        wchar_t id[8];
        std::swprintf(id, 8, L"%04X", static_cast<unsigned>(locale));
        Language->AddLang(U(id));
    }
    auto form = Open();
    HWND tabs = form->Child(TuiLanguageDesignForm::IdTabControl);
    const auto first = [&] { return TabText(tabs, 0); };
    EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 8);
    Click(form->Child(TuiLanguageDesignForm::IdPrevPage));
    EXPECT_EQ(first(), DisplayName(locales[0]));
    Click(form->Child(TuiLanguageDesignForm::IdNextPage));
    Click(form->Child(TuiLanguageDesignForm::IdNextPage));
    EXPECT_EQ(form->Tabs().FirstVisible(), 2);
    EXPECT_EQ(first(), DisplayName(locales[2]));
    EXPECT_EQ(TabText(tabs, 7), DisplayName(locales[9]));
    Click(form->Child(TuiLanguageDesignForm::IdNextPage));
    EXPECT_EQ(first(), DisplayName(locales[2]));
    EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 8);
}

// The pop-up runs its own loop: a timer inside it fills the memo and presses its Save.
std::u16string GPopupText;
void CALLBACK FillPopup(HWND, UINT, UINT_PTR ATimer, DWORD)
{
    HWND popup = FindWindowW(L"TuiLanguagePopupTextList", nullptr);
    if (!popup || !IsWindowVisible(popup)) return;
    KillTimer(nullptr, ATimer);
    wchar_t shown[256] = {};
    GetDlgItemTextW(popup, TuiLanguageDesignForm::IdMemoTextList, shown, 256);
    GPopupText = U(shown);
    SetDlgItemTextW(popup, TuiLanguageDesignForm::IdMemoTextList, L"Save=Speichern\r\nLoad=Laden\r\n");
    SendMessageW(GetDlgItem(popup, TuiLanguageDesignForm::IdPopupSave), BM_CLICK, 0, 0);
}

TEST_F(WinEditor, TheTextListPopUpShowsAndReplacesTheSourceTexts)
{
    AddLanguages({u"0407"});
    auto form = Open();
    SetTimer(nullptr, 0, 100, FillPopup);
    Click(form->Child(TuiLanguageDesignForm::IdGetSetTextList));
    EXPECT_EQ(GPopupText, u"Config=Config\r\nExit=Exit\r\nOK=OK\r\n");
    EXPECT_EQ(form->PopupTextList(), nullptr);
    EXPECT_EQ(Lines(Language->Original()), (std::vector<std::u16string>{u"Load", u"Save"}));
    HWND grid = form->Child(TuiLanguageDesignForm::IdGrid);
    EXPECT_EQ(CellText(grid, 1, 1), u"Speichern");
    EXPECT_EQ(CellText(grid, 2, 0), u"");
}

// Design mode opens the editor modally; closing it ends Active.
void CALLBACK CloseEditor(HWND, UINT, UINT_PTR ATimer, DWORD)
{
    HWND editor = FindWindowW(L"TuiLanguageDesignForm", nullptr);
    if (!editor || !IsWindowVisible(editor)) return;
    KillTimer(nullptr, ATimer);
    PostMessageW(editor, WM_CLOSE, 0, 0);
}

TEST_F(WinEditor, ActiveInDesignModeOpensTheEditorUntilItIsClosed)
{
    TWinLanguageDesigner designer;
    Language->SetDesigner(&designer);
    SetTimer(nullptr, 0, 100, CloseEditor);
    Language->SetActive(true);
    EXPECT_FALSE(Language->Active());
    EXPECT_GE(Language->Original().IndexOf(u"Wheel Down(Mouse)"), 0);
}

// The open-file dialog runs its own loop: a timer inside it types the file's name and opens it.
std::wstring GChosenFile;
void CALLBACK ChooseFile(HWND, UINT, UINT_PTR ATimer, DWORD)
{
    HWND dialog = FindWindowW(L"#32770", nullptr);
    if (!dialog || !IsWindowVisible(dialog)) return;
    KillTimer(nullptr, ATimer);
    // The file name box of the open-file dialog (cmb13 in Windows' dialog templates).
    SetDlgItemTextW(dialog, 0x47C, GChosenFile.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(WinEditor, ActiveLoadFromFileInDesignModeLoadsTheFileChosenInTheDialog)
{
    const std::filesystem::path chosen = std::filesystem::path(Win().ExecutableFolder()) / "chosen.Local";
    {
        TuiLanguage writer(nullptr, Win());
        writer.Resources().Clear();
        writer.Original().Add(u"Mouse Config");
        writer.AddLang(u"0411");
        writer.SaveToFile(chosen.u16string());
    }
    AddLanguages({u"0409"});
    TWinLanguageDesigner designer;
    Language->SetDesigner(&designer);
    GChosenFile = chosen.wstring();
    SetTimer(nullptr, 0, 100, ChooseFile);
    Language->SetActiveLoadFromFile(true);
    std::filesystem::remove(chosen);
    EXPECT_EQ(Lines(Language->Resources()), (std::vector<std::u16string>{u"0411"}));
    EXPECT_EQ(Lines(Language->Original()), (std::vector<std::u16string>{u"Mouse Config"}));
    EXPECT_FALSE(Language->ActiveLoadFromFile());
}

} // namespace
