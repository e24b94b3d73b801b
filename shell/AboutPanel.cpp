#include "shell/AboutPanel.h"

namespace {
constexpr RECT kContentArea{43, 100, 43 + 425, 100 + 223};
// Inside the content area, clear of its orange rule on the left.
constexpr int kTextLeft = kContentArea.left + 15;
constexpr int kTextWidth = kContentArea.right - 8 - kTextLeft;
constexpr int kHeadingPoints = 16;
constexpr int kLinePoints = 13;
constexpr COLORREF kHeadingColor = RGB(0xFF, 0x7A, 0x00);
constexpr COLORREF kLineColor = RGB(0xD8, 0xD8, 0xD8);
constexpr COLORREF kWebColor = RGB(0xFF, 0xFF, 0xFF);
// The vendor's web site.
constexpr char16_t kWebSite[] = u"https://example.com/qel";
} // namespace

TAboutPanel::TAboutPanel(TForm* AForm) : TuiPanel(AForm)
{
    SetName(u"AboutPanel");
    SetBackground(TuiPicture::FromResource(L"ABOUT_BACKGROUND"));
    int y = kContentArea.top + 12;
    // Each item below the one before, with a gap of AGap.
    auto line = [&](const char16_t* AText, int APoints, bool ABold, COLORREF AColor, int AGap) {
        auto* label = new TuiLabel(this, kTextLeft, y, kTextWidth, AText, APoints, ABold, AColor);
        y = label->Bounds().bottom + AGap;
        return label;
    };
    line(u"Hardware & Software Information:", kHeadingPoints, true, kHeadingColor, 6);
    line(u"Hardware Core:1.00.00", kLinePoints, false, kLineColor, 2);
    line(u"Software Core:1.00.00", kLinePoints, false, kLineColor, 14);
    line(u"Software Update Website:", kHeadingPoints, true, kHeadingColor, 6);
    TextWeb = line(kWebSite, kLinePoints, false, kWebColor, 8);
    TextWeb->SetName(u"TextWeb");
    BtnGoWeb = new TuiPictureButton(this, kTextLeft, y, TuiPicture::FromResource(L"ABOUT_GOWEB"));
    BtnGoWeb->SetName(u"BtnGoWeb");
    BtnOK = new TuiStateButton(this, 208, 345, 94, 27, TuiPicture::FromResource(L"ABOUT_OK_NORMAL"),
                               TuiPicture::FromResource(L"ABOUT_OK_HOT"),
                               TuiPicture::FromResource(L"ABOUT_OK_PRESSED"), u"OK");
    BtnOK->SetName(u"BtnOK");
}
