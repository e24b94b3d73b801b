#include "framework/win/TrayIcon.h"

#include "framework/win/MessageFilter.h"
#include "framework/win/WinText.h"

#include <shellapi.h>

#include <algorithm>

namespace {
constexpr size_t kMaxHint = 127; // szTip holds 128 units with its terminator

// The tray's size of the program's icon resource.
HICON LoadTrayIcon(WORD AResource)
{
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(AResource), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
}
} // namespace

TTrayIcon::TTrayIcon(TComponent* AOwner)
    : TComponent(AOwner),
      FIcon(LoadTrayIcon(FIconResource)),
      FTaskbarCreated(RegisterWindowMessageW(L"TaskbarCreated")),
      FWindow([this](TMessage& m) { return HandleMessage(m); })
{
    // A monitor started elevated still hears the shell's restart and its own icon's clicks.
    AllowWindowMessage(FWindow.Handle(), FTaskbarCreated);
    AllowWindowMessage(FWindow.Handle(), kCallbackMessage);
}

TTrayIcon::~TTrayIcon()
{
    if (FAdded) Notify(NIM_DELETE);
}

bool TTrayIcon::Notify(DWORD AAction)
{
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = FWindow.Handle();
    nid.uID = kIconId;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = kCallbackMessage;
    nid.hIcon = FIcon.Get() ? FIcon.Get() : LoadIconW(nullptr, IDI_APPLICATION);
    std::copy_n(FHint.c_str(), std::min(FHint.size(), kMaxHint), reinterpret_cast<char16_t*>(nid.szTip));
    return Shell_NotifyIconW(AAction, &nid) != FALSE;
}

void TTrayIcon::Add()
{
    // An icon that is still there answers NIM_ADD with failure: update it instead.
    FAdded = Notify(NIM_ADD) || Notify(NIM_MODIFY);
}

void TTrayIcon::SetVisible(bool AVisible)
{
    if (AVisible == FVisible) return;
    FVisible = AVisible;
    if (Designing()) return;
    if (FVisible) {
        Add();
    } else if (FAdded) {
        Notify(NIM_DELETE);
        FAdded = false;
    }
}

void TTrayIcon::SetHint(const std::u16string& AHint)
{
    FHint = AHint.substr(0, kMaxHint);
    if (FAdded) Notify(NIM_MODIFY);
}

void TTrayIcon::SetIconResource(WORD AResource)
{
    if (AResource == FIconResource) return;
    FIconResource = AResource;
    FIcon.Reset(LoadTrayIcon(AResource));
    if (FAdded) Notify(NIM_MODIFY);
}

bool TTrayIcon::HandleMessage(TMessage& AMessage)
{
    if (AMessage.Msg == FTaskbarCreated) {
        if (FVisible) Add();
        return true;
    }
    if (AMessage.Msg != kCallbackMessage) return false;
    switch (static_cast<UINT>(AMessage.LParam)) {
    case WM_LBUTTONDBLCLK:
        FAfterDoubleClick = true;
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // A new press starts a new click: a double click whose release was lost must not
        // swallow it.
        FAfterDoubleClick = false;
        break;
    case WM_LBUTTONUP:
        // The release that ends a double click is not a second click.
        if (!std::exchange(FAfterDoubleClick, false)) OnClick(this);
        break;
    case WM_RBUTTONUP:
        if (PopupMenu) {
            POINT pt{};
            GetCursorPos(&pt);
            PopupMenu->Popup(FWindow.Handle(), pt.x, pt.y);
        }
        break;
    default:
        break;
    }
    return true;
}
