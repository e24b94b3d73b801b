#pragma once
// A button drawn as a picture, the size of its picture. The panel that owns it sets its state
// from the pointer and the left button and fires OnClick.
#include "framework/core/Event.h"
#include "ui/uiPanel.h"
#include "ui/uiPicture.h"

enum class TuiButtonState { Normal, Hot, Pressed };

class TuiPictureButton : public TuiVisual {
public:
    TuiPictureButton(TuiPanel* APanel, int ALeft, int ATop, TuiPicture APicture);

    TuiButtonState State() const { return FState; }
    void SetState(TuiButtonState AState);
    void Paint(HDC ADC) const override;
    void LoadPictures() override { FPicture.Load(); }
    void ReleasePictures() override { FPicture.Release(); }
    int LoadedPictures() const override { return FPicture.Loaded() ? 1 : 0; }

    TEvent<void(TuiPictureButton*)> OnClick;

protected:
    TuiPictureButton(TuiPanel* APanel, int ALeft, int ATop, int AWidth, int AHeight, TuiPicture APicture);

private:
    TuiPicture FPicture;
    TuiButtonState FState = TuiButtonState::Normal;
};
