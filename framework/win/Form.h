#pragma once
// A top-level window with a class name of its own (other programs find it by class and caption),
// hosting components and receiving window messages through WndProc. Its caption is the window's
// title, so the language component translates it with the rest of the form.
#include "framework/core/Control.h"
#include "framework/win/UtilityWindow.h"

#include <windows.h>

#include <string>

class TForm : public TControl {
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
    std::u16string ClassName() const override { return FClassName; }
    bool IsForm() const override { return true; }
    void SetCaption(const std::u16string& ACaption) override;
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
    std::u16string FClassName;
};
