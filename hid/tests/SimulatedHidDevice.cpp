#include "hid/tests/SimulatedHidDevice.h"

#include "framework/win/WinText.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

namespace SimulatedHid {
namespace {

struct TDevice {
    TDeviceModel Model;
    bool Unplugged = false;
    bool FailingReads = false;
    DWORD FailingReadsError = 0;
    std::vector<std::vector<uint8_t>> Writes;
    std::vector<std::vector<uint8_t>> FeaturesSet;
};

struct TPendingRead {
    HANDLE Handle;
    uint8_t* Buffer;
    DWORD Length;
    OVERLAPPED* Overlapped;
    LPOVERLAPPED_COMPLETION_ROUTINE Routine;
    HANDLE Thread; // duplicated, for the APC
};

struct TCompletion {
    LPOVERLAPPED_COMPLETION_ROUTINE Routine;
    DWORD Error;
    DWORD Bytes;
    OVERLAPPED* Overlapped;
};

struct TState {
    std::mutex Lock;
    std::condition_variable Changed;
    std::map<std::u16string, std::unique_ptr<TDevice>> Devices;
    std::map<HANDLE, TDevice*> Handles;
    std::vector<TPendingRead> Pending;
    int Preparsed = 0;
    int ClosedPending = 0;
    int Reads = 0;
    std::map<HANDLE, ULONG> InputBuffers;
    bool RefuseInputBuffers = false;
};

TState& State()
{
    static TState state;
    return state;
}

VOID CALLBACK RunCompletion(ULONG_PTR AParam)
{
    std::unique_ptr<TCompletion> c(reinterpret_cast<TCompletion*>(AParam));
    c->Routine(c->Error, c->Bytes, c->Overlapped);
}

// Completes a read, as the platform does: the buffer and the overlapped record take the
// outcome (with the lock held, the read off the pending list), then, once the lock is released,
// the completion routine is queued to the issuing thread, so that the woken reader never waits
// for the lock.
void Fill(TPendingRead& ARead, DWORD AError, const uint8_t* AData, DWORD ABytes)
{
    if (ABytes > 0) std::memcpy(ARead.Buffer, AData, std::min(ABytes, ARead.Length));
    ARead.Overlapped->Internal = AError;
    ARead.Overlapped->InternalHigh = ABytes;
}

void QueueCompletion(const TPendingRead& ARead)
{
    const auto error = static_cast<DWORD>(ARead.Overlapped->Internal);
    const auto bytes = static_cast<DWORD>(ARead.Overlapped->InternalHigh);
    QueueUserAPC(&RunCompletion, ARead.Thread,
                 reinterpret_cast<ULONG_PTR>(new TCompletion{ARead.Routine, error, bytes, ARead.Overlapped}));
    CloseHandle(ARead.Thread);
}

// Takes the pending reads that AWhich picks off the list and fills them with the error. Called
// with the lock held; the caller queues the completions after releasing it.
template <class F>
std::vector<TPendingRead> FailPending(TState& s, F AWhich, DWORD AError)
{
    std::vector<TPendingRead> failed;
    for (auto it = s.Pending.begin(); it != s.Pending.end();) {
        if (AWhich(*it)) {
            Fill(*it, AError, nullptr, 0);
            failed.push_back(*it);
            it = s.Pending.erase(it);
        } else {
            ++it;
        }
    }
    return failed;
}

void QueueCompletions(const std::vector<TPendingRead>& AReads)
{
    for (const auto& read : AReads) QueueCompletion(read);
}

// Picks the pending reads of ADevice.
auto OnDevice(TState& s, const TDevice* ADevice)
{
    return [&s, ADevice](const TPendingRead& r) { return s.Handles[r.Handle] == ADevice; };
}

size_t PendingOn(TState& s, const TDevice* ADevice)
{
    return static_cast<size_t>(std::count_if(s.Pending.begin(), s.Pending.end(), OnDevice(s, ADevice)));
}

TDevice* DeviceOfHandle(TState& s, HANDLE AHandle)
{
    auto it = s.Handles.find(AHandle);
    return it == s.Handles.end() ? nullptr : it->second;
}

TDevice* DeviceOfPreparsed(PHIDP_PREPARSED_DATA AData) { return reinterpret_cast<TDevice*>(AData); }

HANDLE WINAPI SimCreateFileW(LPCWSTR APath, DWORD AAccess, DWORD AShare, LPSECURITY_ATTRIBUTES ASecurity, DWORD ACreation,
                             DWORD AFlags, HANDLE ATemplate)
{
    auto& s = State();
    std::unique_lock lock(s.Lock);
    auto it = s.Devices.find(U(APath));
    if (it == s.Devices.end()) {
        lock.unlock();
        return ::CreateFileW(APath, AAccess, AShare, ASecurity, ACreation, AFlags, ATemplate);
    }
    if (it->second->Unplugged) {
        SetLastError(ERROR_DEVICE_NOT_CONNECTED);
        return INVALID_HANDLE_VALUE;
    }
    // A real kernel object stands for the device handle, so every handle is unique.
    HANDLE handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    s.Handles[handle] = it->second.get();
    return handle;
}

BOOL WINAPI SimCloseHandle(HANDLE AHandle)
{
    auto& s = State();
    {
        std::lock_guard lock(s.Lock);
        if (s.Handles.erase(AHandle)) {
            s.InputBuffers.erase(AHandle);
            const auto pending = std::find_if(s.Pending.begin(), s.Pending.end(),
                                              [&](const TPendingRead& r) { return r.Handle == AHandle; });
            if (pending != s.Pending.end()) {
                ++s.ClosedPending;
                CloseHandle(pending->Thread);
                s.Pending.erase(pending);
            }
            s.Changed.notify_all();
        }
    }
    return ::CloseHandle(AHandle);
}

BOOL WINAPI SimReadFileEx(HANDLE AHandle, LPVOID ABuffer, DWORD ALength, LPOVERLAPPED AOverlapped,
                          LPOVERLAPPED_COMPLETION_ROUTINE ARoutine)
{
    auto& s = State();
    std::unique_lock lock(s.Lock);
    TDevice* device = DeviceOfHandle(s, AHandle);
    if (!device) {
        lock.unlock();
        return ::ReadFileEx(AHandle, ABuffer, ALength, AOverlapped, ARoutine);
    }
    if (device->Unplugged) {
        SetLastError(ERROR_DEVICE_NOT_CONNECTED);
        return FALSE;
    }
    HANDLE thread = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &thread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    TPendingRead read{AHandle, static_cast<uint8_t*>(ABuffer), ALength, AOverlapped, ARoutine, thread};
    ++s.Reads;
    if (device->FailingReads) {
        Fill(read, device->FailingReadsError, nullptr, 0);
        lock.unlock();
        QueueCompletion(read);
    } else {
        s.Pending.push_back(read);
        s.Changed.notify_all();
    }
    SetLastError(ERROR_IO_PENDING);
    return TRUE;
}

BOOL WINAPI SimGetOverlappedResult(HANDLE AHandle, LPOVERLAPPED AOverlapped, LPDWORD ABytes, BOOL AWait)
{
    {
        auto& s = State();
        std::lock_guard lock(s.Lock);
        if (!DeviceOfHandle(s, AHandle)) return ::GetOverlappedResult(AHandle, AOverlapped, ABytes, AWait);
    }
    *ABytes = static_cast<DWORD>(AOverlapped->InternalHigh);
    if (AOverlapped->Internal == 0) return TRUE;
    SetLastError(static_cast<DWORD>(AOverlapped->Internal));
    return FALSE;
}

BOOL WINAPI SimCancelIo(HANDLE AHandle)
{
    auto& s = State();
    std::unique_lock lock(s.Lock);
    if (!DeviceOfHandle(s, AHandle)) {
        lock.unlock();
        return ::CancelIo(AHandle);
    }
    const std::vector<TPendingRead> cancelled =
        FailPending(s, [&](const TPendingRead& r) { return r.Handle == AHandle; }, ERROR_OPERATION_ABORTED);
    s.Changed.notify_all();
    lock.unlock();
    QueueCompletions(cancelled);
    return TRUE;
}

BOOLEAN WINAPI SimSetNumInputBuffers(HANDLE AHandle, ULONG ACount)
{
    auto& s = State();
    std::unique_lock lock(s.Lock);
    if (!DeviceOfHandle(s, AHandle)) {
        lock.unlock();
        const auto platform = SystemHidApi().HidD_SetNumInputBuffers;
        return platform ? platform(AHandle, ACount) : FALSE;
    }
    if (s.RefuseInputBuffers) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    s.InputBuffers[AHandle] = ACount;
    return TRUE;
}

BOOLEAN WINAPI SimGetPreparsedData(HANDLE AHandle, PHIDP_PREPARSED_DATA* AData)
{
    auto& s = State();
    std::unique_lock lock(s.Lock);
    TDevice* device = DeviceOfHandle(s, AHandle);
    if (!device) {
        lock.unlock();
        return SystemHidApi().HidD_GetPreparsedData(AHandle, AData);
    }
    ++s.Preparsed;
    *AData = reinterpret_cast<PHIDP_PREPARSED_DATA>(device);
    return TRUE;
}

bool IsSimulated(PHIDP_PREPARSED_DATA AData)
{
    auto& s = State();
    std::lock_guard lock(s.Lock);
    return std::any_of(s.Devices.begin(), s.Devices.end(),
                       [&](const auto& d) { return d.second.get() == DeviceOfPreparsed(AData); });
}

BOOLEAN WINAPI SimFreePreparsedData(PHIDP_PREPARSED_DATA AData)
{
    if (!IsSimulated(AData)) return SystemHidApi().HidD_FreePreparsedData(AData);
    auto& s = State();
    std::lock_guard lock(s.Lock);
    --s.Preparsed;
    return TRUE;
}

HIDP_STATUS WINAPI SimGetCaps(PHIDP_PREPARSED_DATA AData, HIDP_CAPS* ACaps)
{
    if (!IsSimulated(AData)) return SystemHidApi().HidP_GetCaps(AData, ACaps);
    *ACaps = HIDP_CAPS{};
    const TDeviceModel& model = DeviceOfPreparsed(AData)->Model;
    ACaps->Usage = model.Collection.Usage;
    ACaps->UsagePage = model.Collection.UsagePage;
    ACaps->InputReportByteLength = model.InputReportLength;
    ACaps->OutputReportByteLength = model.OutputReportLength;
    ACaps->FeatureReportByteLength = model.FeatureReportLength;
    return kHidpStatusSuccess;
}

ULONG WINAPI SimMaxUsageListLength(HIDP_REPORT_TYPE AType, USAGE APage, PHIDP_PREPARSED_DATA AData)
{
    if (!IsSimulated(AData)) return SystemHidApi().HidP_MaxUsageListLength(AType, APage, AData);
    return DeviceOfPreparsed(AData)->Model.MaxUsages;
}

HIDP_STATUS WINAPI SimGetUsagesEx(HIDP_REPORT_TYPE AType, USHORT ALink, USAGE_AND_PAGE* AList, ULONG* ALength,
                                  PHIDP_PREPARSED_DATA AData, PCHAR AReport, ULONG AReportLength)
{
    if (!IsSimulated(AData))
        return SystemHidApi().HidP_GetUsagesEx(AType, ALink, AList, ALength, AData, AReport, AReportLength);
    const unsigned maxUsages = DeviceOfPreparsed(AData)->Model.MaxUsages;
    std::vector<USAGE> usages;
    for (ULONG byte = 1; byte < AReportLength; ++byte)
        for (unsigned bit = 0; bit < 8; ++bit) {
            const unsigned usage = (byte - 1) * 8 + bit + 1;
            if (usage <= maxUsages && (static_cast<uint8_t>(AReport[byte]) >> bit & 1))
                usages.push_back(static_cast<USAGE>(usage));
        }
    if (usages.size() > *ALength) {
        *ALength = static_cast<ULONG>(usages.size());
        return kHidpStatusBufferTooSmall;
    }
    for (size_t i = 0; i < usages.size(); ++i) AList[i] = USAGE_AND_PAGE{usages[i], 0x0009};
    *ALength = static_cast<ULONG>(usages.size());
    return kHidpStatusSuccess;
}

// Wine's hid.dll has only a stub of HidP_UsageListDifference, so the simulation carries its
// own: lists end at their first 0 entry or at ALength; break = previous less current, make =
// current less previous, each packed from the front and cleared behind.
HIDP_STATUS WINAPI SimUsageListDifference(USAGE* APrevious, USAGE* ACurrent, USAGE* ABreak, USAGE* AMake, ULONG ALength)
{
    const auto contains = [ALength](const USAGE* AList, USAGE AUsage) {
        for (ULONG i = 0; i < ALength && AList[i] != 0; ++i)
            if (AList[i] == AUsage) return true;
        return false;
    };
    ULONG breaks = 0;
    ULONG makes = 0;
    for (ULONG i = 0; i < ALength && APrevious[i] != 0; ++i)
        if (!contains(ACurrent, APrevious[i])) ABreak[breaks++] = APrevious[i];
    for (ULONG i = 0; i < ALength && ACurrent[i] != 0; ++i)
        if (!contains(APrevious, ACurrent[i])) AMake[makes++] = ACurrent[i];
    std::fill(ABreak + breaks, ABreak + ALength, USAGE{0});
    std::fill(AMake + makes, AMake + ALength, USAGE{0});
    return kHidpStatusSuccess;
}

THidApi MakeApi()
{
    THidApi api = SystemHidApi();
    api.CreateFileW = &SimCreateFileW;
    api.CloseHandle = &SimCloseHandle;
    api.ReadFileEx = &SimReadFileEx;
    api.GetOverlappedResult = &SimGetOverlappedResult;
    api.CancelIo = &SimCancelIo;
    api.HidD_SetNumInputBuffers = &SimSetNumInputBuffers;
    api.HidD_GetPreparsedData = &SimGetPreparsedData;
    api.HidD_FreePreparsedData = &SimFreePreparsedData;
    api.HidP_GetCaps = &SimGetCaps;
    api.HidP_MaxUsageListLength = &SimMaxUsageListLength;
    api.HidP_GetUsagesEx = &SimGetUsagesEx;
    api.HidP_UsageListDifference = &SimUsageListDifference;
    return api;
}

TDevice* FindDevice(TState& s, const std::u16string& APath)
{
    auto it = s.Devices.find(APath);
    return it == s.Devices.end() ? nullptr : it->second.get();
}

// The device list: the simulated devices in the order of their paths; an interface record
// carries its device's position in Reserved.
const HDEVINFO kDeviceList = reinterpret_cast<HDEVINFO>(static_cast<intptr_t>(0x51D));

TDevice* DeviceAt(TState& s, ULONG_PTR AIndex)
{
    if (AIndex >= s.Devices.size()) return nullptr;
    auto it = s.Devices.begin();
    std::advance(it, static_cast<std::ptrdiff_t>(AIndex));
    return it->second.get();
}

HDEVINFO WINAPI SimGetClassDevsW(const GUID*, PCWSTR, HWND, DWORD) { return kDeviceList; }

BOOL WINAPI SimEnumDeviceInterfaces(HDEVINFO, PSP_DEVINFO_DATA, const GUID*, DWORD AIndex, PSP_DEVICE_INTERFACE_DATA AData)
{
    auto& s = State();
    std::lock_guard lock(s.Lock);
    if (!DeviceAt(s, AIndex)) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    AData->Reserved = AIndex;
    return TRUE;
}

BOOL WINAPI SimGetDeviceInterfaceDetailW(HDEVINFO, PSP_DEVICE_INTERFACE_DATA AData, PSP_DEVICE_INTERFACE_DETAIL_DATA_W ADetail,
                                         DWORD ASize, PDWORD ARequired, PSP_DEVINFO_DATA ADevice)
{
    auto& s = State();
    std::lock_guard lock(s.Lock);
    TDevice* device = DeviceAt(s, AData->Reserved);
    const std::u16string& path = device->Model.Path;
    const DWORD required =
        static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) + (path.size() + 1) * sizeof(wchar_t));
    if (ARequired) *ARequired = required;
    if (ADevice) ADevice->Reserved = AData->Reserved;
    if (!ADetail || ASize < required) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(ADetail->DevicePath, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    return TRUE;
}

BOOL WINAPI SimGetDeviceRegistryPropertyW(HDEVINFO, PSP_DEVINFO_DATA ADevice, DWORD, PDWORD, PBYTE ABuffer, DWORD ASize,
                                          PDWORD ARequired)
{
    auto& s = State();
    std::lock_guard lock(s.Lock);
    std::u16string list;
    for (const auto& id : DeviceAt(s, ADevice->Reserved)->Model.HardwareIds) list += id + u'\0';
    list += u'\0';
    const DWORD bytes = static_cast<DWORD>(list.size() * sizeof(char16_t));
    if (ARequired) *ARequired = bytes;
    if (ASize < bytes) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(ABuffer, list.data(), bytes);
    return TRUE;
}

BOOL WINAPI SimDestroyDeviceInfoList(HDEVINFO) { return TRUE; }

BOOLEAN WINAPI SimGetAttributes(HANDLE AHandle, HIDD_ATTRIBUTES* AAttributes)
{
    auto& s = State();
    std::lock_guard lock(s.Lock);
    if (!DeviceOfHandle(s, AHandle)) return FALSE;
    AAttributes->VendorID = 0x1D57;
    AAttributes->ProductID = 0x0730;
    return TRUE;
}

BOOL WINAPI SimWriteFile(HANDLE AHandle, LPCVOID ABuffer, DWORD ALength, LPDWORD AWritten, LPOVERLAPPED)
{
    auto& s = State();
    std::lock_guard lock(s.Lock);
    TDevice* device = DeviceOfHandle(s, AHandle);
    const auto* bytes = static_cast<const uint8_t*>(ABuffer);
    device->Writes.emplace_back(bytes, bytes + ALength);
    *AWritten = ALength;
    return TRUE;
}

BOOLEAN WINAPI SimGetFeature(HANDLE AHandle, PVOID ABuffer, ULONG ALength)
{
    auto& s = State();
    std::lock_guard lock(s.Lock);
    const TDeviceModel& model = DeviceOfHandle(s, AHandle)->Model;
    if (model.FeatureFails) {
        SetLastError(model.FeatureError);
        return FALSE;
    }
    std::memcpy(ABuffer, model.Feature.data(), std::min<size_t>(ALength, model.Feature.size()));
    return TRUE;
}

BOOLEAN WINAPI SimSetFeature(HANDLE AHandle, PVOID ABuffer, ULONG ALength)
{
    auto& s = State();
    std::lock_guard lock(s.Lock);
    TDevice* device = DeviceOfHandle(s, AHandle);
    if (device->Model.FeatureFails) {
        SetLastError(device->Model.FeatureError);
        return FALSE;
    }
    const auto* bytes = static_cast<const uint8_t*>(ABuffer);
    device->FeaturesSet.emplace_back(bytes, bytes + ALength);
    return TRUE;
}

} // namespace

