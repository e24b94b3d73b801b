#include "vmouse/VirtualMouse.h"

#include <cfgmgr32.h>
#include <devguid.h>
#include <setupapi.h>

#include <mmsystem.h>

#include <cwchar>
#include <utility>

namespace {

constexpr wchar_t kVendorInstance[] = L"VID_1209&PID_0007&COL01";
constexpr wchar_t kMouseInstance[] = L"VID_1209&PID_0007&COL02";
constexpr wchar_t kOneDeviceInstance[] = L"VID_1209&PID_0007";
constexpr wchar_t kServiceName[] = L"qelvmouse";
constexpr wchar_t kInstallSection[] = L"QelVMouse_Install";
constexpr wchar_t kServicesSection[] = L"QelVMouse_Install.Services";

struct TDevInfoTraits {
    using Type = HDEVINFO;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Valid(Type h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Type h) { SetupDiDestroyDeviceInfoList(h); }
};
using TDevInfoOwner = TUniqueHandle<TDevInfoTraits>;

struct TInfTraits {
    using Type = HINF;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Valid(Type h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Type h) { SetupCloseInfFile(h); }
};
using TInfOwner = TUniqueHandle<TInfTraits>;
using TServiceOwner = TUniqueHandle<TNullHandleTraits<SC_HANDLE, &CloseServiceHandle>>;

std::wstring ErrorText(DWORD AError)
{
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, AError, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result = n ? std::wstring(text, n) : L"error " + std::to_wstring(AError);
    LocalFree(text);
    while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r' || result.back() == L' ')) result.pop_back();
    return result + L" (" + std::to_wstring(AError) + L")";
}

// A device node's hardware IDs as one string per entry.
std::vector<std::wstring> HardwareIds(HDEVINFO ASet, SP_DEVINFO_DATA& ADevice)
{
    wchar_t buffer[1024]{};
    if (!SetupDiGetDeviceRegistryPropertyW(ASet, &ADevice, SPDRP_HARDWAREID, nullptr, reinterpret_cast<BYTE*>(buffer),
                                           sizeof(buffer) - sizeof(wchar_t) * 2, nullptr))
        return {};
    std::vector<std::wstring> ids;
    for (const wchar_t* p = buffer; *p; p += wcslen(p) + 1) ids.emplace_back(p);
    return ids;
}

bool IsVirtualMouse(HDEVINFO ASet, SP_DEVINFO_DATA& ADevice)
{
    for (const auto& id : HardwareIds(ASet, ADevice))
        if (_wcsicmp(id.c_str(), QELVM_HARDWARE_ID) == 0) return true;
    return false;
}

} // namespace

TVirtualMouse::TVirtualMouse(std::wstring AInfPath) : FInfPath(std::move(AInfPath)) {}

DWORD TVirtualMouse::Fail(DWORD AError, const std::wstring& AWhat)
{
    FMessage = AWhat + L": " + ErrorText(AError);
    return AError;
}

