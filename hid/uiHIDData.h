#pragma once
// The HID component: finds HID interfaces by the usage page and usage of their top-level
// collection and by hardware ID, starts a reader thread per matching interface, and offers
// output-report writes, feature-report transfers and an existence test.
#include "framework/core/Component.h"
#include "framework/core/Event.h"
#include "framework/win/Thread.h"
#include "hid/HidApi.h"
#include "hid/HidRules.h"
#include "profile/ProductConstants.h"

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One report buffer: ReportID and DATAReally together are one buffer of up to 65536 bytes.
struct THidReallyData {
    uint8_t ReportID;
    uint8_t DATAReally[65535];
    // For HidFindAndWriteDevice the bytes after the report ID; for the other transfers the
    // whole transfer, report ID included.
    uint32_t DATASIZE;
};
static_assert(offsetof(THidReallyData, DATAReally) == 1);
static_assert(offsetof(THidReallyData, DATASIZE) == 65536);

struct THIDDataParam {
    USAGE_AND_PAGE UsageAndPage{};
    // One hardware ID; empty or "*" leaves the choice to the configured device list.
    std::u16string DeviceID;
    THidReallyData Data{};
    // The handle HidFindAndSetFeatureReport addressed last; closed before it returns.
    HANDLE DeviceHandle = nullptr;
};

using TuiHIDDataReceived = TEvent<void(const std::u16string& ADeviceID, const std::u16string& ADevicePath,
                                       uint8_t ReportID, const uint8_t* Data, uint16_t Size)>;
using TuiHIDParsedDataReceived = TEvent<void(const std::u16string& ADeviceID, const std::u16string& ADevicePath,
                                             uint8_t ReportID, uint32_t ButtonData)>;
using TuiHIDDeviceNotConnected = TEvent<void(const std::u16string& ADeviceID, const std::u16string& ADevicePath)>;

// The process-wide manual-reset event that stops every reader while it is signalled; it exists
// while at least one TuiHIDData does (null otherwise).
HANDLE ReadStopEvent();

class TuiHidDeviceReadThread;

class TuiHIDData : public TComponent {
public:
    explicit TuiHIDData(TComponent* AOwner);
    // With another function table: a simulated device stands in for the platform's.
    TuiHIDData(TComponent* AOwner, const THidApi& AApi);
    // Stops this component's readers and waits until their threads have ended.
    ~TuiHIDData() override;

    // Starts one reader per interface whose collection is AUsageAndPage and whose device node
    // passes the configured list with AHIDID ("*": any configured ID).
    void HidFindAndReadDevice(USAGE_AND_PAGE AUsageAndPage, const std::u16string& AHIDID);
    // Stops every reader of every instance that exists now, also one waiting for the main thread.
    void HidStopRead();
    bool HidFindAndWriteDevice(const THIDDataParam& AReportData);
    bool HidFindAndWriteDeviceBYHID(const THIDDataParam& AReportData);
    // 0 on success, else the platform error code of the last attempt (ERROR_DEVICE_NOT_CONNECTED
    // when no interface matched).
    uint32_t HidFindAndGetFeatureReport(THIDDataParam& AReportData);
    uint32_t HidFindAndSetFeatureReport(THIDDataParam& AReportData);
    bool IsDeviceExist(const THIDDataParam& AReportData);

    const TTextList& GetHIDDeviceList() const { return FHidDeviceList; }
    void SetUsageAndPage(USAGE_AND_PAGE AUsageAndPage) { FUsageAndPage = AUsageAndPage; }
    USAGE_AND_PAGE GetUsageAndPage() const { return FUsageAndPage; }
    const std::u16string& DeviceID() const { return FDeviceID; }
    void SetDeviceID(const std::u16string& ADeviceID) { FDeviceID = ADeviceID; }

    // When true, readers raise OnData and OnParsedData on their own threads.
    bool FastOnData() const { return FFastOnData.load(); }
    void SetFastOnData(bool AValue) { FFastOnData = AValue; }

    // The interface paths of this component's readers that still exist; a stopped reader leaves
    // the list when its thread has released the device.
    std::vector<std::u16string> ReadingDevicePaths() const;

    const THidApi& Api() const { return *FApi; }

    // Readers use these from their own threads: assign them before reading starts.
    TuiHIDDataReceived OnData;
    TuiHIDParsedDataReceived OnParsedData;
    TuiHIDDeviceNotConnected OnDeviceNotConnected;

private:
    struct TWalk {
        USAGE_AND_PAGE UsageAndPage;
        DWORD OpenFlags;
        std::function<bool(const TTextList& AHardwareIDs)> Filter;
        std::function<bool(const HIDP_CAPS& ACaps)> LengthTest;
        std::function<void(HANDLE AHandle, const std::u16string& APath, const TTextList& AHardwareIDs)> Action;
    };
    void Walk(const TWalk& AWalk) const;
    // Feature transfers address the configured devices whose feature report is long enough.
    void WalkFeature(const THIDDataParam& AReportData, decltype(TWalk::Action) AAction) const;
    void ReadConfiguredDeviceList();

    const THidApi* FApi;
    USAGE_AND_PAGE FUsageAndPage{};
    std::u16string FDeviceID;
    GUID FHidGuid = kHidInterfaceClass;
    TTextList FHidDeviceList;
    std::atomic<bool> FFastOnData{false};
};

// Reads the input reports of one interface on a thread of its own and hands them to the
// component's events. Nobody keeps a reader: it frees itself when it ends, and its component
// reaches it only to stop it.
class TuiHidDeviceReadThread final : public TThread {
public:
    // Constructs a reader and starts its thread.
    static void StartReading(TuiHIDData* AHIDData, const std::u16string& ADeviceID, const std::u16string& ADevicePath);
    ~TuiHidDeviceReadThread() override;

protected:
    void Execute() override;

private:
    TuiHidDeviceReadThread(TuiHIDData* AHIDData, const std::u16string& ADeviceID, const std::u16string& ADevicePath);
    // The record a read completes with; the completion routine finds the reader through it.
    struct TRead {
        OVERLAPPED Overlapped;
        TuiHidDeviceReadThread* Reader;
    };
    static VOID CALLBACK ReadCompletion(DWORD AErrorCode, DWORD ABytes, LPOVERLAPPED AOverlapped);
    bool WaitForRead(bool AStarted, DWORD ATimeoutMs);
    // A pending read failed with a device error: the reader ends, and says so once.
    void DeviceLost();
    void EndPendingRead();
    void Deliver();
    void DeliverReport();
    uint32_t GetButtonChange();

    TuiHIDData* FHIDData;
    const THidApi& FApi;
    std::u16string FDeviceID;
    std::u16string FDevicePath;
    THidDeviceHandle FDeviceHandle;
    int32_t FInputReportLength = 0;
    THidPreparsedData FPreparsedData;
    DWORD NumBytesRead = 0;
    std::vector<uint8_t> FReport;
    TRead FRead{};
    HANDLE FStopEvent;
    // Set and cleared on the reader's own thread only (the completion routine runs there).
    bool FReadPending = false;
};
