// qelmouse.exe: drives the virtual QEL HV730 mouse from a command line.
#include "framework/win/FileSystem.h"
#include "framework/win/WinText.h"
#include "vmouse/VirtualMouse.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// Exit codes.
enum : int { kOk = 0, kUsage = 1, kNotPlugged = 2, kDropped = 3, kFailed = 4 };

constexpr wchar_t kUsageText[] =
    L"usage: qelmouse COMMAND\n"
    L"  install               install the driver (once, before the first plug)\n"
    L"  plug [N] [--one-device]\n"
    L"                        plug the mouse in (N times in a row, unplugging in between, with\n"
    L"                        the time of each plug and the system's tick count);\n"
    L"                        --one-device: both collections on one device\n"
    L"  unplug                unplug the mouse\n"
    L"  press KEY             press the button of key index KEY (0..23)\n"
    L"  profile N             switch the device to profile N (0..4)\n"
    L"  send BYTE...          send one input report, report ID first, bytes in hex\n"
    L"  burst N RATE BYTE...  send the report N times at RATE reports a second\n"
    L"  host-report           show the last output or feature report the host sent\n"
    L"  feature-answer BYTE...  what the device answers to a feature report request\n"
    L"  status                collections plugged in, queued reports, the host's reads\n"
    L"  wait-read [MS]        wait until the host has a read waiting on the vendor collection\n"
    L"                        (at most MS ms, default 10000); says when, with the tick count\n"
    L"exit codes: 0 done, 1 wrong command, 2 the mouse is not plugged in or its driver does not run,\n"
    L"            3 a report was dropped (the device's queue was full), 4 any other failure\n";

int Usage()
{
    fwprintf(stderr, L"%ls", kUsageText);
    return kUsage;
}

bool ParseUnsigned(const wchar_t* AText, int ABase, unsigned long AMax, unsigned long& AValue)
{
    wchar_t* end = nullptr;
    if (!*AText) return false;
    AValue = wcstoul(AText, &end, ABase);
    return *end == 0 && AValue <= AMax;
}

bool ParseBytes(int AFirst, int argc, wchar_t** argv, std::vector<uint8_t>& ABytes)
{
    for (int i = AFirst; i < argc; ++i) {
        unsigned long value = 0;
        if (!ParseUnsigned(argv[i], 16, 0xFF, value)) return false;
        ABytes.push_back(static_cast<uint8_t>(value));
    }
    return !ABytes.empty();
}

int Report(TVirtualMouse& AMouse, DWORD AError)
{
    if (AError == 0) {
        wprintf(L"%ls\n", AMouse.Message().c_str());
        return kOk;
    }
    fwprintf(stderr, L"qelmouse: %ls\n", AMouse.Message().c_str());
    if (AError == ERROR_DEVICE_NOT_CONNECTED || AError == ERROR_FILE_NOT_FOUND) return kNotPlugged;
    if (AError == ERROR_BUSY) return kDropped;
    return kFailed;
}

int Send(TVirtualMouse& AMouse, const std::vector<uint8_t>& AReport)
{
    return Report(AMouse, AMouse.Send(AReport));
}

int Burst(TVirtualMouse& AMouse, unsigned long ACount, unsigned long ARate, const std::vector<uint8_t>& AReport)
{
    const auto burst = AMouse.SendBurst(ACount, ARate, [&](unsigned long) { return AReport; });
    if (burst.Error) return Report(AMouse, burst.Error);
    wprintf(L"%lu reports sent in %.3f s, %zu dropped\n", burst.Sent, burst.Seconds, burst.Dropped.size());
    return burst.Dropped.empty() ? kOk : kDropped;
}

int HostReport(TVirtualMouse& AMouse)
{
    QELVM_HOST_REPORT report{};
    if (const DWORD error = AMouse.LastHostReport(report)) return Report(AMouse, error);
    if (report.Kind == QELVM_HOST_NONE) {
        wprintf(L"the host has sent no output or feature report\n");
        return kOk;
    }
    wprintf(L"%ls report #%lu, %lu bytes:", report.Kind == QELVM_HOST_OUTPUT ? L"output" : L"feature", report.Sequence,
            report.Length);
    for (unsigned long i = 0; i < report.Length && i < QELVM_MAX_REPORT; ++i) wprintf(L" %02x", report.Data[i]);
    wprintf(L"\n");
    return kOk;
}