bool TVirtualMouse::DriverFilesPresent()
{
    // Wine's setup queue asks for a missing source file again and again: look before installing.
    const std::wstring driver = FInfPath.substr(0, FInfPath.find_last_of(L"\\/") + 1) + L"qelvmouse.sys";
    if (GetFileAttributesW(FInfPath.c_str()) != INVALID_FILE_ATTRIBUTES &&
        GetFileAttributesW(driver.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    FMessage = L"the driver's files are missing: " + FInfPath + L" and qelvmouse.sys beside it";
    return false;
}

bool TVirtualMouse::DriverInstalled()
{
    TServiceOwner manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    TServiceOwner service(manager ? OpenServiceW(manager.Get(), kServiceName, SERVICE_QUERY_STATUS) : nullptr);
    return service.Valid();
}

DWORD TVirtualMouse::Install()
{
    if (!DriverFilesPresent()) return ERROR_FILE_NOT_FOUND;
    TInfOwner inf(SetupOpenInfFileW(FInfPath.c_str(), nullptr, INF_STYLE_WIN4, nullptr));
    if (!inf) return Fail(GetLastError(), L"cannot read " + FInfPath);
    void* context = SetupInitDefaultQueueCallback(nullptr);
    const BOOL copied = SetupInstallFromInfSectionW(nullptr, inf.Get(), kInstallSection, SPINST_FILES, nullptr, nullptr,
                                                    SP_COPY_NEWER_OR_SAME, SetupDefaultQueueCallbackW, context, nullptr, nullptr);
    const DWORD copyError = GetLastError();
    SetupTermDefaultQueueCallback(context);
    if (!copied) return Fail(copyError, L"cannot copy the driver");
    if (!SetupInstallServicesFromInfSectionW(inf.Get(), kServicesSection, 0))
        return Fail(GetLastError(), L"cannot create the driver's service");
    FMessage = L"driver installed";
    return 0;
}

DWORD TVirtualMouse::AddInstance(const wchar_t* AName)
{
    GUID systemClass = GUID_DEVCLASS_SYSTEM;
    TDevInfoOwner set(SetupDiCreateDeviceInfoList(&systemClass, nullptr));
    if (!set) return Fail(GetLastError(), L"cannot create a device information set");
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    if (!SetupDiCreateDeviceInfoW(set.Get(), AName, &systemClass, nullptr, nullptr, DICD_GENERATE_ID, &device))
        return Fail(GetLastError(), L"cannot create the device " + std::wstring(AName));
    // A multi-string: the ID, its terminator and the list's.
    const wchar_t hardwareId[] = QELVM_HARDWARE_ID L"\0";
    if (!SetupDiSetDeviceRegistryPropertyW(set.Get(), &device, SPDRP_HARDWAREID, reinterpret_cast<const BYTE*>(hardwareId),
                                           sizeof(hardwareId)))
        return Fail(GetLastError(), L"cannot set the hardware ID");
    if (!SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set.Get(), &device))
        return Fail(GetLastError(), L"cannot register the device");
    // The device's driver from our INF alone, its files already in place (Install).
    SP_DEVINSTALL_PARAMS_W params{};
    params.cbSize = sizeof(params);
    if (!SetupDiGetDeviceInstallParamsW(set.Get(), &device, &params)) return Fail(GetLastError(), L"cannot prepare the device");
    params.Flags |= DI_ENUMSINGLEINF | DI_NOFILECOPY;
    if (FInfPath.size() >= MAX_PATH) return Fail(ERROR_FILENAME_EXCED_RANGE, FInfPath);
    wcscpy(params.DriverPath, FInfPath.c_str());
    if (!SetupDiSetDeviceInstallParamsW(set.Get(), &device, &params)) return Fail(GetLastError(), L"cannot prepare the device");
    if (!SetupDiBuildDriverInfoList(set.Get(), &device, SPDIT_COMPATDRIVER) ||
        !SetupDiCallClassInstaller(DIF_SELECTBESTCOMPATDRV, set.Get(), &device)) {
        const DWORD error = GetLastError();
        SetupDiCallClassInstaller(DIF_REMOVE, set.Get(), &device);
        return Fail(error, L"no driver for the device in " + FInfPath);
    }
    if (!SetupDiCallClassInstaller(DIF_INSTALLDEVICE, set.Get(), &device)) {
        const DWORD error = GetLastError();
        SetupDiCallClassInstaller(DIF_REMOVE, set.Get(), &device);
        return Fail(error, L"cannot install the driver for the device");
    }
    return 0;
}

DWORD TVirtualMouse::Plug(bool AOneDevice)
{
    if (!DriverFilesPresent()) return ERROR_FILE_NOT_FOUND;
    if (!DriverInstalled()) {
        FMessage = L"the virtual mouse's driver is not installed: run qelmouse install first";
        return ERROR_SERVICE_DOES_NOT_EXIST;
    }
    QELVM_STATUS before{};
    Status(before);
    if (AOneDevice) {
        if (const DWORD error = AddInstance(kOneDeviceInstance)) return error;
    } else {
        if (const DWORD error = AddInstance(kVendorInstance)) return error;
        if (const DWORD error = AddInstance(kMouseInstance)) return error;
    }
    if (const DWORD error = WaitForVendorCollections(before.VendorCollections + 1, 10000)) return error;
    FMessage = L"plugged in";
    return 0;
}

std::vector<std::wstring> TVirtualMouse::InstanceIds()
{
    std::vector<std::wstring> ids;
    TDevInfoOwner set(SetupDiGetClassDevsW(nullptr, L"ROOT", nullptr, DIGCF_ALLCLASSES));
    if (!set) return ids;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set.Get(), i, &device); ++i) {
        if (!IsVirtualMouse(set.Get(), device)) continue;
        wchar_t id[MAX_DEVICE_ID_LEN]{};
        if (SetupDiGetDeviceInstanceIdW(set.Get(), &device, id, MAX_DEVICE_ID_LEN, nullptr)) ids.emplace_back(id);
    }
    return ids;
}

