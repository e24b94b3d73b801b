#pragma once
// The translation editor TuiLanguageDesignForm: one tab per language with a two-column grid
// (source text, translation; the translation is edited in place), the buttons of the editor's
// operations (TTranslateTabs) and the pop-up of the text list. A language component in design
// mode opens it through TWinLanguageDesigner, which also lets the user pick a language file.
#include "framework/win/Form.h"
#include "framework/win/Handle.h"
#include "lang/TranslateTabs.h"
#include "lang/uiLanguage.h"

#include <commctrl.h>

class TuiLanguageDesignForm : public TForm {
public:
    // Identifiers of the child windows, by which tests and tools find them.
    enum : int {
        IdAddLanguage = 101,
        IdLangCombo,
        IdDeleteLanguage,
        IdPrevPage,
        IdNextPage,
        IdTabControl,
        IdGrid,
        IdSaveToFile,
        IdGetSetTextList,
        IdConstText,
        IdAddConstText,
        IdDeleteItem,
        IdCellEdit,
        IdMemoTextList,
        IdPopupSave,
    };

    explicit TuiLanguageDesignForm(const TLanguagePlatform& APlatform);
    ~TuiLanguageDesignForm() override;

    void LoadLanguageAndCreateTranslateTabList(TuiLanguage& ALang);
    // Shows the window with the program's other windows disabled, and returns when it is closed.
    void ShowModal();

    const TTranslateTabs& Tabs() const { return FTabs; }
    HWND Child(int AId) const { return GetDlgItem(Handle(), AId); }
    // The pop-up of the text list while it is shown, else nullptr.
    HWND PopupTextList() const { return FPopup; }

protected:
    bool WndProc(TMessage& AMessage) override;

private:
    HWND AddChild(const wchar_t* AClass, const std::u16string& AText, DWORD AStyle, int AX, int AY, int AWidth,
                  int AHeight, int AId, const std::u16string& AClassName);
    void Command(int AId, int ACode, HWND AControl);
    bool Notify(NMHDR& AHeader, LRESULT& AResult);
    void ShowTabs();
    void ShowGrid();
    void BeginEdit(int ARow);
    void EndEdit(bool ACommit);
    void ShowTextList();
    void SaveToLanguageFile();
    static LRESULT CALLBACK CellEditProc(HWND AHwnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam, UINT_PTR AId,
                                         DWORD_PTR AData);
    static LRESULT CALLBACK PopupProc(HWND AHwnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam, UINT_PTR AId,
                                      DWORD_PTR AData);

    const TLanguagePlatform& FPlatform;
    TTranslateTabs FTabs;
    TuiLanguage* FLang = nullptr;
    TuiLanguage* uiLanguage1;
    TUniqueHandle<TNullHandleTraits<HFONT, &DeleteObject>> FFont;
    HWND FCellEdit = nullptr;
    int FEditRow = -1;
    HWND FPopup = nullptr;
    bool FClosed = false;
};

// Design mode of a language component on Windows: the translation editor, and the open-file
// dialog for language files.
class TWinLanguageDesigner : public TLanguageDesigner {
public:
    void EditTranslations(TuiLanguage& ALanguage) override;
    bool ChooseLanguageFile(std::u16string& AFileName) override;
};
