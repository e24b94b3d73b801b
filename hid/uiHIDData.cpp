#include "hid/uiHIDData.h"

#include "framework/core/Text.h"
#include "framework/win/Application.h"
#include "framework/win/FileSystem.h"
#include "framework/win/Handle.h"
#include "framework/win/IniFile.h"
#include "framework/win/WinText.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>

namespace {

// What HidFindAndGetFeatureReport and HidFindAndSetFeatureReport answer when nothing matched:
// callers take 0 as success.
constexpr uint32_t kNoDeviceMatched = ERROR_DEVICE_NOT_CONNECTED;
constexpr DWORD kHardwareIdBufferBytes = 32768;
constexpr size_t kUsageListEntries = 100;
constexpr int kLastConfiguredKey = 101;
constexpr DWORD kFruitlessReadPauseMs = 1;
// Reports the HID class driver keeps for a reader's handle while the reader waits for the main
// thread: the system's default is 32, too few for a burst of 1,000 a second while the main thread
// is busy; 512 is the most Windows XP and later, and Wine, accept.
constexpr ULONG kInputBuffers = 512;

// Every reader of the process and the stop event they share. Readers register before their
// thread starts and unregister in their destructor, so a registered reader is a whole object.
struct TReaderEntry {
    TuiHidDeviceReadThread* Reader;
    const TuiHIDData* Owner;
    std::u16string DevicePath;
};

struct TReaderRegistry {
    std::mutex Lock;
    std::vector<TReaderEntry> Entries;
    int Components = 0;
    THandleOwner StopEvent;
};

TReaderRegistry& Registry()
{
    static TReaderRegistry instance;
    return instance;
}

// A device information set destroyed through its table.
class TDeviceInfoSet {
public:
    TDeviceInfoSet(const THidApi& AApi, HDEVINFO ASet) : FApi(AApi), FSet(ASet) {}
    ~TDeviceInfoSet()
    {
        if (Valid()) FApi.SetupDiDestroyDeviceInfoList(FSet);
    }
    TDeviceInfoSet(const TDeviceInfoSet&) = delete;
    TDeviceInfoSet& operator=(const TDeviceInfoSet&) = delete;
    bool Valid() const { return FSet != INVALID_HANDLE_VALUE && FSet != nullptr; }
    HDEVINFO Get() const { return FSet; }

private:
    const THidApi& FApi;
    HDEVINFO FSet;
};

// The device node's registry property AProperty as a list of strings; empty when the call fails.
TTextList GetDeviceRegistryPropertyList(const THidApi& AApi, HDEVINFO ASet, SP_DEVINFO_DATA& ADevice,
                                        DWORD AProperty)
{
    std::vector<char16_t> buffer(kHardwareIdBufferBytes / sizeof(char16_t));
    buffer[0] = 0;
    DWORD returned = 0;
    if (!AApi.SetupDiGetDeviceRegistryPropertyW(ASet, &ADevice, AProperty, nullptr, reinterpret_cast<PBYTE>(buffer.data()),
                                                kHardwareIdBufferBytes, &returned))
        return {};
    return SplitMultiString(buffer.data(), std::min<size_t>(returned / sizeof(char16_t), buffer.size()));
}

// Failed HID calls do not always set a last error; a failure must never read as 0, success.
uint32_t FailureCode()
{
    const DWORD error = GetLastError();
    return error != 0 ? error : ERROR_GEN_FAILURE;
}

} // namespace

HANDLE ReadStopEvent()
{
    auto& registry = Registry();
    std::lock_guard lock(registry.Lock);
    return registry.StopEvent.Get();
}

// ---------------------------------------------------------------------------------------------
// TuiHIDData

TuiHIDData::TuiHIDData(TComponent* AOwner) : TuiHIDData(AOwner, SystemHidApi()) {}

TuiHIDData::TuiHIDData(TComponent* AOwner, const THidApi& AApi) : TComponent(AOwner), FApi(&AApi)
{
    {
        auto& registry = Registry();
        std::lock_guard lock(registry.Lock);
        if (registry.Components++ == 0) registry.StopEvent.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ResetEvent(registry.StopEvent.Get());
    }
    if (FApi->HidD_GetHidGuid) FApi->HidD_GetHidGuid(&FHidGuid);
    ReadConfiguredDeviceList();
}

