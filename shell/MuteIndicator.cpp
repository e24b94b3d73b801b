#include "shell/MuteIndicator.h"

#include "ui/uiPicture.h"

namespace {

const wchar_t* ClassName() { return reinterpret_cast<const wchar_t*>(TMuteIndicator::kClassName); }

constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_LAYERED | WS_EX_TOOLWINDOW;

// Registered once per process; the window only shows its layered picture, so the default
// procedure serves.
void RegisterIndicatorClass(HINSTANCE AInstance)
{
    WNDCLASSW wc{};
    if (GetClassInfoW(AInstance, ClassName(), &wc)) return;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = AInstance;
    wc.lpszClassName = ClassName();
    RegisterClassW(&wc);
}

// The work area of the screen that holds the foreground window (the primary one without it):
// where a full-screen game runs, the indicator shows.
RECT ForegroundWorkArea()
{
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(MonitorFromWindow(GetForegroundWindow(), MONITOR_DEFAULTTOPRIMARY), &info)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    }
    return info.rcWork;
}

} // namespace

TMuteIndicator::TMuteIndicator(TComponent* AOwner) : TComponent(AOwner), FTimer(new TTimer(this))
{
    FTimer->SetEnabled(false);
    FTimer->SetInterval(kShowMs);
    FTimer->OnTimer.Bind(this, &TMuteIndicator::TimerHide);
}

TMuteIndicator::~TMuteIndicator() = default;

void TMuteIndicator::Show(bool AMuted)
{
    // Decoded for this showing only: the layered window keeps its own copy of the pixels, and these
    // are freed as the picture goes at the end of this call.
    TuiPicture picture = TuiPicture::FromResource(AMuted ? L"MUTE_INDICATOR_MUTED" : L"MUTE_INDICATOR_LIVE");
    if (!picture.Load()) return;
    if (!FWindow) {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        RegisterIndicatorClass(instance);
        FWindow.Reset(CreateWindowExW(kExStyle, ClassName(), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                                      nullptr));
        if (!FWindow) return;
    }
    const RECT work = ForegroundWorkArea();
    const int x = (work.left + work.right - picture.Width()) / 2;
    // Above the bottom edge by one picture's height: near it, clear of a taskbar at the edge.
    const int y = work.bottom - 2 * picture.Height();
    if (!picture.UpdateLayered(FWindow.Get(), x, y)) {
        Hide();
        return;
    }
    SetWindowPos(FWindow.Get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    // A second press starts the time again.
    FTimer->SetEnabled(false);
    FTimer->SetEnabled(true);
}

void TMuteIndicator::Hide()
{
    FTimer->SetEnabled(false);
    // The window goes, and with it the copy of the picture it held.
    FWindow.Reset();
}

void TMuteIndicator::TimerHide(TTimer*) { Hide(); }
