#include "lang/Languagetranslate.h"

#include "framework/core/Text.h"
#include "framework/win/MessageBox.h"
#include "framework/win/WinText.h"
#include "lang/LanguagePlatformWin.h"

#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

constexpr int kClientWidth = 930;
constexpr int kClientHeight = 508;
constexpr int kToolBarHeight = 32;
constexpr int kStatusBarHeight = 34;
// The grid's place in the tab control, below the tab captions.
constexpr int kGridX = 0;
constexpr int kGridY = 20;
constexpr int kGridWidth = 876;
constexpr int kGridHeight = 411;
constexpr int kSourceColumnWidth = 380;
constexpr int kTranslationColumnWidth = 440;
constexpr int kComboVisibleRows = 20;
constexpr wchar_t kPopupClass[] = L"TuiLanguagePopupTextList";
constexpr UINT kBeginEditMessage = WM_APP + 1;

TForm::TParams DesignFormParams()
{
    TForm::TParams p;
    p.ClassName = u"TuiLanguageDesignForm";
    p.Caption = u"Language Translate v1.2.1 KELVORA INC.";
    p.Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    p.ClientWidth = kClientWidth;
    p.ClientHeight = kClientHeight;
    return p;
}

// A child window as a control of the form, so that the form's language component translates
// its caption like any other.
class TChildControl : public TControl {
public:
    TChildControl(TComponent* AOwner, HWND AHandle, std::u16string AClassName)
        : TControl(AOwner), FHandle(AHandle), FClassName(std::move(AClassName))
    {
    }
    std::u16string ClassName() const override { return FClassName; }
    void SetCaption(const std::u16string& ACaption) override
    {
        TControl::SetCaption(ACaption);
        SetWindowTextW(FHandle, W(ACaption));
    }

private:
    HWND FHandle;
    std::u16string FClassName;
};

std::u16string WindowText(HWND AWindow)
{
    std::u16string text(static_cast<size_t>(GetWindowTextLengthW(AWindow)) + 1, u'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(AWindow, reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()))));
    return text;
}

BOOL CALLBACK AddEnabledWindow(HWND AWindow, LPARAM AList)
{
    if (IsWindowVisible(AWindow) && IsWindowEnabled(AWindow)) reinterpret_cast<std::vector<HWND>*>(AList)->push_back(AWindow);
    return TRUE;
}

// Runs the messages of the thread until ADone is set, with the program's other windows
// disabled, as a modal window runs.
void RunModal(HWND AWindow, const bool& ADone)
{
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), AddEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    for (HWND other : disabled)
        if (other != AWindow) EnableWindow(other, FALSE);
    ShowWindow(AWindow, SW_SHOW);
    SetForegroundWindow(AWindow);
    MSG msg;
    while (!ADone) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: the quit message is left for its own loop.
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    for (HWND other : disabled)
        if (other != AWindow) EnableWindow(other, TRUE);
}

} // namespace