DWORD TVirtualMouse::Unplug()
{
    TDevInfoOwner set(SetupDiGetClassDevsW(nullptr, L"ROOT", nullptr, DIGCF_ALLCLASSES));
    if (!set) return Fail(GetLastError(), L"cannot list the devices");
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    unsigned removed = 0;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set.Get(), i, &device); ++i) {
        if (!IsVirtualMouse(set.Get(), device)) continue;
        if (!SetupDiCallClassInstaller(DIF_REMOVE, set.Get(), &device)) return Fail(GetLastError(), L"cannot remove the device");
        ++removed;
    }
    if (!removed) {
        FMessage = L"the virtual mouse was not plugged in";
        return 0;
    }
    // Unplugged once the driver has let go of every device, so that a plug right after it counts
    // only its own (a driver that is no longer running holds none).
    const DWORD start = GetTickCount();
    for (QELVM_STATUS status{}; Status(status) == 0 && (status.VendorCollections || status.MouseCollections);) {
        if (GetTickCount() - start > 10000) {
            FMessage = L"the devices were not removed within 10000 ms";
            return ERROR_TIMEOUT;
        }
        Sleep(10);
    }
    FMessage = L"unplugged";
    return 0;
}

DWORD TVirtualMouse::Control(DWORD ACode, const void* AIn, DWORD AInSize, void* AOut, DWORD AOutSize)
{
    // The control device stays open between requests; a stale handle (the driver was reloaded)
    // is dropped and the device opened once more.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!FControl) {
            FControl.Reset(CreateFileW(QELVM_CONTROL_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            if (!FControl) {
                const DWORD error = GetLastError();
                FMessage = L"the virtual mouse's driver is not running (plug the mouse in first): " + ErrorText(error);
                return error;
            }
        }
        DWORD returned = 0;
        if (DeviceIoControl(FControl.Get(), ACode, const_cast<void*>(AIn), AInSize, AOut, AOutSize, &returned, nullptr)) return 0;
        const DWORD error = GetLastError();
        FMessage = ErrorText(error);
        if (error != ERROR_INVALID_HANDLE && error != ERROR_FILE_NOT_FOUND && error != ERROR_INVALID_FUNCTION) return error;
        FControl.Reset();
    }
    return ERROR_INVALID_HANDLE;
}

DWORD TVirtualMouse::Send(const std::vector<uint8_t>& AReport)
{
    if (AReport.empty() || AReport.size() > QELVM_MAX_REPORT) {
        FMessage = L"a report has 1 to " + std::to_wstring(QELVM_MAX_REPORT) + L" bytes";
        return ERROR_INVALID_PARAMETER;
    }
    QELVM_SEND_RESULT result{};
    const DWORD error = Control(IOCTL_QELVM_SEND_INPUT, AReport.data(), static_cast<DWORD>(AReport.size()), &result, sizeof(result));
    if (error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_FILE_NOT_FOUND)
        FMessage = L"the virtual mouse is not plugged in";
    else if (error == ERROR_BUSY)
        FMessage = L"the device's report queue is full: the report was dropped";
    else if (error == ERROR_INVALID_PARAMETER)
        FMessage = L"the vendor collection has no such input report (reports " + std::to_wstring(QELVM_BUTTON_REPORT_ID) + L" and " +
                   std::to_wstring(QELVM_PROFILE_REPORT_ID) + L", " + std::to_wstring(QELVM_INPUT_LENGTH) +
                   L" bytes with the report ID): not sent";
    else if (error == 0)
        FMessage = L"report sent";
    return error;
}

