#pragma once
// A top-level window with a class name of its own (other programs find it by class and caption),
// hosting components and receiving window messages through WndProc.
#include "framework/core/Component.h"
#include "framework/win/UtilityWindow.h"

#include <windows.h>

#include <string>

class TForm : public TComponent {
public:
    struct TParams {
        std::u16string ClassName;
        std::u16string Caption;
        DWORD Style = WS_POPUP;
        DWORD ExStyle = 0;
        int ClientWidth = 0;
        int ClientHeight = 0;
    };
    TForm(TComponent* AOwner, const TParams& AParams);
    ~TForm() override;

    HWND Handle() const { return FHandle; }
    const std::u16string& Caption() const { return FCaption; }
    void SetCaption(const std::u16string& ACaption);
    // Shows the window at the centre of the desktop.
    void Show();
    void Hide();
    bool Visible() const;

protected:
    // Answers true when it handled the message; otherwise the default window procedure runs.
    virtual bool WndProc(TMessage& AMessage);

private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND FHandle = nullptr;
    std::u16string FCaption;
};
