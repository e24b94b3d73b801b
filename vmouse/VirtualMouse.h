#pragma once
// The virtual mouse seen from user mode: installs its driver, plugs and unplugs device instances
// through SetupAPI and talks to the driver's control device. Used by qelmouse.exe and the tests.
#include "framework/win/Handle.h"
#include "vmouse/QelVMouseDriver.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TVirtualMouse {
public:
    // AInfPath: the driver's INF, with qelvmouse.sys beside it.
    explicit TVirtualMouse(std::wstring AInfPath);

    // Each operation answers 0 or a Win32 error code, and leaves a sentence in Message().
    // Copies the driver into the system and creates its service, once; Plug needs it.
    DWORD Install();
    // Plugs the mouse in: one device instance per collection (the vendor collection first), or
    // with AOneDevice a single instance carrying both collections.
    DWORD Plug(bool AOneDevice = false);
    // Unplugs every instance of the virtual mouse.
    DWORD Unplug();
    // Hands one input report (report ID first) to the plugged-in vendor collections; the driver
    // refuses a report their descriptor does not have (ERROR_INVALID_PARAMETER).
    DWORD Send(const std::vector<uint8_t>& AReport);
    // ACount reports at ARate a second, report i given by AReport(i), paced against the clock so
    // that late ones catch up. Reports refused by a full queue are counted and the burst goes on;
    // any other failure ends it.
    struct TBurst {
        std::vector<unsigned long> Dropped; // the indexes of the refused reports
        unsigned long Sent = 0;
        double Seconds = 0;
        DWORD Error = 0;
    };
    TBurst SendBurst(unsigned long ACount, unsigned long ARate, const std::function<std::vector<uint8_t>(unsigned long)>& AReport);
    DWORD LastHostReport(QELVM_HOST_REPORT& AReport);
    // What HidD_GetFeature of the feature report answers from now on (report ID first).
    DWORD SetFeatureAnswer(const std::vector<uint8_t>& AReport);
    // With AHold the devices keep the reports they are handed in their queues, as a device does
    // whose host reads nothing; without it the queued reports go on to the host, in order.
    DWORD HoldReports(bool AHold);
    DWORD Status(QELVM_STATUS& AStatus);
    // Waits until the driver reports AVendor vendor collections plugged in.
    DWORD WaitForVendorCollections(unsigned AVendor, DWORD ATimeoutMs);
    // Instances of the virtual mouse that SetupAPI knows, plugged in or not.
    std::vector<std::wstring> InstanceIds();

    const std::wstring& Message() const { return FMessage; }

    // The input reports of the mouse: a button by key index 0..23, a switch to profile 0..4.
    static std::vector<uint8_t> ButtonReport(unsigned AKeyIndex);
    static std::vector<uint8_t> ProfileReport(unsigned AProfile);

private:
    DWORD Control(DWORD ACode, const void* AIn, DWORD AInSize, void* AOut, DWORD AOutSize);
    DWORD AddInstance(const wchar_t* AName);
    DWORD Fail(DWORD AError, const std::wstring& AWhat);
    bool DriverFilesPresent();
    bool DriverInstalled();

    std::wstring FInfPath;
    std::wstring FMessage;
    THandleOwner FControl;
};