const THidApi& WalkApi()
{
    static const THidApi api = [] {
        THidApi a = Api();
        a.SetupDiGetClassDevsW = &SimGetClassDevsW;
        a.SetupDiEnumDeviceInterfaces = &SimEnumDeviceInterfaces;
        a.SetupDiGetDeviceInterfaceDetailW = &SimGetDeviceInterfaceDetailW;
        a.SetupDiGetDeviceRegistryPropertyW = &SimGetDeviceRegistryPropertyW;
        a.SetupDiDestroyDeviceInfoList = &SimDestroyDeviceInfoList;
        a.HidD_GetAttributes = &SimGetAttributes;
        a.WriteFile = &SimWriteFile;
        a.HidD_GetFeature = &SimGetFeature;
        a.HidD_SetFeature = &SimSetFeature;
        return a;
    }();
    return api;
}

const THidApi& Api()
{
    static const THidApi api = MakeApi();
    return api;
}

void AddDevice(const TDeviceModel& AModel)
{
    auto& s = State();
    std::lock_guard lock(s.Lock);
    auto device = std::make_unique<TDevice>();
    device->Model = AModel;
    s.Devices[AModel.Path] = std::move(device);
}

void AddDevice(const std::u16string& APath, uint16_t AInputReportLength, unsigned AMaxUsages)
{
    TDeviceModel model;
    model.Path = APath;
    model.InputReportLength = AInputReportLength;
    model.MaxUsages = AMaxUsages;
    AddDevice(model);
}

