#pragma once
// A panel that fills a form with a background picture and the visuals it owns (texts, buttons),
// drawn by the panel itself in one pass without flicker; its pictures are decoded only while it
// shows. It is a child window of its own, so the
// form keeps its own window procedure; it follows the pointer and the left button for its
// buttons: a button is hot while the pointer is over it, pressed while the button went down on it
// and the pointer is still over it, and clicked when the button comes up there. The panel is a
// scene of the translation service: its visuals' texts are the scene's texts, translated to each
// language and back as the language changes.
#include "framework/win/Form.h"
#include "lang/uiScene.h"
#include "ui/uiPicture.h"

#include <windows.h>

class TuiPanel;
class TuiPictureButton;

// Something the panel draws within its bounds, in the order the visuals were made.
class TuiVisual : public TComponent {
public:
    TuiVisual(TuiPanel* APanel, int ALeft, int ATop, int AWidth, int AHeight);

    RECT Bounds() const { return FBounds; }
    virtual void Paint(HDC ADC) const = 0;
    // The visual's pictures, decoded while the panel shows and released while it is hidden.
    virtual void LoadPictures() {}
    virtual void ReleasePictures() {}
    virtual int LoadedPictures() const { return 0; }

protected:
    TuiPanel* Panel() const { return FPanel; }
    void SetSize(int AWidth, int AHeight);
    // Asks the panel to draw the visual's bounds again.
    void Invalidate() const;

private:
    TuiPanel* FPanel;
    RECT FBounds;
};

class TuiPanel : public TuiScene {
public:
    explicit TuiPanel(TForm* AForm);
    ~TuiPanel() override;

    HWND Handle() const { return FHandle; }
    void SetBackground(TuiPicture APicture);
    // The form calls these as it shows and hides: nobody sees a hidden panel, so it holds no
    // pixels then.
    void LoadPictures();
    void ReleasePictures();
    // The pictures of the background and the visuals whose pixels are held now.
    int LoadedPictures() const;
    void Invalidate(const RECT& AArea) const;
    void TranslateTexts() override;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Message(UINT AMsg, WPARAM AWParam, LPARAM ALParam);
    void Paint();
    TuiPictureButton* ButtonAt(LPARAM APoint) const;
    void SetPointer(TuiPictureButton* AHot);
    void UpdateButtons() const;

    HWND FHandle = nullptr;
    TuiPicture FBackground;
    TuiPictureButton* FHot = nullptr;
    TuiPictureButton* FPressed = nullptr;
    bool FTrackingLeave = false;
};