TuiLanguageDesignForm::TuiLanguageDesignForm(const TLanguagePlatform& APlatform)
    : TForm(nullptr, DesignFormParams()), FPlatform(APlatform), FTabs(APlatform)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    FFont.Reset(CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));

    const DWORD button = WS_TABSTOP | BS_PUSHBUTTON;
    AddChild(L"BUTTON", u"Add Language", button, 4, 4, 100, 24, IdAddLanguage, u"TButton");
    AddChild(L"STATIC", u"Langs List\uff1a", SS_CENTERIMAGE | SS_RIGHT, 108, 4, 76, 24, 0, u"TLabel");
    // A drop-down list's height is that of the list it opens.
    HWND combo = AddChild(WC_COMBOBOXW, u"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 188, 5,
                          260, 24 + kComboVisibleRows * 16, IdLangCombo, u"TComboBox");
    for (const TInstalledLocale& locale : FTabs.Locales())
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(locale.DisplayName)));
    AddChild(L"BUTTON", u"Delete Language", button, 454, 4, 110, 24, IdDeleteLanguage, u"TButton");
    AddChild(L"BUTTON", u"Prev Page", button, 568, 4, 80, 24, IdPrevPage, u"TButton");
    AddChild(L"BUTTON", u"Next Page", button, 652, 4, 80, 24, IdNextPage, u"TButton");

    AddChild(WC_TABCONTROLW, u"", WS_TABSTOP | WS_CLIPSIBLINGS, 0, kToolBarHeight, kClientWidth,
                         kClientHeight - kToolBarHeight - kStatusBarHeight, IdTabControl, u"TTabControl");
    HWND grid = AddChild(WC_LISTVIEWW, u"", WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL |
                                                LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER | LVS_NOSORTHEADER,
                         kGridX + 2, kToolBarHeight + kGridY + 4, kGridWidth, kGridHeight, IdGrid, u"TStringGrid");
    // The grid lies over the tab control, which leaves it unpainted.
    SetWindowPos(grid, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SendMessageW(grid, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = kSourceColumnWidth;
    SendMessageW(grid, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    column.cx = kTranslationColumnWidth;
    SendMessageW(grid, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));

    const int status = kClientHeight - kStatusBarHeight + 5;
    AddChild(L"BUTTON", u"Save to language file", button, 4, status, 140, 24, IdSaveToFile, u"TButton");
    AddChild(L"BUTTON", u"Get/Set Text List", button, 148, status, 120, 24, IdGetSetTextList, u"TButton");
    AddChild(L"STATIC", u"Type Text to translate:", SS_CENTERIMAGE | SS_RIGHT, 272, status, 130, 24, 0, u"TLabel");
    AddChild(L"EDIT", u"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 406, status + 1, 250, 22, IdConstText, u"TEdit");
    AddChild(L"BUTTON", u"Add Const Text", button, 660, status, 110, 24, IdAddConstText, u"TButton");
    AddChild(L"BUTTON", u"Delete Item From List", button, 774, status, 152, 24, IdDeleteItem, u"TButton");

    uiLanguage1 = new TuiLanguage(this, APlatform);
    ShowGrid();
}

TuiLanguageDesignForm::~TuiLanguageDesignForm()
{
    if (FPopup) DestroyWindow(FPopup);
}

HWND TuiLanguageDesignForm::AddChild(const wchar_t* AClass, const std::u16string& AText, DWORD AStyle, int AX, int AY,
                                      int AWidth, int AHeight, int AId, const std::u16string& AClassName)
{
    HWND child = CreateWindowExW(0, AClass, W(AText), WS_CHILD | WS_VISIBLE | AStyle, AX, AY, AWidth, AHeight, Handle(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(AId)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Get()), FALSE);
    auto* control = new TChildControl(this, child, AClassName);
    control->TControl::SetCaption(AText);
    return child;
}

void TuiLanguageDesignForm::LoadLanguageAndCreateTranslateTabList(TuiLanguage& ALang)
{
    FLang = &ALang;
    FTabs.LoadLanguageAndCreateTranslateTabList(ALang);
    ShowTabs();
}

void TuiLanguageDesignForm::ShowModal()
{
    Show();
    FClosed = false;
    RunModal(Handle(), FClosed);
}

void TuiLanguageDesignForm::ShowTabs()
{
    HWND control = Child(IdTabControl);
    SendMessageW(control, TCM_DELETEALLITEMS, 0, 0);
    int shown = 0, selected = -1;
    for (int i = 0; i < FTabs.TabCount(); ++i) {
        const TTranslateTab& tab = FTabs.Tabs()[static_cast<size_t>(i)];
        if (!tab.Visible) continue;
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        std::u16string caption = tab.Caption;
        item.pszText = reinterpret_cast<wchar_t*>(caption.data());
        item.lParam = i;
        SendMessageW(control, TCM_INSERTITEMW, static_cast<WPARAM>(shown), reinterpret_cast<LPARAM>(&item));
        if (i == FTabs.Selected()) selected = shown;
        ++shown;
    }
    SendMessageW(control, TCM_SETCURSEL, static_cast<WPARAM>(selected), 0);
    ShowGrid();
}

void TuiLanguageDesignForm::ShowGrid()
{
    EndEdit(false);
    HWND grid = Child(IdGrid);
    const int selected = FTabs.Selected();
    const int rows = selected < 0 ? 0 : FTabs.Tabs()[static_cast<size_t>(selected)].Grid.RowCount();
    SendMessageW(grid, LVM_SETITEMCOUNT, static_cast<WPARAM>(rows), LVSICF_NOSCROLL);
    ShowWindow(grid, selected < 0 ? SW_HIDE : SW_SHOW);
    InvalidateRect(grid, nullptr, TRUE);
}

bool TuiLanguageDesignForm::WndProc(TMessage& AMessage)
{
    switch (AMessage.Msg) {
    case WM_COMMAND:
        if (AMessage.LParam != 0)
            Command(LOWORD(AMessage.WParam), HIWORD(AMessage.WParam), reinterpret_cast<HWND>(AMessage.LParam));
        return true;
    case WM_NOTIFY:
        return Notify(*reinterpret_cast<NMHDR*>(AMessage.LParam), AMessage.Result);
    case kBeginEditMessage:
        BeginEdit(static_cast<int>(AMessage.WParam));
        return true;
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(Handle(), &client);
        FillRect(reinterpret_cast<HDC>(AMessage.WParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        AMessage.Result = 1;
        return true;
    }
    case WM_CLOSE:
        // Closing without saving keeps what the operations did to the component.
        EndEdit(true);
        Hide();
        FClosed = true;
        return true;
    default:
        return TForm::WndProc(AMessage);
    }
}

void TuiLanguageDesignForm::Command(int AId, int ACode, HWND AControl)
{
    if (AId == IdCellEdit && ACode == EN_KILLFOCUS && AControl == FCellEdit) EndEdit(true);
    if (ACode != BN_CLICKED) return;
    EndEdit(true);
    switch (AId) {
    case IdAddLanguage:
        FTabs.AddLanguage(static_cast<int>(SendMessageW(Child(IdLangCombo), CB_GETCURSEL, 0, 0)));
        break;
    case IdDeleteLanguage:
        FTabs.DeleteLanguage();
        break;
    case IdPrevPage:
        FTabs.PrevPage();
        break;
    case IdNextPage:
        FTabs.NextPage();
        break;
    case IdGetSetTextList:
        ShowTextList();
        break;
    case IdAddConstText:
        FTabs.AddConstText(WindowText(Child(IdConstText)));
        break;
    case IdDeleteItem:
        FTabs.DeleteItem(static_cast<int>(SendMessageW(Child(IdGrid), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
        break;
    case IdSaveToFile:
        SaveToLanguageFile();
        return;
    default:
        return;
    }
    ShowTabs();
}

bool TuiLanguageDesignForm::Notify(NMHDR& AHeader, LRESULT& AResult)
{
    AResult = 0;
    if (AHeader.idFrom == static_cast<UINT_PTR>(IdTabControl) && AHeader.code == TCN_SELCHANGE) {
        HWND control = Child(IdTabControl);
        TCITEMW item{};
        item.mask = TCIF_PARAM;
        const int current = static_cast<int>(SendMessageW(control, TCM_GETCURSEL, 0, 0));
        if (current >= 0 && SendMessageW(control, TCM_GETITEMW, static_cast<WPARAM>(current), reinterpret_cast<LPARAM>(&item)))
            FTabs.Select(static_cast<int>(item.lParam));
        ShowGrid();
        return true;
    }
    if (AHeader.idFrom != static_cast<UINT_PTR>(IdGrid)) return false;
    const int selected = FTabs.Selected();
    switch (AHeader.code) {
    case LVN_GETDISPINFOW: {
        auto& info = reinterpret_cast<NMLVDISPINFOW&>(AHeader);
        if (selected < 0 || !(info.item.mask & LVIF_TEXT) || info.item.cchTextMax <= 0) return true;
        const TTranslateGrid& grid = FTabs.Tabs()[static_cast<size_t>(selected)].Grid;
        const size_t row = static_cast<size_t>(info.item.iItem);
        if (row >= grid.Source.size()) return true;
        const std::u16string& text = info.item.iSubItem == 0 ? grid.Source[row] : grid.Translation[row];
        const size_t n = std::min(text.size(), static_cast<size_t>(info.item.cchTextMax - 1));
        std::copy_n(text.begin(), n, reinterpret_cast<char16_t*>(info.item.pszText));
        info.item.pszText[n] = L'\0';
        return true;
    }
    case NM_DBLCLK: {
        const auto& activate = reinterpret_cast<NMITEMACTIVATE&>(AHeader);
        LVHITTESTINFO hit{};
        hit.pt = activate.ptAction;
        SendMessageW(Child(IdGrid), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        // After the list has finished with the click, which would take the focus back.
        if (hit.iItem >= 0 && hit.iSubItem == 1) PostMessageW(Handle(), kBeginEditMessage, static_cast<WPARAM>(hit.iItem), 0);
        return true;
    }
    case LVN_KEYDOWN: {
        const auto& key = reinterpret_cast<NMLVKEYDOWN&>(AHeader);
        if (key.wVKey == VK_F2 || key.wVKey == VK_RETURN)
            BeginEdit(static_cast<int>(SendMessageW(Child(IdGrid), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
        return true;
    }
    default:
        return false;
    }
}

void TuiLanguageDesignForm::BeginEdit(int ARow)
{
    EndEdit(true);
    const int selected = FTabs.Selected();
    if (selected < 0 || ARow < 0) return;
    const TTranslateGrid& grid = FTabs.Tabs()[static_cast<size_t>(selected)].Grid;
    // Only a row with a source text has a translation to edit.
    if (ARow >= grid.RowCount() || grid.Source[static_cast<size_t>(ARow)].empty()) return;
    HWND list = Child(IdGrid);
    RECT cell{};
    cell.top = 1;
    cell.left = LVIR_LABEL;
    if (!SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(ARow), reinterpret_cast<LPARAM>(&cell))) return;
    FEditRow = ARow;
    FCellEdit = CreateWindowExW(0, L"EDIT", W(grid.Translation[static_cast<size_t>(ARow)]),
                                WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, cell.left, cell.top,
                                cell.right - cell.left, cell.bottom - cell.top + 2, list,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdCellEdit)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(FCellEdit, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Get()), FALSE);
    SetWindowSubclass(FCellEdit, &TuiLanguageDesignForm::CellEditProc, 0, reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(FCellEdit, EM_SETSEL, 0, -1);
    SetFocus(FCellEdit);
}

void TuiLanguageDesignForm::EndEdit(bool ACommit)
{
    if (!FCellEdit) return;
    // The edit box goes first: its loss of focus ends no second edit.
    HWND edit = std::exchange(FCellEdit, nullptr);
    if (ACommit) FTabs.SetTranslation(FTabs.Selected(), FEditRow, WindowText(edit));
    RemoveWindowSubclass(edit, &TuiLanguageDesignForm::CellEditProc, 0);
    const bool hadFocus = GetFocus() == edit;
    DestroyWindow(edit);
    HWND list = Child(IdGrid);
    if (hadFocus) SetFocus(list);
    InvalidateRect(list, nullptr, TRUE);
    FEditRow = -1;
}

LRESULT CALLBACK TuiLanguageDesignForm::CellEditProc(HWND AHwnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam, UINT_PTR,
                                                     DWORD_PTR AData)
{
    auto* self = reinterpret_cast<TuiLanguageDesignForm*>(AData);
    switch (AMsg) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        if (AWParam == VK_RETURN || AWParam == VK_ESCAPE) {
            self->EndEdit(AWParam == VK_RETURN);
            return 0;
        }
        break;
    case WM_CHAR:
        // Enter and Escape end the edit above; their characters would only beep.
        if (AWParam == L'\r' || AWParam == 27) return 0;
        break;
    case WM_KILLFOCUS:
        // Ending the edit destroys the window: after the system is done with this message.
        PostMessageW(self->Handle(), WM_COMMAND, MAKEWPARAM(IdCellEdit, EN_KILLFOCUS), reinterpret_cast<LPARAM>(AHwnd));
        break;
    default:
        break;
    }
    return DefSubclassProc(AHwnd, AMsg, AWParam, ALParam);
}

void TuiLanguageDesignForm::ShowTextList()
{
    if (FTabs.Selected() < 0) return;
    WNDCLASSW wc{};
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!GetClassInfoW(instance, kPopupClass, &wc)) {
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = kPopupClass;
        RegisterClassW(&wc);
    }
    RECT r{0, 0, 600, 420};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    AdjustWindowRectEx(&r, style, FALSE, 0);
    RECT owner{};
    GetWindowRect(Handle(), &owner);
    FPopup = CreateWindowExW(0, kPopupClass, L"", style, owner.left + 160, owner.top + 60, r.right - r.left,
                             r.bottom - r.top, Handle(), nullptr, instance, nullptr);
    HWND memo = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", W(FTabs.TextList()),
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                    ES_AUTOHSCROLL | ES_WANTRETURN,
                                8, 8, 584, 370, FPopup, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdMemoTextList)),
                                instance, nullptr);
    HWND save = CreateWindowExW(0, L"BUTTON", L"Save", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 512, 388,
                                80, 24, FPopup, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdPopupSave)), instance, nullptr);
    for (HWND child : {memo, save}) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Get()), FALSE);
    bool done = false;
    SetWindowSubclass(FPopup, &TuiLanguageDesignForm::PopupProc, 0, reinterpret_cast<DWORD_PTR>(&done));
    SetFocus(memo);
    RunModal(FPopup, done);
    if (done && GetWindowLongPtrW(FPopup, GWLP_USERDATA) == IdPopupSave) FTabs.SetTextList(WindowText(memo));
    DestroyWindow(std::exchange(FPopup, nullptr));
    SetForegroundWindow(Handle());
}

