#include "ui/uiStateButton.h"

#include "ui/uiLabel.h"

#include <utility>

namespace {
constexpr int kCaptionPoints = 10;
constexpr COLORREF kCaptionColor = RGB(255, 255, 255);
} // namespace

TuiStateButton::TuiStateButton(TuiPanel* APanel, int ALeft, int ATop, int AWidth, int AHeight, TuiPicture ANormal,
                               TuiPicture AHot, TuiPicture APressed, const std::u16string& ACaption)
    : TuiPictureButton(APanel, ALeft, ATop, AWidth, AHeight, std::move(ANormal)), FHot(std::move(AHot)),
      FPressed(std::move(APressed)), FCaption(APanel->AddText(ACaption)), FFont(CreateUiFont(kCaptionPoints, true))
{
}

const std::u16string& TuiStateButton::Caption() const { return Panel()->Text(FCaption); }

void TuiStateButton::Paint(HDC ADC) const
{
    RECT area = Bounds();
    switch (State()) {
    case TuiButtonState::Normal: TuiPictureButton::Paint(ADC); break;
    case TuiButtonState::Hot: FHot.Draw(ADC, area.left, area.top); break;
    case TuiButtonState::Pressed:
        FPressed.Draw(ADC, area.left, area.top);
        OffsetRect(&area, 1, 1);
        break;
    }
    DrawUiText(ADC, FFont.Get(), kCaptionColor, Caption(), area, DT_CENTER | DT_VCENTER);
}

void TuiStateButton::LoadPictures()
{
    TuiPictureButton::LoadPictures();
    FHot.Load();
    FPressed.Load();
}

void TuiStateButton::ReleasePictures()
{
    TuiPictureButton::ReleasePictures();
    FHot.Release();
    FPressed.Release();
}

int TuiStateButton::LoadedPictures() const
{
    return TuiPictureButton::LoadedPictures() + (FHot.Loaded() ? 1 : 0) + (FPressed.Loaded() ? 1 : 0);
}
