#pragma once
// The SetupAPI, HID and device I/O functions the HID component and its readers call, in one
// table. SetupApi.dll and HID.dll are loaded at run time, from the system directory only, so a
// DLL of the same name planted beside the program or in the current directory is never loaded.
// A simulated device can replace the device I/O and capability entries of a copy of the table.
//
// The HID declarations are our own: the driver kit's hidpi.h defines a USAGE_AND_PAGE of its
// own, which would clash with the product's (same layout, Usage then UsagePage).
#include "profile/ProductConstants.h"

#include <windows.h>
#include <setupapi.h>

#include <utility>

using USAGE = USHORT;
using HIDP_STATUS = LONG;
struct HIDP_PREPARSED_DATA;
using PHIDP_PREPARSED_DATA = HIDP_PREPARSED_DATA*;

enum HIDP_REPORT_TYPE { HidP_Input, HidP_Output, HidP_Feature };

inline constexpr HIDP_STATUS kHidpStatusSuccess = 0x00110000;
inline constexpr HIDP_STATUS kHidpStatusBufferTooSmall = static_cast<HIDP_STATUS>(0xC0110007);

// GUID_DEVINTERFACE_HID, the HID device interface class.
inline constexpr GUID kHidInterfaceClass{0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

struct HIDD_ATTRIBUTES {
    ULONG Size;
    USHORT VendorID;
    USHORT ProductID;
    USHORT VersionNumber;
};

struct HIDP_CAPS {
    USAGE Usage;
    USAGE UsagePage;
    USHORT InputReportByteLength;
    USHORT OutputReportByteLength;
    USHORT FeatureReportByteLength;
    USHORT Reserved[17];
    USHORT NumberLinkCollectionNodes;
    USHORT NumberInputButtonCaps;
    USHORT NumberInputValueCaps;
    USHORT NumberInputDataIndices;
    USHORT NumberOutputButtonCaps;
    USHORT NumberOutputValueCaps;
    USHORT NumberOutputDataIndices;
    USHORT NumberFeatureButtonCaps;
    USHORT NumberFeatureValueCaps;
    USHORT NumberFeatureDataIndices;
};
static_assert(sizeof(HIDP_CAPS) == 64);

struct THidApi {
    // SetupAPI
    decltype(&::SetupDiGetClassDevsW) SetupDiGetClassDevsW = nullptr;
    decltype(&::SetupDiEnumDeviceInterfaces) SetupDiEnumDeviceInterfaces = nullptr;
    decltype(&::SetupDiGetDeviceInterfaceDetailW) SetupDiGetDeviceInterfaceDetailW = nullptr;
    decltype(&::SetupDiGetDeviceRegistryPropertyW) SetupDiGetDeviceRegistryPropertyW = nullptr;
    decltype(&::SetupDiDestroyDeviceInfoList) SetupDiDestroyDeviceInfoList = nullptr;
    // HID
    void(WINAPI* HidD_GetHidGuid)(GUID*) = nullptr;
    BOOLEAN(WINAPI* HidD_GetAttributes)(HANDLE, HIDD_ATTRIBUTES*) = nullptr;
    BOOLEAN(WINAPI* HidD_GetPreparsedData)(HANDLE, PHIDP_PREPARSED_DATA*) = nullptr;
    BOOLEAN(WINAPI* HidD_FreePreparsedData)(PHIDP_PREPARSED_DATA) = nullptr;
    BOOLEAN(WINAPI* HidD_GetFeature)(HANDLE, PVOID, ULONG) = nullptr;
    BOOLEAN(WINAPI* HidD_SetFeature)(HANDLE, PVOID, ULONG) = nullptr;
    HIDP_STATUS(WINAPI* HidP_GetCaps)(PHIDP_PREPARSED_DATA, HIDP_CAPS*) = nullptr;
    ULONG(WINAPI* HidP_MaxUsageListLength)(HIDP_REPORT_TYPE, USAGE, PHIDP_PREPARSED_DATA) = nullptr;
    HIDP_STATUS(WINAPI* HidP_GetUsagesEx)(HIDP_REPORT_TYPE, USHORT, USAGE_AND_PAGE*, ULONG*, PHIDP_PREPARSED_DATA,
                                          PCHAR, ULONG) = nullptr;
    HIDP_STATUS(WINAPI* HidP_UsageListDifference)(USAGE*, USAGE*, USAGE*, USAGE*, ULONG) = nullptr;
    // Not needed for reading: without it a handle keeps the system's input ring.
    BOOLEAN(WINAPI* HidD_SetNumInputBuffers)(HANDLE, ULONG) = nullptr;
    // Device I/O (kernel32, always present)
    decltype(&::CreateFileW) CreateFileW = &::CreateFileW;
    decltype(&::CloseHandle) CloseHandle = &::CloseHandle;
    decltype(&::ReadFileEx) ReadFileEx = &::ReadFileEx;
    decltype(&::GetOverlappedResult) GetOverlappedResult = &::GetOverlappedResult;
    decltype(&::CancelIo) CancelIo = &::CancelIo;
    decltype(&::WriteFile) WriteFile = &::WriteFile;
    // The reader's one wait; a measurement may count its wake-ups.
    decltype(&::WaitForMultipleObjectsEx) WaitForMultipleObjectsEx = &::WaitForMultipleObjectsEx;

    // True when both libraries and every function the walk and the reader need were found.
    bool Complete() const;
};

// The table of this process, filled once, on first use.
const THidApi& SystemHidApi();

// A device handle closed through its table.
class THidDeviceHandle {
public:
    THidDeviceHandle(const THidApi& AApi, HANDLE AHandle) : FApi(&AApi), FHandle(AHandle) {}
    ~THidDeviceHandle() { Reset(); }
    THidDeviceHandle(const THidDeviceHandle&) = delete;
    THidDeviceHandle& operator=(const THidDeviceHandle&) = delete;

    HANDLE Get() const { return FHandle; }
    bool Valid() const { return FHandle != INVALID_HANDLE_VALUE && FHandle != nullptr; }
    void Reset()
    {
        if (Valid()) FApi->CloseHandle(FHandle);
        FHandle = INVALID_HANDLE_VALUE;
    }

private:
    const THidApi* FApi;
    HANDLE FHandle;
};

// A collection's parsed descriptor freed through its table.
class THidPreparsedData {
public:
    explicit THidPreparsedData(const THidApi& AApi) : FApi(&AApi) {}
    ~THidPreparsedData() { Reset(); }
    THidPreparsedData(const THidPreparsedData&) = delete;
    THidPreparsedData& operator=(const THidPreparsedData&) = delete;

    // Fetches the descriptor of AHandle; false (and none held) when the platform refuses.
    bool Fetch(HANDLE AHandle)
    {
        Reset();
        PHIDP_PREPARSED_DATA data = nullptr;
        if (!FApi->HidD_GetPreparsedData(AHandle, &data)) return false;
        FData = data;
        return true;
    }
    PHIDP_PREPARSED_DATA Get() const { return FData; }
    void Reset()
    {
        if (FData) FApi->HidD_FreePreparsedData(std::exchange(FData, nullptr));
    }

private:
    const THidApi* FApi;
    PHIDP_PREPARSED_DATA FData = nullptr;
};
