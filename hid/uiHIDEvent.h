#pragma once
// The device arrival notifier: a hidden window registered for the arrival and removal of HID
// device interfaces, which also reports one arrival by itself 1500 ms after it is created, so
// that a device present at start is treated like one just plugged in.
#include "framework/core/Component.h"
#include "framework/core/Event.h"
#include "framework/win/Handle.h"
#include "framework/win/Timer.h"
#include "framework/win/UtilityWindow.h"

#include <windows.h>

#include <memory>
#include <string>

using TDeviceNotifyOwner = TUniqueHandle<TNullHandleTraits<HDEVNOTIFY, &UnregisterDeviceNotification>>;

class TuiHIDEvent : public TComponent {
public:
    using TNotifyEvent = TEvent<void(TuiHIDEvent* Sender)>;

    explicit TuiHIDEvent(TComponent* AOwner);
    ~TuiHIDEvent() override;

    HWND WindowHandle() const { return FWindow->Handle(); }

    TNotifyEvent OnDeviceArrival;
    TNotifyEvent OnDeviceRemove;
    TNotifyEvent OnDeviceChange;

protected:
    // Decides which event a WM_DEVICECHANGE raises.
    virtual void HandleDeviceChange(TMessage& AMessage);

private:
    bool NotifierWndProc(TMessage& AMessage);
    bool RegisterUsbNotification();
    void TimerToStartMonitorTimer(TTimer* Sender);

    std::unique_ptr<TUtilityWindow> FWindow;
    TDeviceNotifyOwner FNotification;
    TTimer* FTimerToStartMonitor = nullptr;
    std::u16string FUsbGuid;
};