TVirtualMouse::TBurst TVirtualMouse::SendBurst(unsigned long ACount, unsigned long ARate,
                                              const std::function<std::vector<uint8_t>(unsigned long)>& AReport)
{
    TBurst burst;
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    timeBeginPeriod(1);
    for (unsigned long i = 0; i < ACount; ++i) {
        const LONGLONG due = start.QuadPart + static_cast<LONGLONG>(i) * frequency.QuadPart / static_cast<LONGLONG>(ARate);
        for (;;) {
            QueryPerformanceCounter(&now);
            if (now.QuadPart >= due) break;
            const LONGLONG ms = (due - now.QuadPart) * 1000 / frequency.QuadPart;
            Sleep(ms > 1 ? static_cast<DWORD>(ms - 1) : 0);
        }
        const DWORD error = Send(AReport(i));
        if (error == ERROR_BUSY) {
            burst.Dropped.push_back(i);
        } else if (error != 0) {
            burst.Error = error;
            FMessage = L"report " + std::to_wstring(i + 1) + L" of " + std::to_wstring(ACount) + L": " + FMessage;
            break;
        } else {
            ++burst.Sent;
        }
    }
    timeEndPeriod(1);
    QueryPerformanceCounter(&now);
    burst.Seconds = static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    return burst;
}

DWORD TVirtualMouse::LastHostReport(QELVM_HOST_REPORT& AReport)
{
    return Control(IOCTL_QELVM_LAST_HOST_REPORT, nullptr, 0, &AReport, sizeof(AReport));
}

DWORD TVirtualMouse::SetFeatureAnswer(const std::vector<uint8_t>& AReport)
{
    if (AReport.empty() || AReport.size() > QELVM_FEATURE_LENGTH || AReport[0] != QELVM_FEATURE_REPORT_ID) {
        FMessage = L"a feature report starts with its report ID " + std::to_wstring(QELVM_FEATURE_REPORT_ID) + L" and has at most " +
                   std::to_wstring(QELVM_FEATURE_LENGTH) + L" bytes";
        return ERROR_INVALID_PARAMETER;
    }
    const DWORD error = Control(IOCTL_QELVM_SET_FEATURE_ANSWER, AReport.data(), static_cast<DWORD>(AReport.size()), nullptr, 0);
    if (error == 0) FMessage = L"the device answers feature report requests with it";
    return error;
}

DWORD TVirtualMouse::HoldReports(bool AHold)
{
    const ULONG hold = AHold ? 1 : 0;
    const DWORD error = Control(IOCTL_QELVM_HOLD_REPORTS, &hold, sizeof(hold), nullptr, 0);
    if (error == 0) FMessage = AHold ? L"the devices keep their input reports" : L"the devices hand their input reports on";
    return error;
}

DWORD TVirtualMouse::Status(QELVM_STATUS& AStatus)
{
    AStatus = QELVM_STATUS{};
    return Control(IOCTL_QELVM_STATUS, nullptr, 0, &AStatus, sizeof(AStatus));
}

DWORD TVirtualMouse::WaitForVendorCollections(unsigned AVendor, DWORD ATimeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        QELVM_STATUS status{};
        if (Status(status) == 0 && status.VendorCollections >= AVendor) return 0;
        if (GetTickCount() - start > ATimeoutMs) {
            FMessage = L"the device did not start within " + std::to_wstring(ATimeoutMs) + L" ms";
            return ERROR_TIMEOUT;
        }
        Sleep(10);
    }
}

std::vector<uint8_t> TVirtualMouse::ButtonReport(unsigned AKeyIndex)
{
    std::vector<uint8_t> report(QELVM_INPUT_LENGTH, 0);
    report[0] = 7;
    report[1 + AKeyIndex / 8] = static_cast<uint8_t>(1u << (AKeyIndex % 8));
    return report;
}

std::vector<uint8_t> TVirtualMouse::ProfileReport(unsigned AProfile)
{
    std::vector<uint8_t> report(QELVM_INPUT_LENGTH, 0);
    report[0] = 8;
    report[1] = 1;
    report[2] = static_cast<uint8_t>(AProfile);
    return report;
}
