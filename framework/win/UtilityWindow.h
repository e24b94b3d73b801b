#pragma once
// A hidden window that receives messages for a non-visual component on the thread that made it:
// zero size, popup style, tool window, no parent, so it also gets broadcast messages (a
// message-only window would not).
#include <windows.h>

#include <functional>

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

class TUtilityWindow {
public:
    // The handler answers true when it handled the message (and set Result); otherwise the
    // default window procedure runs. An exception it lets out goes to the application's
    // exception report.
    using THandler = std::function<bool(TMessage&)>;
    explicit TUtilityWindow(THandler AHandler);
    ~TUtilityWindow();
    TUtilityWindow(const TUtilityWindow&) = delete;
    TUtilityWindow& operator=(const TUtilityWindow&) = delete;

    HWND Handle() const { return FHandle; }

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    THandler FHandler;
    HWND FHandle = nullptr;
};