int Status(TVirtualMouse& AMouse)
{
    QELVM_STATUS status{};
    if (const DWORD error = AMouse.Status(status)) return Report(AMouse, error);
    wprintf(L"vendor collections %lu, mouse collections %lu, reports queued %lu\n"
            L"reads waiting: vendor %lu, mouse %lu; reads issued: vendor %lu, mouse %lu\n",
            status.VendorCollections, status.MouseCollections, status.ReportsQueued, status.VendorReadsWaiting,
            status.MouseReadsWaiting, status.VendorReadsIssued, status.MouseReadsIssued);
    return kOk;
}

int WaitRead(TVirtualMouse& AMouse, unsigned long ATimeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        QELVM_STATUS status{};
        if (const DWORD error = AMouse.Status(status)) return Report(AMouse, error);
        const DWORD now = GetTickCount();
        const DWORD waited = now - start;
        if (status.VendorReadsWaiting > 0) {
            wprintf(L"a read is waiting on the vendor collection after %lu ms (tick %lu)\n", waited, now);
            return kOk;
        }
        if (waited > ATimeoutMs) {
            fwprintf(stderr, L"qelmouse: no read on the vendor collection within %lu ms\n", ATimeoutMs);
            return kFailed;
        }
        Sleep(10);
    }
}

int Plug(TVirtualMouse& AMouse, int argc, wchar_t** argv)
{
    unsigned long times = 1;
    bool oneDevice = false;
    for (int i = 2; i < argc; ++i) {
        if (wcscmp(argv[i], L"--one-device") == 0)
            oneDevice = true;
        else if (!ParseUnsigned(argv[i], 10, 100, times) || times == 0)
            return Usage();
    }
    const DWORD start = GetTickCount();
    for (unsigned long i = 0; i < times; ++i) {
        if (i > 0 || !AMouse.InstanceIds().empty())
            if (const DWORD error = AMouse.Unplug()) return Report(AMouse, error);
        if (const DWORD error = AMouse.Plug(oneDevice)) return Report(AMouse, error);
        const DWORD now = GetTickCount();
        if (times > 1) wprintf(L"plugged in at %lu ms (tick %lu)\n", now - start, now);
    }
    return Report(AMouse, 0);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return Usage();
    const std::wstring command = argv[1];
    TVirtualMouse mouse(std::wstring(W(ProgramFolder())) + L"qelvmouse.inf");
    unsigned long value = 0, rate = 0;
    std::vector<uint8_t> bytes;

    if (command == L"install" && argc == 2) return Report(mouse, mouse.Install());
    if (command == L"plug") return Plug(mouse, argc, argv);
    if (command == L"unplug" && argc == 2) return Report(mouse, mouse.Unplug());
    if (command == L"press" && argc == 3 && ParseUnsigned(argv[2], 10, 23, value))
        return Send(mouse, TVirtualMouse::ButtonReport(value));
    if (command == L"profile" && argc == 3 && ParseUnsigned(argv[2], 10, 4, value))
        return Send(mouse, TVirtualMouse::ProfileReport(value));
    if (command == L"send" && ParseBytes(2, argc, argv, bytes)) return Send(mouse, bytes);
    if (command == L"burst" && argc > 4 && ParseUnsigned(argv[2], 10, 10000000, value) && ParseUnsigned(argv[3], 10, 100000, rate) &&
        value > 0 && rate > 0 && ParseBytes(4, argc, argv, bytes))
        return Burst(mouse, value, rate, bytes);
    if (command == L"host-report" && argc == 2) return HostReport(mouse);
    if (command == L"feature-answer" && ParseBytes(2, argc, argv, bytes)) return Report(mouse, mouse.SetFeatureAnswer(bytes));
    if (command == L"status" && argc == 2) return Status(mouse);
    if (command == L"wait-read" && (argc == 2 || (argc == 3 && ParseUnsigned(argv[2], 10, 3600000, value))))
        return WaitRead(mouse, argc == 3 ? value : 10000);
    return Usage();
}
