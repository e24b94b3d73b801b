// Measures the real monitor (QelMon.exe, already running and reading the virtual mouse) through
// the system's HID stack. Prints figures; asserts nothing.
//   monitor_benchmark latency N            N button reports one at a time: the time from the send
//                                          to the monitor's trace line, median and 99th percentile
//   monitor_benchmark soak N RATE CYCLES LOG
//                                          N button reports at RATE a second, then CYCLES unplug
//                                          and plug cycles with one report each: reports lost or
//                                          doubled among the trace lines in LOG (the monitor's
//                                          debug output with WINEDEBUG=warn+seh), the monitor's
//                                          handle count first and last
//   monitor_benchmark polling-loop SECONDS the reference for the idle cost: a read waiting on the
//                                          vendor collection in the 1 ms polling loop (alertable
//                                          1 ms sleep, then a 1 ms wait on a stop event)
//   monitor_benchmark floor-window SECONDS the memory floor: a bare program with a hidden window
//                                          and its message loop, for SECONDS
//   monitor_benchmark floor-endpoint SECONDS
//                                          the same holding the default capture endpoint's volume
//                                          as the monitor does
//   monitor_benchmark burst KIND N RATE [LOG]
//                                          N reports of KIND (button: buttons with no function;
//                                          profile: profile switches) at RATE a second: the reads
//                                          of the vendor collection the driver saw against the
//                                          reports sent, and with LOG (the configuration program
//                                          double's log) the switches it was told of
//   monitor_benchmark feedback N LOG       N presses of the mute button (key 3), each after the
//                                          indicator of the one before has gone: the time from the
//                                          send to the mute call (the endpoint's SetMute in LOG, the
//                                          monitor's debug output with WINEDEBUG=trace+mmdevapi), to
//                                          the indicator shown and to the tray icon changed on the
//                                          screen, median and 99th percentile
// For the latency the trace lines are taken as the monitor's debugger, with the time they come:
// the benchmark attaches to it and detaches at the end, leaving it running.
#include "audio/MicrophoneMute.h"
#include "framework/tests/BenchmarkClock.h"
#include "framework/tests/ScreenPixels.h"
#include "framework/win/Handle.h"
#include "framework/win/FileSystem.h"
#include "framework/win/WinText.h"
#include "vmouse/VirtualMouse.h"