std::vector<std::vector<uint8_t>> Writes(const std::u16string& APath)
{
    auto& s = State();
    std::lock_guard lock(s.Lock);
    TDevice* device = FindDevice(s, APath);
    return device ? device->Writes : std::vector<std::vector<uint8_t>>{};
}

std::vector<std::vector<uint8_t>> FeaturesSet(const std::u16string& APath)
{
    auto& s = State();
    std::lock_guard lock(s.Lock);
    TDevice* device = FindDevice(s, APath);
    return device ? device->FeaturesSet : std::vector<std::vector<uint8_t>>{};
}

void Reset()
{
    auto& s = State();
    std::lock_guard lock(s.Lock);
    for (auto& r : s.Pending) CloseHandle(r.Thread);
    s.Pending.clear();
    s.Handles.clear();
    s.Devices.clear();
    s.Preparsed = s.ClosedPending = s.Reads = 0;
    s.InputBuffers.clear();
    s.RefuseInputBuffers = false;
}

bool WaitForPendingReads(const std::u16string& APath, size_t AReads, unsigned ATimeoutMs)
{
    auto& s = State();
    std::unique_lock lock(s.Lock);
    return s.Changed.wait_for(lock, std::chrono::milliseconds(ATimeoutMs), [&] {
        TDevice* device = FindDevice(s, APath);
        return device && PendingOn(s, device) >= AReads;
    });
}

