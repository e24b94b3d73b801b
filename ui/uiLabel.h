#pragma once
// A line of text at a position, in a font size (points) and weight and a colour, drawn over
// what lies below it. The label is as tall as its font's line; its text is one of its panel's.
#include "framework/win/Handle.h"
#include "ui/uiPanel.h"

#include <windows.h>

#include <string>

class TuiLabel : public TuiVisual {
public:
    TuiLabel(TuiPanel* APanel, int ALeft, int ATop, int AWidth, const std::u16string& AText, int APointSize,
             bool ABold, COLORREF AColor);

    const std::u16string& Text() const;
    void SetText(const std::u16string& AText);
    COLORREF Color() const { return FColor; }
    HFONT Font() const { return FFont.Get(); }
    void Paint(HDC ADC) const override;

private:
    int FText;
    TFontOwner FFont;
    COLORREF FColor;
};

// The font of the panels' texts in that size (points at the screen's resolution) and weight.
HFONT CreateUiFont(int APointSize, bool ABold);
// Draws one line of text in the font and colour within the area, aligned by AFormat (DrawTextW's
// alignment flags), leaving what lies below it between the letters.
void DrawUiText(HDC ADC, HFONT AFont, COLORREF AColor, const std::u16string& AText, RECT AArea, UINT AFormat);