#include <windows.h>
#include <winternl.h>
#include <setupapi.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// Keys whose function the monitor only traces: no microphone (3) and no profile switch (21..23).
constexpr unsigned kKeys[] = {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
constexpr unsigned kLatencyKey = 4;

struct TTrace {
    double At;
    int Key; // the key index of a "KeyIndex = " line, -1 for any other line
};

// The monitor's debugger, on a thread of its own: every trace line with the time it came.
class TTraceTap {
public:
    explicit TTraceTap(DWORD AProcessId) : FProcessId(AProcessId), FThread([this] { Run(); })
    {
        std::unique_lock lock(FLock);
        FChanged.wait(lock, [this] { return FAttached != 0; });
    }
    ~TTraceTap()
    {
        FStop = true;
        FThread.join();
    }
    bool Attached() const { return FAttached > 0; }

    // Waits up to ATimeoutMs for the next trace line of a key.
    bool Next(TTrace& ATrace, DWORD ATimeoutMs)
    {
        std::unique_lock lock(FLock);
        if (!FChanged.wait_for(lock, std::chrono::milliseconds(ATimeoutMs), [this] { return !FTraces.empty(); })) return false;
        ATrace = FTraces.front();
        FTraces.pop_front();
        return true;
    }

private:
    void Run()
    {
        const bool attached = DebugActiveProcess(FProcessId) != FALSE;
        if (attached) DebugSetProcessKillOnExit(FALSE);
        {
            std::lock_guard lock(FLock);
            FAttached = attached ? 1 : -1;
        }
        FChanged.notify_all();
        if (!attached) return;
        HANDLE process = nullptr;
        while (!FStop) {
            DEBUG_EVENT event{};
            if (!WaitForDebugEvent(&event, 50)) continue;
            DWORD status = DBG_CONTINUE;
            switch (event.dwDebugEventCode) {
            case CREATE_PROCESS_DEBUG_EVENT:
                process = event.u.CreateProcessInfo.hProcess;
                if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
                break;
            case LOAD_DLL_DEBUG_EVENT:
                if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
                break;
            case EXCEPTION_DEBUG_EVENT:
                if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) status = DBG_EXCEPTION_NOT_HANDLED;
                break;
            case OUTPUT_DEBUG_STRING_EVENT:
                Take(process, event.u.DebugString);
                break;
            default:
                break;
            }
            ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
        }
        DebugActiveProcessStop(FProcessId);
    }

    void Take(HANDLE AProcess, const OUTPUT_DEBUG_STRING_INFO& AInfo)
    {
        const double at = Now();
        char text[256]{};
        const size_t unit = AInfo.fUnicode ? 2 : 1;
        const SIZE_T bytes = std::min<SIZE_T>(AInfo.nDebugStringLength * unit, sizeof(text) - 2);
        SIZE_T read = 0;
        if (!ReadProcessMemory(AProcess, AInfo.lpDebugStringData, text, bytes, &read)) return;
        std::string line;
        for (SIZE_T i = 0; i < read; i += unit) line += text[i];
        int key = -1;
        if (line.rfind("KeyIndex = ", 0) == 0) key = std::atoi(line.c_str() + 11);
        {
            std::lock_guard lock(FLock);
            FTraces.push_back({at, key});
        }
        FChanged.notify_all();
    }

    DWORD FProcessId;
    std::mutex FLock;
    std::condition_variable FChanged;
    std::deque<TTrace> FTraces;
    int FAttached = 0;
    std::atomic<bool> FStop{false};
    std::thread FThread;
};

DWORD MonitorProcessId()
{
    DWORD id = 0;
    if (HWND window = FindWindowW(L"TQelMonMain", nullptr)) GetWindowThreadProcessId(window, &id);
    return id;
}

