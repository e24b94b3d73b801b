#pragma once
// The on-screen indicator of the microphone's state after a toggle made by the mouse's button: a
// small picture (a microphone, or a slashed microphone when muted; no text) near the bottom
// centre of the screen that holds the foreground window, for about 1.5 s. It never takes the
// focus or a click: a topmost, layered (per-pixel alpha), click-through tool window that is never
// activated. Its window and picture exist only while it shows.
#include "framework/core/Component.h"
#include "framework/win/Handle.h"
#include "framework/win/Timer.h"

#include <windows.h>

class TMuteIndicator : public TComponent {
public:
    explicit TMuteIndicator(TComponent* AOwner);
    ~TMuteIndicator() override;

    // Shows the picture of the state; while it shows already, switches the picture and starts
    // the time again.
    void Show(bool AMuted);
    void Hide();
    // The indicator's window while it shows, or null.
    HWND Handle() const { return FWindow.Get(); }

    static constexpr char16_t kClassName[] = u"TQelMuteIndicator";
    static constexpr unsigned kShowMs = 1500;

private:
    void TimerHide(TTimer* Sender);

    using TWindowOwner = TUniqueHandle<TNullHandleTraits<HWND, &DestroyWindow>>;
    TWindowOwner FWindow;
    TTimer* FTimer;
};