TuiHIDData::~TuiHIDData()
{
    auto& registry = Registry();
    std::vector<THandleOwner> threads;
    {
        std::lock_guard lock(registry.Lock);
        for (const auto& entry : registry.Entries) {
            if (entry.Owner != this) continue;
            // Also withdraws a hand-off the main thread (this one) has not taken up.
            entry.Reader->Terminate();
            HANDLE copy = nullptr;
            if (DuplicateHandle(GetCurrentProcess(), entry.Reader->Handle(), GetCurrentProcess(), &copy, SYNCHRONIZE,
                                FALSE, 0))
                threads.emplace_back(copy);
        }
    }
    for (const auto& thread : threads) WaitForSingleObject(thread.Get(), INFINITE);
    std::lock_guard lock(registry.Lock);
    if (--registry.Components == 0) registry.StopEvent.Reset();
}

void TuiHIDData::ReadConfiguredDeviceList()
{
    const TIniFile config(ProgramFolder() + u"config.ini");
    for (int i = 1; i <= kLastConfiguredKey; ++i) {
        std::u16string value = config.ReadString(u"IncludeHIDDeviceList", u"id" + IntToStr(i), u"");
        if (value.empty()) break;
        FHidDeviceList.push_back(std::move(value));
    }
}

void TuiHIDData::Walk(const TWalk& AWalk) const
{
    const THidApi& api = *FApi;
    if (!api.Complete()) return;
    TDeviceInfoSet set(api, api.SetupDiGetClassDevsW(&FHidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set.Valid()) return;
    SP_DEVICE_INTERFACE_DATA iface{};
    iface.cbSize = sizeof(iface);
    for (DWORD index = 0; api.SetupDiEnumDeviceInterfaces(set.Get(), nullptr, &FHidGuid, index, &iface); ++index) {
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof(device);
        DWORD required = 0;
        api.SetupDiGetDeviceInterfaceDetailW(set.Get(), &iface, nullptr, 0, &required, &device);
        if (required == 0 || GetLastError() != ERROR_INSUFFICIENT_BUFFER) continue;
        // A size below the record's own header would leave no room for its size field.
        if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;

        const TTextList hardwareIds = GetDeviceRegistryPropertyList(api, set.Get(), device, SPDRP_HARDWAREID);
        if (!AWalk.Filter(hardwareIds)) continue;

        std::vector<DWORD> detailBuffer((required + sizeof(DWORD) - 1) / sizeof(DWORD));
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(detailBuffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!api.SetupDiGetDeviceInterfaceDetailW(set.Get(), &iface, detail, required, nullptr, nullptr)) continue;
        const std::u16string path = U(detail->DevicePath);

        THidDeviceHandle handle(api, api.CreateFileW(W(path), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                     nullptr, OPEN_EXISTING, AWalk.OpenFlags, nullptr));
        if (!handle.Valid()) continue;
        HIDD_ATTRIBUTES attributes{};
        attributes.Size = sizeof(attributes);
        if (!api.HidD_GetAttributes(handle.Get(), &attributes)) continue;
        THidPreparsedData preparsed(api);
        if (!preparsed.Fetch(handle.Get())) continue;
        HIDP_CAPS caps{};
        if (api.HidP_GetCaps(preparsed.Get(), &caps) != kHidpStatusSuccess) continue;
        if (caps.UsagePage != AWalk.UsageAndPage.UsagePage || caps.Usage != AWalk.UsageAndPage.Usage) continue;
        if (AWalk.LengthTest && !AWalk.LengthTest(caps)) continue;
        AWalk.Action(handle.Get(), path, hardwareIds);
    }
}

void TuiHIDData::HidFindAndReadDevice(USAGE_AND_PAGE AUsageAndPage, const std::u16string& AHIDID)
{
    Walk({AUsageAndPage, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED,
          [&](const TTextList& ids) { return PassesReadFilter(FHidDeviceList, AHIDID, ids); }, nullptr,
          [&](HANDLE, const std::u16string& path, const TTextList& ids) {
              // A device node without hardware IDs gives its reader an empty device ID.
              TuiHidDeviceReadThread::StartReading(this, ids.empty() ? std::u16string() : ids.front(), path);
          }});
}

void TuiHIDData::HidStopRead()
{
    auto& registry = Registry();
    HANDLE stop;
    {
        std::lock_guard lock(registry.Lock);
        // The flag outlives the signal: a reader blocked in the hand-off to the main thread
        // would miss the 20 ms of the event.
        for (const auto& entry : registry.Entries) entry.Reader->Terminate();
        stop = registry.StopEvent.Get();
    }
    SetEvent(stop);
    Sleep(20);
    ResetEvent(stop);
}

bool TuiHIDData::HidFindAndWriteDevice(const THIDDataParam& AReportData)
{
    bool result = false;
    const uint32_t size = AReportData.Data.DATASIZE;
    Walk({AReportData.UsageAndPage, FILE_ATTRIBUTE_NORMAL,
          [&](const TTextList& ids) { return PassesTransferFilter(FHidDeviceList, AReportData.DeviceID, ids); },
          [&](const HIDP_CAPS& caps) { return caps.OutputReportByteLength >= size; },
          [&](HANDLE handle, const std::u16string&, const TTextList&) {
              SetLastError(0);
              DWORD written = 0;
              // The length test bounds size by a 16-bit report length, so size + 1 stays inside the buffer.
              if (FApi->WriteFile(handle, &AReportData.Data.ReportID, size + 1, &written, nullptr) && GetLastError() == 0)
                  result = true;
          }});
    return result;
}

bool TuiHIDData::HidFindAndWriteDeviceBYHID(const THIDDataParam& AReportData)
{
    bool result = false;
    const uint32_t size = AReportData.Data.DATASIZE;
    Walk({AReportData.UsageAndPage, FILE_ATTRIBUTE_NORMAL, [](const TTextList&) { return true; },
          [&](const HIDP_CAPS& caps) { return caps.OutputReportByteLength >= size; },
          [&](HANDLE handle, const std::u16string&, const TTextList&) {
              SetLastError(0);
              DWORD written = 0;
              if (FApi->WriteFile(handle, &AReportData.Data.ReportID, size, &written, nullptr) && GetLastError() == 0)
                  result = true;
          }});
    return result;
}

void TuiHIDData::WalkFeature(const THIDDataParam& AReportData, decltype(TWalk::Action) AAction) const
{
    const uint32_t size = AReportData.Data.DATASIZE;
    Walk({AReportData.UsageAndPage, FILE_ATTRIBUTE_NORMAL,
          [&](const TTextList& ids) { return PassesTransferFilter(FHidDeviceList, AReportData.DeviceID, ids); },
          [size](const HIDP_CAPS& caps) { return caps.FeatureReportByteLength >= size; }, std::move(AAction)});
}

uint32_t TuiHIDData::HidFindAndGetFeatureReport(THIDDataParam& AReportData)
{
    uint32_t result = kNoDeviceMatched;
    const uint32_t size = AReportData.Data.DATASIZE;
    WalkFeature(AReportData, [&](HANDLE handle, const std::u16string&, const TTextList&) {
        auto scratch = std::make_unique<uint8_t[]>(65536);
        SetLastError(0);
        scratch[0] = AReportData.Data.ReportID;
        if (FApi->HidD_GetFeature(handle, scratch.get(), size)) {
            std::memcpy(&AReportData.Data.ReportID, scratch.get(), size);
            result = 0;
        } else {
            result = FailureCode();
        }
    });
    return result;
}

uint32_t TuiHIDData::HidFindAndSetFeatureReport(THIDDataParam& AReportData)
{
    uint32_t result = kNoDeviceMatched;
    const uint32_t size = AReportData.Data.DATASIZE;
    WalkFeature(AReportData, [&](HANDLE handle, const std::u16string&, const TTextList&) {
        AReportData.DeviceHandle = handle;
        SetLastError(0);
        result = FApi->HidD_SetFeature(handle, &AReportData.Data.ReportID, size) ? 0 : FailureCode();
    });
    return result;
}

bool TuiHIDData::IsDeviceExist(const THIDDataParam& AReportData)
{
    bool result = false;
    Walk({AReportData.UsageAndPage, FILE_ATTRIBUTE_NORMAL,
          [&](const TTextList& ids) { return PassesTransferFilter(FHidDeviceList, AReportData.DeviceID, ids); }, nullptr,
          [&](HANDLE, const std::u16string&, const TTextList&) { result = true; }});
    return result;
}

std::vector<std::u16string> TuiHIDData::ReadingDevicePaths() const
{
    auto& registry = Registry();
    std::lock_guard lock(registry.Lock);
    std::vector<std::u16string> paths;
    for (const auto& entry : registry.Entries)
        if (entry.Owner == this) paths.push_back(entry.DevicePath);
    return paths;
}

// ---------------------------------------------------------------------------------------------
// TuiHidDeviceReadThread

void TuiHidDeviceReadThread::StartReading(TuiHIDData* AHIDData, const std::u16string& ADeviceID,
                                          const std::u16string& ADevicePath)
{
    std::unique_ptr<TuiHidDeviceReadThread> reader(new TuiHidDeviceReadThread(AHIDData, ADeviceID, ADevicePath));
    reader->SetFreeOnTerminate(true);
    // From a successful start on, the thread owns the object.
    if (reader->Start()) reader.release();
}

TuiHidDeviceReadThread::TuiHidDeviceReadThread(TuiHIDData* AHIDData, const std::u16string& ADeviceID,
                                               const std::u16string& ADevicePath)
    : FHIDData(AHIDData), FApi(AHIDData->Api()), FDeviceID(ADeviceID), FDevicePath(ADevicePath),
      FDeviceHandle(FApi, FApi.CreateFileW(W(ADevicePath), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr)),
      FPreparsedData(FApi), FStopEvent(ReadStopEvent())
{
    // A system that refuses the ring's size keeps its default; nothing else depends on it.
    if (FDeviceHandle.Valid() && FApi.HidD_SetNumInputBuffers)
        static_cast<void>(FApi.HidD_SetNumInputBuffers(FDeviceHandle.Get(), kInputBuffers));
    if (FDeviceHandle.Valid() && FPreparsedData.Fetch(FDeviceHandle.Get())) {
        HIDP_CAPS caps{};
        if (FApi.HidP_GetCaps(FPreparsedData.Get(), &caps) == kHidpStatusSuccess) FInputReportLength = caps.InputReportByteLength;
    }
    FReport.resize(static_cast<size_t>(FInputReportLength));
    FRead.Reader = this;
    auto& registry = Registry();
    std::lock_guard lock(registry.Lock);
    registry.Entries.push_back({this, FHIDData, FDevicePath});
}

TuiHidDeviceReadThread::~TuiHidDeviceReadThread()
{
    auto& registry = Registry();
    std::lock_guard lock(registry.Lock);
    std::erase_if(registry.Entries, [this](const TReaderEntry& e) { return e.Reader == this; });
}

VOID CALLBACK TuiHidDeviceReadThread::ReadCompletion(DWORD, DWORD, LPOVERLAPPED AOverlapped)
{
    // The outcome is taken from GetOverlappedResult; here the reader only learns that its read is over.
    reinterpret_cast<TRead*>(AOverlapped)->Reader->FReadPending = false;
}

void TuiHidDeviceReadThread::Execute()
{
    while (!Terminated()) {
        FRead.Overlapped = OVERLAPPED{};
        std::fill(FReport.begin(), FReport.end(), 0);
        FReadPending = FApi.ReadFileEx(FDeviceHandle.Get(), FReport.data(), static_cast<DWORD>(FInputReportLength),
                                       &FRead.Overlapped, &TuiHidDeviceReadThread::ReadCompletion) != FALSE;
        if (!FReadPending) {
            const DWORD error = GetLastError();
            if (error == ERROR_INVALID_HANDLE || error == ERROR_OPERATION_ABORTED || error == ERROR_DEVICE_NOT_CONNECTED) {
                Terminate();
                break;
            }
            // Any other refusal leaves nothing to complete: the reader waits for the stop signal.
        }
        if (!WaitForRead(FReadPending, INFINITE)) break;

        NumBytesRead = 0;
        if (FApi.GetOverlappedResult(FDeviceHandle.Get(), &FRead.Overlapped, &NumBytesRead, FALSE)) {
            if (NumBytesRead > 0) {
                Deliver();
                continue;
            }
        } else {
            const DWORD error = GetLastError();
            if (error == ERROR_OPERATION_ABORTED || error == ERROR_DEVICE_NOT_CONNECTED) {
                DeviceLost();
                break;
            }
        }
        // A read that brought nothing is issued again after a pause, the time one pass of a
        // 1 ms polling loop takes: a device whose reads keep failing at once must not spin a
        // core. Reports are not paused.
        WaitForRead(false, kFruitlessReadPauseMs);
    }
    EndPendingRead();
    FPreparsedData.Reset();
    FDeviceHandle.Reset();
}

// One alertable wait on the stop signals, in which the completion routine runs: until the
// started read has completed or ATimeoutMs have passed. False when the reader is to stop
// (ReadStopEvent signalled or closed, or the reader terminated).
bool TuiHidDeviceReadThread::WaitForRead(bool AStarted, DWORD ATimeoutMs)
{
    HANDLE waits[] = {FStopEvent, TerminateEvent()};
    while (!Terminated()) {
        const DWORD result = FApi.WaitForMultipleObjectsEx(2, waits, FALSE, ATimeoutMs, TRUE);
        if (result == WAIT_TIMEOUT) return true;
        if (result != WAIT_IO_COMPLETION) break;
        if (AStarted && !FReadPending) return true;
    }
    Terminate();
    return false;
}

void TuiHidDeviceReadThread::DeviceLost()
{
    const bool stopped = Terminated();
    Terminate();
    OutputDebugStringW(L"ERROR_DEVICE_NOT_CONNECTED++++++++++++++++");
    // A reader that is being stopped raises nothing more.
    if (stopped) return;
    try {
        FHIDData->OnDeviceNotConnected(FDeviceID, FDevicePath);
    } catch (...) {
        // Reported; the reader still ends and releases the device.
        Application.HandleException(std::current_exception());
    }
}

// An abandoned read still writes into the buffer and the overlapped record: cancel it and wait
// for its completion before either goes.
void TuiHidDeviceReadThread::EndPendingRead()
{
    if (!FReadPending) return;
    FApi.CancelIo(FDeviceHandle.Get());
    while (FReadPending) SleepEx(INFINITE, TRUE);
}

void TuiHidDeviceReadThread::Deliver()
{
    if (Terminated()) return;
    if (FHIDData->FastOnData())
        DeliverReport();
    else
        Synchronize([this] { DeliverReport(); });
}

void TuiHidDeviceReadThread::DeliverReport()
{
    try {
        const uint8_t reportId = FReport.empty() ? 0 : FReport[0];
        FHIDData->OnData(FDeviceID, FDevicePath, reportId, FReport.data() + 1, static_cast<uint16_t>(NumBytesRead - 1));
        if (FHIDData->OnParsedData.Assigned())
            FHIDData->OnParsedData(FDeviceID, FDevicePath, reportId, GetButtonChange());
    } catch (...) {
        // A handler's failure is reported; the reader goes on with the next report.
        Application.HandleException(std::current_exception());
    }
}

uint32_t TuiHidDeviceReadThread::GetButtonChange()
{
    // Shared by every reader; guarded, as readers with FastOnData deliver at the same time.
    static std::mutex lock;
    static USAGE previousButtonUsages[kUsageListEntries];
    static USAGE_AND_PAGE scratch[kUsageListEntries];

    const ULONG maximum = FApi.HidP_MaxUsageListLength(HidP_Input, 0, FPreparsedData.Get());
    if (maximum == 0) return 0;
    // The lists hold 100 entries: a collection that could report more is read as far as they
    // reach, and a report with more buttons down than that yields no change.
    const ULONG length = std::min<ULONG>(maximum, kUsageListEntries);
    std::lock_guard guard(lock);
    std::fill(std::begin(scratch), std::end(scratch), USAGE_AND_PAGE{});
    ULONG count = length;
    if (FApi.HidP_GetUsagesEx(HidP_Input, 0, scratch, &count, FPreparsedData.Get(), reinterpret_cast<PCHAR>(FReport.data()),
                              static_cast<ULONG>(FInputReportLength)) != kHidpStatusSuccess)
        return 0;
    USAGE current[kUsageListEntries]{};
    USAGE released[kUsageListEntries]{};
    USAGE pressed[kUsageListEntries]{};
    for (ULONG i = 0; i < std::min(count, length); ++i) current[i] = scratch[i].Usage;
    FApi.HidP_UsageListDifference(previousButtonUsages, current, released, pressed, length);
    std::copy(current, current + length, previousButtonUsages);
    return ButtonChange(released, pressed, length);
}
