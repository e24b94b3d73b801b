#include "hid/uiHIDEvent.h"

#include "framework/win/WinText.h"

#include <dbt.h>
#include <objbase.h>

namespace {
constexpr char16_t kHidInterfaceClassText[] = u"{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr unsigned kStartDelayMs = 1500;
} // namespace

TuiHIDEvent::TuiHIDEvent(TComponent* AOwner)
    : TComponent(AOwner), FWindow(std::make_unique<TUtilityWindow>([this](TMessage& m) { return NotifierWndProc(m); }))
{
    if (FUsbGuid.empty()) FUsbGuid = kHidInterfaceClassText;
    RegisterUsbNotification();
    // Owned, so it goes with the component.
    FTimerToStartMonitor = new TTimer(this);
    FTimerToStartMonitor->SetInterval(kStartDelayMs);
    FTimerToStartMonitor->OnTimer.Bind(this, &TuiHIDEvent::TimerToStartMonitorTimer);
    FTimerToStartMonitor->SetEnabled(true);
}

// The registration is withdrawn before the window it names goes (members end in reverse order).
TuiHIDEvent::~TuiHIDEvent() = default;

bool TuiHIDEvent::RegisterUsbNotification()
{
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    static_assert(sizeof(filter) == 32);
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_reserved = 0;
    CLSIDFromString(W(FUsbGuid), &filter.dbcc_classguid);
    filter.dbcc_name[0] = 0;
    FNotification.Reset(RegisterDeviceNotificationW(FWindow->Handle(), &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
    // Posted whether or not the registration worked: the owner hears of one device-node change.
    PostMessageW(FWindow->Handle(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, static_cast<LPARAM>(-1));
    return FNotification.Valid();
}

void TuiHIDEvent::TimerToStartMonitorTimer(TTimer*)
{
    FTimerToStartMonitor->SetEnabled(false);
    OnDeviceArrival(this);
}

bool TuiHIDEvent::NotifierWndProc(TMessage& AMessage)
{
    if (AMessage.Msg != WM_DEVICECHANGE) return false;
    // A handler's exception is reported by the window, and the result stays 0.
    AMessage.Result = 0;
    HandleDeviceChange(AMessage);
    return true;
}

void TuiHIDEvent::HandleDeviceChange(TMessage& AMessage)
{
    const auto isInterface = [&] {
        const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(AMessage.LParam);
        return header && header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE;
    };
    switch (AMessage.WParam) {
    case DBT_DEVICEARRIVAL:
        if (isInterface()) OnDeviceArrival(this);
        break;
    case DBT_DEVICEREMOVECOMPLETE:
        if (isInterface()) OnDeviceRemove(this);
        break;
    case DBT_DEVNODES_CHANGED:
        OnDeviceChange(this);
        break;
    default:
        break;
    }
}