// The process's handles, from the system's handle table (Wine answers no other process's count).
long HandleCount(DWORD AProcessId)
{
    using TQuery = LONG(WINAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<TQuery>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return -1;
    std::vector<uint8_t> buffer(1 << 20);
    ULONG needed = 0;
    LONG status;
    while ((status = query(SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
           static_cast<LONG>(0xC0000004))
        buffer.resize(buffer.size() * 2);
    if (status != 0) return -1;
    const auto* table = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    long count = 0;
    for (ULONG i = 0; i < table->Count; ++i)
        if (table->Handle[i].OwnerPid == AProcessId) ++count;
    return count;
}

void PrintHandles(const char* AWhen, DWORD AProcessId)
{
    std::printf("%-28s monitor's handles %ld\n", AWhen, HandleCount(AProcessId));
}

int Latency(TVirtualMouse& AMouse, TTraceTap& ATap, int ACount)
{
    std::vector<double> latencies;
    TTrace trace{};
    for (int i = 0; i < ACount; ++i) {
        const double sent = Now();
        if (AMouse.Send(TVirtualMouse::ButtonReport(kLatencyKey)) != 0) {
            std::fprintf(stderr, "send failed: %ls\n", AMouse.Message().c_str());
            return 1;
        }
        do {
            if (!ATap.Next(trace, 5000)) {
                std::fprintf(stderr, "no trace line for report %d\n", i + 1);
                return 1;
            }
        } while (trace.Key != static_cast<int>(kLatencyKey));
        latencies.push_back((trace.At - sent) * 1e6);
        Sleep(5);
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("report-to-trace latency over %d button reports: median %.0f us, p99 %.0f us, max %.0f us\n", ACount,
                latencies[latencies.size() / 2], latencies[latencies.size() * 99 / 100], latencies.back());
    return 0;
}

// Lines of keys taken in order against the keys sent: what is missing, and what came more than once.
void Compare(const std::vector<int>& ASent, const std::vector<int>& AReceived, long& ALost, long& ADoubled)
{
    ALost = ADoubled = 0;
    size_t i = 0, j = 0;
    while (i < ASent.size() && j < AReceived.size()) {
        if (ASent[i] == AReceived[j]) {
            ++i;
            ++j;
        } else if (j > 0 && AReceived[j] == AReceived[j - 1]) {
            ++ADoubled;
            ++j;
        } else {
            ++ALost;
            ++i;
        }
    }
    ALost += static_cast<long>(ASent.size() - i);
    ADoubled += static_cast<long>(AReceived.size() - j);
}

// The key indexes of the monitor's "KeyIndex = " trace lines in its debug output from AOffset on.
std::vector<int> TracedKeys(const std::wstring& ALog, long long AOffset)
{
    std::vector<int> keys;
    FILE* file = _wfopen(ALog.c_str(), L"rb");
    if (!file) return keys;
    _fseeki64(file, AOffset, SEEK_SET);
    static const char kTrace[] = "OutputDebugStringA \"KeyIndex = ";
    char line[512];
    while (std::fgets(line, sizeof(line), file))
        if (const char* at = std::strstr(line, kTrace)) keys.push_back(std::atoi(at + sizeof(kTrace) - 1));
    std::fclose(file);
    return keys;
}

long long FileSize(const std::wstring& APath)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(APath.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Waits until the file has stopped growing for AQuietMs.
void WaitQuiet(const std::wstring& APath, DWORD AQuietMs)
{
    long long size = -1;
    while (FileSize(APath) != size) {
        size = FileSize(APath);
        Sleep(AQuietMs);
    }
}

// The trace lines are read from the monitor's debug output (ALog): a debugger would slow it down.
int Soak(TVirtualMouse& AMouse, DWORD AProcessId, long ACount, long ARate, int ACycles, const std::wstring& ALog)
{
    PrintHandles("before:", AProcessId);
    const long long offset = FileSize(ALog);
    constexpr size_t kKeyCount = sizeof(kKeys) / sizeof(kKeys[0]);
    const auto burst = AMouse.SendBurst(static_cast<unsigned long>(ACount), static_cast<unsigned long>(ARate),
                                        [](unsigned long i) { return TVirtualMouse::ButtonReport(kKeys[i % kKeyCount]); });
    if (burst.Error) std::fprintf(stderr, "%ls\n", AMouse.Message().c_str());
    std::vector<int> sent;
    for (unsigned long i = 0, dropped = 0; i < burst.Sent + burst.Dropped.size(); ++i) {
        if (dropped < burst.Dropped.size() && burst.Dropped[dropped] == i) {
            ++dropped;
            continue;
        }
        sent.push_back(static_cast<int>(kKeys[i % kKeyCount]));
    }
    WaitQuiet(ALog, 2000);
    const std::vector<int> received = TracedKeys(ALog, offset);
    long lost = 0, doubled = 0;
    Compare(sent, received, lost, doubled);
    std::printf("%zu reports sent in %.1f s (%.0f a second), %zu refused by the device's full queue; "
                "trace lines %zu: %ld lost, %ld doubled\n",
                sent.size(), burst.Seconds, static_cast<double>(sent.size()) / burst.Seconds, burst.Dropped.size(),
                received.size(), lost, doubled);
    PrintHandles("after the reports:", AProcessId);

    int failed = 0;
    const double cyclesStart = Now();
    for (int c = 0; c < ACycles; ++c) {
        if (AMouse.Unplug() != 0 || AMouse.Plug() != 0) {
            std::fprintf(stderr, "cycle %d: %ls\n", c + 1, AMouse.Message().c_str());
            ++failed;
            continue;
        }
        QELVM_STATUS status{};
        const double until = Now() + 10;
        while ((AMouse.Status(status) != 0 || status.VendorReadsWaiting == 0) && Now() < until) Sleep(10);
        const long long before = FileSize(ALog);
        if (AMouse.Send(TVirtualMouse::ButtonReport(kLatencyKey)) != 0) {
            ++failed;
            continue;
        }
        bool seen = false;
        for (int wait = 0; wait < 300 && !seen; ++wait) {
            Sleep(10);
            seen = !TracedKeys(ALog, before).empty();
        }
        if (!seen) ++failed;
    }
    std::printf("%d unplug/plug cycles in %.0f s: %d without the report acted on\n", ACycles, Now() - cyclesStart, failed);
    PrintHandles("after the cycles:", AProcessId);
    return 0;
}

// ---- What the user sees after a mute press ----

int RedPixels(const RECT& ARect) { return CountPixels(ScreenPixels(ARect), MuteRed); }

// Lines of the endpoint's SetMute in the monitor's debug output from AOffset on.
int MuteCalls(const std::wstring& ALog, long long AOffset)
{
    FILE* file = _wfopen(ALog.c_str(), L"rb");
    if (!file) return 0;
    _fseeki64(file, AOffset, SEEK_SET);
    int calls = 0;
    char line[1024];
    while (std::fgets(line, sizeof(line), file)) calls += std::strstr(line, "AEV_SetMute") ? 1 : 0;
    std::fclose(file);
    return calls;
}

void PrintFigure(const char* AName, std::vector<double>& AMicroseconds, int AMissed)
{
    if (AMicroseconds.empty()) {
        std::printf("  send to %-16s never seen (%d presses)\n", AName, AMissed);
        return;
    }
    std::sort(AMicroseconds.begin(), AMicroseconds.end());
    std::printf("  send to %-16s median %6.0f us, p99 %6.0f us over %zu presses (%d not seen)\n", AName,
                AMicroseconds[AMicroseconds.size() / 2], AMicroseconds[AMicroseconds.size() * 99 / 100],
                AMicroseconds.size(), AMissed);
}

// Each press is watched by one loop that yields between looks: the log for the mute call, the
// window list for the indicator, the tray's icon for its badge. A look takes well under a
// millisecond, so the figures are that coarse.
int Feedback(TVirtualMouse& AMouse, int ACount, const std::wstring& ALog)
{
    // The tray icon: the monitor's is the only one of the session's taskbar.
    const RECT tray = TrayArea();
    std::vector<double> mute, indicator, icon;
    int missedMute = 0, missedIndicator = 0, missedIcon = 0;
    for (int i = 0; i < ACount; ++i) {
        const bool redBefore = RedPixels(tray) >= 8;
        const long long offset = FileSize(ALog);
        const double sent = Now();
        if (AMouse.Send(TVirtualMouse::ButtonReport(3)) != 0) {
            std::fprintf(stderr, "send failed: %ls\n", AMouse.Message().c_str());
            return 1;
        }
        double muteAt = 0, indicatorAt = 0, iconAt = 0;
        // With the feedback switched off only the mute call comes: a second after it, none will.
        while (Now() - sent < 3 && (!muteAt || !indicatorAt || !iconAt) && !(muteAt && Now() - muteAt > 1)) {
            if (!muteAt && MuteCalls(ALog, offset) > 0) muteAt = Now();
            if (!indicatorAt && FindWindowW(L"TQelMuteIndicator", nullptr)) indicatorAt = Now();
            if (!iconAt && (RedPixels(tray) >= 8) != redBefore) iconAt = Now();
            SwitchToThread();
        }
        const auto take = [sent](double AAt, std::vector<double>& AInto, int& AMissed) {
            if (AAt) AInto.push_back((AAt - sent) * 1e6);
            else ++AMissed;
        };
        take(muteAt, mute, missedMute);
        take(indicatorAt, indicator, missedIndicator);
        take(iconAt, icon, missedIcon);
        // The next press finds no indicator showing.
        const double until = Now() + 5;
        while (FindWindowW(L"TQelMuteIndicator", nullptr) && Now() < until) Sleep(20);
        Sleep(200);
    }
    std::printf("mute presses, %d:\n", ACount);
    PrintFigure("mute call", mute, missedMute);
    PrintFigure("indicator shown", indicator, missedIndicator);
    PrintFigure("tray icon changed", icon, missedIcon);
    return 0;
}

std::wstring VendorCollectionPath()
{
    GUID hid{0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
    HDEVINFO set = SetupDiGetClassDevsW(&hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    std::wstring found;
    SP_DEVICE_INTERFACE_DATA iface{};
    iface.cbSize = sizeof(iface);
    for (DWORD i = 0; found.empty() && SetupDiEnumDeviceInterfaces(set, nullptr, &hid, i, &iface); ++i) {
        DWORD required = 0;
        SetupDiGetDeviceInterfaceDetailW(set, &iface, nullptr, 0, &required, nullptr);
        std::vector<DWORD> buffer(required / sizeof(DWORD) + 1);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof(*detail);
        if (SetupDiGetDeviceInterfaceDetailW(set, &iface, detail, required, nullptr, nullptr) &&
            wcsstr(detail->DevicePath, L"vid_1209&pid_0007&col01"))
            found = detail->DevicePath;
    }
    SetupDiDestroyDeviceInfoList(set);
    return found;
}

VOID CALLBACK Completion(DWORD, DWORD, LPOVERLAPPED) {}

int PollingLoop(int ASeconds)
{
    const std::wstring path = VendorCollectionPath();
    THandleOwner device(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    THandleOwner stop(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!device) {
        std::fprintf(stderr, "the virtual mouse's vendor collection cannot be opened\n");
        return 1;
    }
    uint8_t report[QELVM_INPUT_LENGTH]{};
    OVERLAPPED overlapped{};
    ReadFileEx(device.Get(), report, sizeof(report), &overlapped, &Completion);
    std::printf("polling loop: a read waits on %ls for %d s\n", path.c_str(), ASeconds);
    std::fflush(stdout);
    const double until = Now() + ASeconds;
    long passes = 0;
    while (Now() < until) {
        SleepEx(1, TRUE);
        WaitForSingleObject(stop.Get(), 1);
        ++passes;
    }
    CancelIo(device.Get());
    SleepEx(100, TRUE);
    std::printf("polling loop: %.0f passes a second\n", static_cast<double>(passes) / ASeconds);
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Memory floor and bursts

int Usage();

// A hidden window and its message loop for ASeconds; with AEndpoint it holds the default capture
// endpoint's volume through the monitor's own code.
int Floor(int ASeconds, bool AEndpoint)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"QelMonFloor";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  instance, nullptr);
    TMicrophoneMute microphone;
    if (AEndpoint) {
        microphone.CreateAudioEndpoint();
        if (!microphone.Endpoint()) std::fprintf(stderr, "floor: no capture endpoint\n");
    }
    SetTimer(window, 1, static_cast<UINT>(ASeconds) * 1000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) break;
        DispatchMessageW(&msg);
    }
    DestroyWindow(window);
    return 0;
}

unsigned long VendorReads(TVirtualMouse& AMouse)
{
    QELVM_STATUS status{};
    return AMouse.Status(status) == 0 ? status.VendorReadsIssued : 0;
}

// Lines of the double's log that tell of a profile switch (7040).
long SwitchesLogged(const std::wstring& ALog)
{
    long count = 0;
    FILE* file = _wfopen(ALog.c_str(), L"rb");
    if (!file) return 0;
    char line[256];
    while (std::fgets(line, sizeof(line), file))
        if (std::strncmp(line, "msg 7040 ", 9) == 0) ++count;
    std::fclose(file);
    return count;
}

// Waits until AValue has not changed for AQuietMs (at most 30 s) and answers its last value.
template <class F>
long Settled(F AValue, DWORD AQuietMs)
{
    long last = static_cast<long>(AValue());
    const double until = Now() + 30;
    for (double since = Now(); Now() - since < AQuietMs / 1000.0 && Now() < until;) {
        Sleep(50);
        const long now = static_cast<long>(AValue());
        if (now != last) {
            last = now;
            since = Now();
        }
    }
    return last;
}

int Burst(TVirtualMouse& AMouse, const std::wstring& AKind, long ACount, long ARate, const std::wstring& ALog)
{
    const bool profile = AKind == L"profile";
    if (!profile && AKind != L"button") return Usage();
    constexpr size_t kKeyCount = sizeof(kKeys) / sizeof(kKeys[0]);
    const long readsBefore = Settled([&] { return VendorReads(AMouse); }, 500);
    const long switchesBefore = ALog.empty() ? 0 : SwitchesLogged(ALog);
    const auto burst = AMouse.SendBurst(static_cast<unsigned long>(ACount), static_cast<unsigned long>(ARate),
                                        [profile](unsigned long i) {
                                            return profile ? TVirtualMouse::ProfileReport(i % 5)
                                                           : TVirtualMouse::ButtonReport(kKeys[i % kKeyCount]);
                                        });
    if (burst.Error) std::fprintf(stderr, "%ls\n", AMouse.Message().c_str());
    const long reads = Settled([&] { return VendorReads(AMouse); }, 1500) - readsBefore;
    std::printf("%-7ls %5lu sent in %5.1f s (%4.0f a second), %3zu refused by the device's full queue: "
                "%5ld read, %4ld lost",
                AKind.c_str(), burst.Sent, burst.Seconds, static_cast<double>(burst.Sent) / burst.Seconds,
                burst.Dropped.size(), reads, static_cast<long>(burst.Sent) - reads);
    if (!ALog.empty())
        std::printf("; %5ld told to the configuration program",
                    Settled([&] { return SwitchesLogged(ALog); }, 1500) - switchesBefore);
    std::printf("\n");
    return 0;
}

int Usage()
{
    std::fprintf(stderr, "usage: monitor_benchmark latency N | soak N RATE CYCLES LOG | feedback N LOG |\n"
                         "       polling-loop SECONDS | floor-window SECONDS | floor-endpoint SECONDS |\n"
                         "       burst button|profile N RATE [LOG]\n");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) return Usage();
    const std::wstring mode = argv[1];
    if (mode == L"polling-loop") return PollingLoop(_wtoi(argv[2]));
    if (mode == L"floor-window" || mode == L"floor-endpoint") return Floor(_wtoi(argv[2]), mode == L"floor-endpoint");
    TVirtualMouse mouse(std::wstring(W(ProgramFolder())) + L"qelvmouse.inf");
    if (mode == L"burst" && (argc == 5 || argc == 6))
        return Burst(mouse, argv[2], _wtol(argv[3]), _wtol(argv[4]), argc == 6 ? argv[5] : L"");
    const DWORD monitor = MonitorProcessId();
    if (!monitor) {
        std::fprintf(stderr, "no monitor is running\n");
        return 1;
    }
    if (mode == L"soak" && argc == 6) return Soak(mouse, monitor, _wtol(argv[2]), _wtol(argv[3]), _wtoi(argv[4]), argv[5]);
    if (mode == L"feedback" && argc == 4) return Feedback(mouse, _wtoi(argv[2]), argv[3]);
    if (mode != L"latency") return Usage();
    TTraceTap tap(monitor);
    if (!tap.Attached()) {
        std::fprintf(stderr, "cannot attach to the monitor (error %lu)\n", GetLastError());
        return 1;
    }
    return Latency(mouse, tap, _wtoi(argv[2]));
}
