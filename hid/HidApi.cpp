#include "hid/HidApi.h"

#include "framework/win/Handle.h"

#include <string>

namespace {

// Loads a library from the system directory by its full path; its own dependencies are then
// searched from there too, never from the program's folder or the current directory.
HMODULE LoadSystemLibrary(const wchar_t* AName)
{
    wchar_t dir[MAX_PATH];
    const UINT length = GetSystemDirectoryW(dir, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::wstring path(dir, length);
    path += L'\\';
    path += AName;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

template <class F>
void Resolve(HMODULE AModule, const char* AName, F& AEntry)
{
    // Through void(*)(): a function pointer cast the compiler takes as deliberate.
    AEntry = AModule ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(AModule, AName))) : nullptr;
}

struct TSystemHidApi {
    TModuleOwner SetupApi{LoadSystemLibrary(L"SetupApi.dll")};
    TModuleOwner Hid;
    THidApi Api;

    TSystemHidApi()
    {
        HMODULE s = SetupApi.Get();
        Resolve(s, "SetupDiGetClassDevsW", Api.SetupDiGetClassDevsW);
        Resolve(s, "SetupDiEnumDeviceInterfaces", Api.SetupDiEnumDeviceInterfaces);
        Resolve(s, "SetupDiGetDeviceInterfaceDetailW", Api.SetupDiGetDeviceInterfaceDetailW);
        Resolve(s, "SetupDiGetDeviceRegistryPropertyW", Api.SetupDiGetDeviceRegistryPropertyW);
        Resolve(s, "SetupDiDestroyDeviceInfoList", Api.SetupDiDestroyDeviceInfoList);
        // The HID functions are of use only with the device walk of SetupAPI.
        if (!s) return;
        Hid.Reset(LoadSystemLibrary(L"HID.dll"));
        HMODULE h = Hid.Get();
        Resolve(h, "HidD_GetHidGuid", Api.HidD_GetHidGuid);
        Resolve(h, "HidD_GetAttributes", Api.HidD_GetAttributes);
        Resolve(h, "HidD_GetPreparsedData", Api.HidD_GetPreparsedData);
        Resolve(h, "HidD_FreePreparsedData", Api.HidD_FreePreparsedData);
        Resolve(h, "HidD_GetFeature", Api.HidD_GetFeature);
        Resolve(h, "HidD_SetFeature", Api.HidD_SetFeature);
        Resolve(h, "HidP_GetCaps", Api.HidP_GetCaps);
        Resolve(h, "HidP_MaxUsageListLength", Api.HidP_MaxUsageListLength);
        Resolve(h, "HidP_GetUsagesEx", Api.HidP_GetUsagesEx);
        Resolve(h, "HidP_UsageListDifference", Api.HidP_UsageListDifference);
        Resolve(h, "HidD_SetNumInputBuffers", Api.HidD_SetNumInputBuffers);
    }
};

} // namespace

bool THidApi::Complete() const
{
    return SetupDiGetClassDevsW && SetupDiEnumDeviceInterfaces && SetupDiGetDeviceInterfaceDetailW &&
           SetupDiGetDeviceRegistryPropertyW && SetupDiDestroyDeviceInfoList && HidD_GetHidGuid &&
           HidD_GetAttributes && HidD_GetPreparsedData && HidD_FreePreparsedData && HidD_GetFeature &&
           HidD_SetFeature && HidP_GetCaps && HidP_MaxUsageListLength && HidP_GetUsagesEx &&
           HidP_UsageListDifference && CreateFileW && CloseHandle && ReadFileEx && GetOverlappedResult &&
           CancelIo && WriteFile && WaitForMultipleObjectsEx;
}

const THidApi& SystemHidApi()
{
    static const TSystemHidApi instance;
    return instance.Api;
}
