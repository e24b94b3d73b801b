#pragma once
// The About panel, the main window's content: the background picture over the whole window; in
// the content area (425 x 223 at 43, 100), stacked from the top, the hardware and software
// heading, the two version lines, the web site heading, the web site address TextWeb and the
// button BtnGoWeb that opens it; the OK button BtnOK below. The window binds the buttons.
#include "ui/uiLabel.h"
#include "ui/uiPanel.h"
#include "ui/uiPictureButton.h"
#include "ui/uiStateButton.h"

class TAboutPanel : public TuiPanel {
public:
    explicit TAboutPanel(TForm* AForm);

    TuiLabel* TextWeb;
    TuiPictureButton* BtnGoWeb;
    TuiStateButton* BtnOK;
};
