#pragma once
// A button of a given size with a picture for each state (normal, hot, pressed) and a caption,
// one of its panel's texts, centred over it, one pixel lower and to the right while pressed.
#include "framework/win/Handle.h"
#include "ui/uiPictureButton.h"

class TuiStateButton : public TuiPictureButton {
public:
    TuiStateButton(TuiPanel* APanel, int ALeft, int ATop, int AWidth, int AHeight, TuiPicture ANormal,
                   TuiPicture AHot, TuiPicture APressed, const std::u16string& ACaption);

    const std::u16string& Caption() const;
    void Paint(HDC ADC) const override;
    void LoadPictures() override;
    void ReleasePictures() override;
    int LoadedPictures() const override;

private:
    TuiPicture FHot;
    TuiPicture FPressed;
    int FCaption;
    TFontOwner FFont;
};
