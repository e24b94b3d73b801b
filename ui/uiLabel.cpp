#include "ui/uiLabel.h"

#include "framework/win/WinText.h"

namespace {
// A face every Windows has and Wine ships.
constexpr wchar_t kFontFace[] = L"Tahoma";

int LineHeight(HFONT AFont)
{
    HDC screen = GetDC(nullptr);
    TEXTMETRICW metrics{};
    {
        TObjectSelection selected(screen, AFont);
        GetTextMetricsW(screen, &metrics);
    }
    ReleaseDC(nullptr, screen);
    return metrics.tmHeight;
}
} // namespace

HFONT CreateUiFont(int APointSize, bool ABold)
{
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(APointSize, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return CreateFontW(height, 0, 0, 0, ABold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, kFontFace);
}

void DrawUiText(HDC ADC, HFONT AFont, COLORREF AColor, const std::u16string& AText, RECT AArea, UINT AFormat)
{
    TObjectSelection selected(ADC, AFont);
    SetBkMode(ADC, TRANSPARENT);
    SetTextColor(ADC, AColor);
    DrawTextW(ADC, W(AText), static_cast<int>(AText.size()), &AArea, AFormat | DT_SINGLELINE | DT_NOPREFIX);
}

TuiLabel::TuiLabel(TuiPanel* APanel, int ALeft, int ATop, int AWidth, const std::u16string& AText, int APointSize,
                   bool ABold, COLORREF AColor)
    : TuiVisual(APanel, ALeft, ATop, AWidth, 0), FText(APanel->AddText(AText)),
      FFont(CreateUiFont(APointSize, ABold)), FColor(AColor)
{
    SetSize(AWidth, LineHeight(FFont.Get()));
}

const std::u16string& TuiLabel::Text() const { return Panel()->Text(FText); }

void TuiLabel::SetText(const std::u16string& AText)
{
    Panel()->SetText(FText, AText);
    Invalidate();
}

void TuiLabel::Paint(HDC ADC) const { DrawUiText(ADC, FFont.Get(), FColor, Text(), Bounds(), DT_LEFT | DT_TOP); }