bool Send(const std::u16string& APath, const std::vector<uint8_t>& AReport)
{
    auto& s = State();
    std::unique_lock lock(s.Lock);
    TDevice* device = FindDevice(s, APath);
    auto it = std::find_if(s.Pending.begin(), s.Pending.end(), OnDevice(s, device));
    if (!device || it == s.Pending.end()) return false;
    TPendingRead read = *it;
    s.Pending.erase(it);
    Fill(read, 0, AReport.data(), static_cast<DWORD>(AReport.size()));
    lock.unlock();
    QueueCompletion(read);
    return true;
}

void Unplug(const std::u16string& APath)
{
    auto& s = State();
    std::unique_lock lock(s.Lock);
    TDevice* device = FindDevice(s, APath);
    if (!device) return;
    device->Unplugged = true;
    const std::vector<TPendingRead> failed = FailPending(s, OnDevice(s, device), ERROR_DEVICE_NOT_CONNECTED);
    lock.unlock();
    QueueCompletions(failed);
}

void CompleteReadsAtOnce(const std::u16string& APath, bool AOn, DWORD AError)
{
    auto& s = State();
    std::unique_lock lock(s.Lock);
    TDevice* device = FindDevice(s, APath);
    if (!device) return;
    device->FailingReads = AOn;
    device->FailingReadsError = AError;
    if (!AOn) return;
    const std::vector<TPendingRead> failed = FailPending(s, OnDevice(s, device), AError);
    lock.unlock();
    QueueCompletions(failed);
}

ULONG InputBuffersOfPendingRead(const std::u16string& APath)
{
    auto& s = State();
    std::lock_guard lock(s.Lock);
    TDevice* device = FindDevice(s, APath);
    auto read = std::find_if(s.Pending.begin(), s.Pending.end(), OnDevice(s, device));
    if (!device || read == s.Pending.end()) return 0;
    auto size = s.InputBuffers.find(read->Handle);
    return size == s.InputBuffers.end() ? 0 : size->second;
}

void RefuseInputBuffers(bool ARefuse)
{
    auto& s = State();
    std::lock_guard lock(s.Lock);
    s.RefuseInputBuffers = ARefuse;
}

int OpenHandles()
{
    auto& s = State();
    std::lock_guard lock(s.Lock);
    return static_cast<int>(s.Handles.size());
}

int HeldPreparsedData()
{
    auto& s = State();
    std::lock_guard lock(s.Lock);
    return s.Preparsed;
}

int ClosedWithReadPending()
{
    auto& s = State();
    std::lock_guard lock(s.Lock);
    return s.ClosedPending;
}

int ReadsIssued()
{
    auto& s = State();
    std::lock_guard lock(s.Lock);
    return s.Reads;
}

} // namespace SimulatedHid
