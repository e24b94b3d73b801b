#include "framework/win/Form.h"

#include "framework/win/Application.h"
#include "framework/win/WinText.h"

TForm::TForm(TComponent* AOwner, const TParams& AParams) : TControl(AOwner), FClassName(AParams.ClassName)
{
    TControl::SetCaption(AParams.Caption);
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    if (!GetClassInfoW(inst, W(AParams.ClassName), &wc)) {
        wc.lpfnWndProc = &TForm::StaticWndProc;
        wc.hInstance = inst;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = LoadIconW(inst, MAKEINTRESOURCEW(1));
        wc.lpszClassName = W(AParams.ClassName);
        RegisterClassW(&wc);
    }
    RECT r{0, 0, AParams.ClientWidth, AParams.ClientHeight};
    AdjustWindowRectEx(&r, AParams.Style, FALSE, AParams.ExStyle);
    FHandle = CreateWindowExW(AParams.ExStyle, W(AParams.ClassName), W(AParams.Caption), AParams.Style, 0, 0,
                              r.right - r.left, r.bottom - r.top, nullptr, nullptr, inst, nullptr);
    if (FHandle) SetWindowLongPtrW(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TForm::~TForm()
{
    if (FHandle) {
        SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
        DestroyWindow(FHandle);
    }
}

void TForm::SetCaption(const std::u16string& ACaption)
{
    TControl::SetCaption(ACaption);
    SetWindowTextW(FHandle, W(Caption()));
}

void TForm::Show()
{
    RECT wr{}, work{};
    GetWindowRect(FHandle, &wr);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    SetWindowPos(FHandle, nullptr, work.left + (work.right - work.left - w) / 2,
                 work.top + (work.bottom - work.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(FHandle, SW_SHOW);
}

void TForm::Hide() { ShowWindow(FHandle, SW_HIDE); }

bool TForm::Visible() const { return IsWindowVisible(FHandle) != FALSE; }

bool TForm::WndProc(TMessage&) { return false; }

LRESULT CALLBACK TForm::StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<TForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) {
        TMessage m{msg, wp, lp, 0};
        // No exception may cross the platform's frames: a handler's failure is reported and the
        // window goes on.
        try {
            if (self->WndProc(m)) return m.Result;
        } catch (...) {
            Application.HandleException(std::current_exception());
            return 0;
        }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}
