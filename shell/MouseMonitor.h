#pragma once
// The monitor's main window: hidden, found by other programs by its class and caption. It hosts
// the tray icon and its menu and doubles as the About window. It reads the mouse's vendor
// collection, acts on its reports (microphone mute, profile switches) and follows the
// configuration program's messages and language.
#include "audio/MicrophoneMute.h"
#include "framework/win/Form.h"
#include "framework/win/PopupMenu.h"
#include "framework/win/Timer.h"
#include "framework/win/TrayIcon.h"
#include "hid/uiHIDData.h"
#include "hid/uiHIDEvent.h"
#include "hook/uiHook.h"
#include "lang/uiLanguage.h"

#include <cstdint>
#include <optional>
#include <string>

class TAboutPanel;
class TMuteIndicator;

class TQelMonMain : public TForm {
public:
    // AHidApi: the platform's HID access, or a simulated device's.
    explicit TQelMonMain(TComponent* AOwner, const THidApi& AHidApi = SystemHidApi());
    ~TQelMonMain() override;

    TTrayIcon* TrayIcon1;
    TPopupMenu* MyPopupMenu;
    TMenuItem* Config1;
    TMenuItem* About1;
    TMenuItem* Exit1;
    // Holds the built-in languages "CH" and "US"; the stored languages follow a "ui.local".
    TuiLanguage* uiLanguage1;
    // The window's content, shown by About1Click: texts, the web site TextWeb, BtnGoWeb, BtnOK.
    TAboutPanel* AboutPanel;
    // Reads the mouse's reports (FastOnData off: they reach the main thread).
    TuiHIDData* uiHIDData1;
    TuiHIDEvent* uiHIDEvent1;
    // Delays the restart of reading until 1500 ms after the last arrival.
    TTimer* TimerDeviceArrial;
    // Loads the hook library at start (its error box when it is missing); the monitor starts no watch.
    TuiHook* uiHook1;
    // Shows the microphone's state for a moment after each toggle made by the mouse's button.
    TMuteIndicator* MuteIndicator;

    // The tray icon's resources: the application's icon, and the same with a mute mark.
    static constexpr WORD kIconLive = 1;
    static constexpr WORD kIconMuted = 2;

    void OpenConfigProgram();
    void ProcessMessageAndSleep50ms();

    void Config1Click(TMenuItem* Sender);
    void About1Click(TMenuItem* Sender);
    void Exit1Click(TMenuItem* Sender);
    void TrayIconDblClick(TTrayIcon* Sender);
    void BtnOKClick();
    void BtnGoWebClick();

    void uiHIDEvent1DeviceArrival(TuiHIDEvent* Sender);
    void TimerDeviceArrialTimer(TTimer* Sender);
    void RestartDeviceReading();
    void uiHIDData1Data(const std::u16string& ADeviceID, const std::u16string& ADevicePath, uint8_t ReportID,
                        const uint8_t* Data, uint16_t Size);
    void DoButtonFunction(unsigned KeyIndex, uint16_t FunctionCode, LPARAM Param);
    // Writes ProfileID under HKCU\software\QelHV730gmmouse when that key exists (it is not
    // created); false when it does not.
    bool WriteProfileIDToRegistry(uint32_t Value);
    // Makes the language stored by the configuration program current and translates the tray's
    // texts and the application title.
    void RefreshLanguage();
    // Toggles the microphone; answers its state read back afterwards, or nothing without one.
    std::optional<bool> MicrophoneMute();
    // The microphone's endpoint in use, or null.
    IAudioEndpointVolume* MicrophoneEndpoint() const { return FMicrophoneMute.Endpoint(); }
    // Its change callback, which the platform may call on any thread, or null.
    IAudioEndpointVolumeCallback* MicrophoneCallback() const { return FMicrophoneMute.Callback(); }

protected:
    bool WndProc(TMessage& AMessage) override;

private:
    void FormCreate();
    void FormDestroy();
    void HandleDeviceEvent(WPARAM AWParam, LPARAM ALParam);
    void NotifyProfileSwitched(HWND AConfigWindow, unsigned AProfile);
    // The tray icon follows the microphone's state (when "config.ini" leaves that on).
    void ShowMicrophoneState(bool AMuted);

    TMicrophoneMute FMicrophoneMute;
};
