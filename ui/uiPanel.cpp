#include "ui/uiPanel.h"

#include "ui/uiPictureButton.h"

#include <utility>

namespace {
constexpr wchar_t kClassName[] = L"TuiPanel";

POINT PointOf(LPARAM AValue)
{
    // Signed: with the mouse captured, points left of or above the panel are negative.
    return {static_cast<short>(LOWORD(AValue)), static_cast<short>(HIWORD(AValue))};
}
} // namespace

TuiVisual::TuiVisual(TuiPanel* APanel, int ALeft, int ATop, int AWidth, int AHeight)
    : TComponent(APanel), FPanel(APanel), FBounds{ALeft, ATop, ALeft + AWidth, ATop + AHeight}
{
}

void TuiVisual::SetSize(int AWidth, int AHeight)
{
    Invalidate();
    FBounds.right = FBounds.left + AWidth;
    FBounds.bottom = FBounds.top + AHeight;
    Invalidate();
}

void TuiVisual::Invalidate() const { FPanel->Invalidate(FBounds); }

TuiPanel::TuiPanel(TForm* AForm) : TuiScene(AForm)
{
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    if (!GetClassInfoW(inst, kClassName, &wc)) {
        wc.lpfnWndProc = &TuiPanel::WndProc;
        wc.hInstance = inst;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        RegisterClassW(&wc);
    }
    RECT client{};
    GetClientRect(AForm->Handle(), &client);
    FHandle = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, client.right, client.bottom,
                              AForm->Handle(), nullptr, inst, nullptr);
    if (FHandle) SetWindowLongPtrW(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TuiPanel::~TuiPanel()
{
    // The form's window may have taken the panel's window with it already.
    if (FHandle) {
        SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
        DestroyWindow(FHandle);
    }
}

void TuiPanel::SetBackground(TuiPicture APicture)
{
    FBackground = std::move(APicture);
    InvalidateRect(FHandle, nullptr, FALSE);
}

void TuiPanel::LoadPictures()
{
    FBackground.Load();
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* visual = dynamic_cast<TuiVisual*>(Components(i))) visual->LoadPictures();
    if (FHandle) InvalidateRect(FHandle, nullptr, FALSE);
}

void TuiPanel::ReleasePictures()
{
    FBackground.Release();
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* visual = dynamic_cast<TuiVisual*>(Components(i))) visual->ReleasePictures();
}

int TuiPanel::LoadedPictures() const
{
    int count = FBackground.Loaded() ? 1 : 0;
    for (int i = 0; i < ComponentCount(); ++i)
        if (const auto* visual = dynamic_cast<const TuiVisual*>(Components(i))) count += visual->LoadedPictures();
    return count;
}

void TuiPanel::Invalidate(const RECT& AArea) const
{
    if (FHandle) InvalidateRect(FHandle, &AArea, FALSE);
}

void TuiPanel::TranslateTexts()
{
    TuiScene::TranslateTexts();
    if (FHandle) InvalidateRect(FHandle, nullptr, FALSE);
}

LRESULT CALLBACK TuiPanel::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<TuiPanel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        self->FHandle = nullptr;
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    return self->Message(msg, wp, lp);
}

LRESULT TuiPanel::Message(UINT AMsg, WPARAM AWParam, LPARAM ALParam)
{
    switch (AMsg) {
    case WM_ERASEBKGND:
        // The background picture covers everything; painting does it in one pass.
        return 1;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_MOUSEMOVE:
        if (!FTrackingLeave) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FHandle, 0};
            FTrackingLeave = TrackMouseEvent(&track) != FALSE;
        }
        SetPointer(ButtonAt(ALParam));
        return 0;
    case WM_MOUSELEAVE:
        FTrackingLeave = false;
        SetPointer(nullptr);
        return 0;
    case WM_LBUTTONDOWN:
        FHot = FPressed = ButtonAt(ALParam);
        if (FPressed) SetCapture(FHandle);
        UpdateButtons();
        return 0;
    case WM_LBUTTONUP:
        if (TuiPictureButton* pressed = std::exchange(FPressed, nullptr)) {
            ReleaseCapture();
            UpdateButtons();
            // Released elsewhere, the press is taken back.
            if (ButtonAt(ALParam) == pressed) pressed->OnClick(pressed);
            // A click that hid the panel leaves no button lit for the next time it shows, and the
            // pointer's leaving is watched afresh then.
            if (!IsWindowVisible(FHandle)) {
                FTrackingLeave = false;
                SetPointer(nullptr);
            }
        }
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a menu, a dialog): the press is over.
        if (reinterpret_cast<HWND>(ALParam) != FHandle && FPressed) {
            FPressed = nullptr;
            UpdateButtons();
        }
        return 0;
    default: return DefWindowProcW(FHandle, AMsg, AWParam, ALParam);
    }
}

void TuiPanel::Paint()
{
    PAINTSTRUCT ps{};
    HDC target = BeginPaint(FHandle, &ps);
    RECT client{};
    GetClientRect(FHandle, &client);
    // Drawn in memory first, so that the window never shows a half-drawn panel.
    TDCOwner buffer(CreateCompatibleDC(target));
    TBitmapOwner bitmap(CreateCompatibleBitmap(target, client.right, client.bottom));
    if (buffer && bitmap) {
        TObjectSelection selected(buffer.Get(), bitmap.Get());
        FBackground.Draw(buffer.Get(), 0, 0);
        for (int i = 0; i < ComponentCount(); ++i) {
            if (auto* visual = dynamic_cast<TuiVisual*>(Components(i))) visual->Paint(buffer.Get());
        }
        BitBlt(target, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
               ps.rcPaint.bottom - ps.rcPaint.top, buffer.Get(), ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
    }
    EndPaint(FHandle, &ps);
}

TuiPictureButton* TuiPanel::ButtonAt(LPARAM APoint) const
{
    const POINT p = PointOf(APoint);
    // The last made lies on top.
    for (int i = ComponentCount() - 1; i >= 0; --i) {
        auto* button = dynamic_cast<TuiPictureButton*>(Components(i));
        if (!button) continue;
        const RECT r = button->Bounds();
        if (PtInRect(&r, p)) return button;
    }
    return nullptr;
}

void TuiPanel::SetPointer(TuiPictureButton* AHot)
{
    FHot = AHot;
    UpdateButtons();
}

void TuiPanel::UpdateButtons() const
{
    for (int i = 0; i < ComponentCount(); ++i) {
        auto* button = dynamic_cast<TuiPictureButton*>(Components(i));
        if (!button) continue;
        TuiButtonState state = TuiButtonState::Normal;
        if (button == FHot && button == FPressed) state = TuiButtonState::Pressed;
        // While one button is held, the others do not light up.
        else if (button == FHot && !FPressed) state = TuiButtonState::Hot;
        button->SetState(state);
    }
}