LRESULT CALLBACK TuiLanguageDesignForm::PopupProc(HWND AHwnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam, UINT_PTR,
                                                  DWORD_PTR AData)
{
    bool& done = *reinterpret_cast<bool*>(AData);
    if (AMsg == WM_COMMAND && LOWORD(AWParam) == IdPopupSave && HIWORD(AWParam) == BN_CLICKED) {
        // The window's own data says how it ended: by its Save button.
        SetWindowLongPtrW(AHwnd, GWLP_USERDATA, IdPopupSave);
        done = true;
        ShowWindow(AHwnd, SW_HIDE);
        return 0;
    }
    if (AMsg == WM_CLOSE) {
        done = true;
        ShowWindow(AHwnd, SW_HIDE);
        return 0;
    }
    return DefSubclassProc(AHwnd, AMsg, AWParam, ALParam);
}

void TuiLanguageDesignForm::SaveToLanguageFile()
{
    try {
        FTabs.Save(FPlatform.ExecutableFolder() + u"ui.local");
    } catch (const std::exception& e) {
        ShowMessage(Utf16FromUtf8(e.what()));
        ShowTabs();
        return;
    }
    PostMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TWinLanguageDesigner::EditTranslations(TuiLanguage& ALanguage)
{
    TuiLanguageDesignForm form(TWinLanguagePlatform::Instance());
    form.LoadLanguageAndCreateTranslateTabList(ALanguage);
    form.ShowModal();
}

bool TWinLanguageDesigner::ChooseLanguageFile(std::u16string& AFileName)
{
    std::vector<wchar_t> file(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = GetActiveWindow();
    dialog.lpstrFilter = L"Language Files\0*.Local\0";
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog)) return false;
    AFileName = U(file.data());
    return true;
}
