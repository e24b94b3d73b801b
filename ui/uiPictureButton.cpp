#include "ui/uiPictureButton.h"

#include <utility>

TuiPictureButton::TuiPictureButton(TuiPanel* APanel, int ALeft, int ATop, TuiPicture APicture)
    : TuiVisual(APanel, ALeft, ATop, APicture.Width(), APicture.Height()), FPicture(std::move(APicture))
{
}

TuiPictureButton::TuiPictureButton(TuiPanel* APanel, int ALeft, int ATop, int AWidth, int AHeight,
                                   TuiPicture APicture)
    : TuiVisual(APanel, ALeft, ATop, AWidth, AHeight), FPicture(std::move(APicture))
{
}

void TuiPictureButton::SetState(TuiButtonState AState)
{
    if (std::exchange(FState, AState) != AState) Invalidate();
}

void TuiPictureButton::Paint(HDC ADC) const { FPicture.Draw(ADC, Bounds().left, Bounds().top); }
