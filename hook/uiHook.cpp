#include "hook/uiHook.h"

#include "framework/win/Application.h"
#include "framework/win/FileSystem.h"
#include "framework/win/Form.h"
#include "framework/win/WinText.h"

#include <windows.h>

#include <cstddef>
#include <exception>

static_assert(sizeof(TKBDLLHOOKSTRUCT) == sizeof(KBDLLHOOKSTRUCT) &&
              offsetof(TKBDLLHOOKSTRUCT, time) == offsetof(KBDLLHOOKSTRUCT, time) &&
              offsetof(TKBDLLHOOKSTRUCT, dwExtraInfo) == offsetof(KBDLLHOOKSTRUCT, dwExtraInfo));
static_assert(sizeof(TMSLLHOOKSTRUCT) == sizeof(MSLLHOOKSTRUCT) &&
              offsetof(TMSLLHOOKSTRUCT, mouseData) == offsetof(MSLLHOOKSTRUCT, mouseData) &&
              offsetof(TMSLLHOOKSTRUCT, time) == offsetof(MSLLHOOKSTRUCT, time));
static_assert(LLKHF_EXTENDED == kKeyFlagExtended && LLKHF_UP == kKeyFlagUp && LLMHF_INJECTED == kMouseFlagInjected);

namespace {

// The library and its entry points are shared by every component of the process; the last
// component to go unloads it.
struct THookLibrary {
    TModuleOwner Module;
    TEnableHookProc EnableKeyboardHook = nullptr;
    TDisableHookProc DisableKeyboardHook = nullptr;
    TEnableHookProc EnableMouseHook = nullptr;
    TDisableHookProc DisableMouseHook = nullptr;
    int Users = 0;
    // The component whose callback each hook delivers to, so that a component going away removes
    // only its own.
    const TuiHook* KeyboardUser = nullptr;
    const TuiHook* MouseUser = nullptr;
};

THookLibrary& Library()
{
    static THookLibrary library;
    return library;
}

template <class T>
T Export(HMODULE AModule, const char* AName)
{
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(AModule, AName)));
}

bool AcquireLibrary()
{
    THookLibrary& lib = Library();
    if (!lib.Module) {
        // By its full path in the program's folder: a library of that name in the current
        // directory or on PATH is never taken for it.
        const std::u16string folder = ProgramFolder();
        if (!folder.empty()) lib.Module.Reset(LoadLibraryW(W(folder + u"uiHook.dll")));
        if (!lib.Module) {
            MessageBoxW(nullptr, L"uiHook.dll can not be found!", L"Error", MB_OK | MB_ICONERROR);
            return false;
        }
        const HMODULE m = lib.Module.Get();
        lib.EnableKeyboardHook = Export<TEnableHookProc>(m, "EnableKeyboardHook");
        lib.DisableKeyboardHook = Export<TDisableHookProc>(m, "DisableKeyboardHook");
        lib.EnableMouseHook = Export<TEnableHookProc>(m, "EnableMouseHook");
        lib.DisableMouseHook = Export<TDisableHookProc>(m, "DisableMouseHook");
        if (!lib.EnableKeyboardHook || !lib.DisableKeyboardHook || !lib.EnableMouseHook || !lib.DisableMouseHook) {
            lib = THookLibrary{};
            return false;
        }
    }
    ++lib.Users;
    return true;
}

void ReleaseLibrary(const TuiHook* AHook)
{
    THookLibrary& lib = Library();
    if (lib.KeyboardUser == AHook) {
        lib.DisableKeyboardHook();
        lib.KeyboardUser = nullptr;
    }
    if (lib.MouseUser == AHook) {
        lib.DisableMouseHook();
        lib.MouseUser = nullptr;
    }
    if (--lib.Users == 0) lib = THookLibrary{};
}

TuiHook& Hook(void* AUserData) { return *static_cast<TuiHook*>(AUserData); }
const TKBDLLHOOKSTRUCT& Key(void* ARecord) { return *static_cast<const TKBDLLHOOKSTRUCT*>(ARecord); }
const TMSLLHOOKSTRUCT& Mouse(void* ARecord) { return *static_cast<const TMSLLHOOKSTRUCT*>(ARecord); }

constexpr UINT kReportMessage = WM_APP + 0x3A2;

// No exception may cross back into the library: a handler's exception is reported after the
// callback has returned, and the event passes on.
template <class F>
void Guarded(void* AUser, F AProc)
{
    try {
        AProc();
    } catch (...) {
        Hook(AUser).ReportHandlerException(std::current_exception());
    }
}

void __cdecl KeyboardWatchProc(void* AUser, int ACode, uintptr_t, void* ARecord, bool* ABlocked)
{
    Guarded(AUser, [&] { Hook(AUser).KeyboardWatch(ACode, Key(ARecord), *ABlocked); });
}

void __cdecl MouseWatchProc(void* AUser, int, uintptr_t AMessage, void* ARecord, bool* ABlocked)
{
    Guarded(AUser, [&] { Hook(AUser).MouseWatch(static_cast<uint32_t>(AMessage), Mouse(ARecord), *ABlocked); });
}

void __cdecl SingleKeyProc(void* AUser, int, uintptr_t, void* ARecord, bool* ABlocked)
{
    Guarded(AUser, [&] { Hook(AUser).RecordSingleKey(Key(ARecord), *ABlocked); });
}

void __cdecl ComboKeyProc(void* AUser, int, uintptr_t, void* ARecord, bool* ABlocked)
{
    Guarded(AUser, [&] {
        Hook(AUser).RecordComboKey(Key(ARecord), *ABlocked, [](int AKey) { return GetKeyState(AKey); });
    });
}

void __cdecl MacroKeyProc(void* AUser, int, uintptr_t, void* ARecord, bool* ABlocked)
{
    Guarded(AUser, [&] { Hook(AUser).RecordMacroKey(Key(ARecord), *ABlocked); });
}

void __cdecl MacroKeyExProc(void* AUser, int, uintptr_t, void* ARecord, bool* ABlocked)
{
    Guarded(AUser, [&] { Hook(AUser).RecordMacroKeyEx(Key(ARecord), *ABlocked); });
}

void __cdecl MouseMacroProc(void* AUser, int, uintptr_t AMessage, void* ARecord, bool*)
{
    Guarded(AUser, [&] { Hook(AUser).RecordMouseMacroKey(static_cast<uint32_t>(AMessage), Mouse(ARecord)); });
}

}  // namespace

// Waits for queued records or the stop event; hands the records to the main thread and waits
// until they are handled there.
class TuiHook::TDataEventThread : public TThread {
public:
    explicit TDataEventThread(TuiHook& AHook) : FHook(AHook) {}

protected:
    void Execute() override
    {
        const HANDLE waits[] = {FHook.FGlobalDataEvent.Get(), FHook.FGlobalEvent.Get()};
        while (!Terminated()) {
            const DWORD result = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
            if (result == WAIT_OBJECT_0) {
                // Reset before draining: records queued meanwhile signal again, and a drained
                // queue does not keep the thread spinning.
                ResetEvent(waits[0]);
                Synchronize([this] { FHook.ProcessDataEvent(); });
            } else if (result == WAIT_OBJECT_0 + 1 || result == WAIT_FAILED) {
                Terminate();
            }
        }
    }

private:
    TuiHook& FHook;
};

TuiHook::TuiHook(TComponent* AOwner) : TComponent(AOwner)
{
    if (!Designing()) {
        FDLLLoaded = AcquireLibrary();
        FGlobalEvent.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        FGlobalDataEvent.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        FReportWindow = std::make_unique<TUtilityWindow>([this](TMessage& AMessage) {
            if (AMessage.Msg != kReportMessage) return false;
            ReportPendingExceptions();
            return true;
        });
        if (FGlobalEvent && FGlobalDataEvent) {
            FIdThreadComponentDataEvent = std::make_unique<TDataEventThread>(*this);
            FIdThreadComponentDataEvent->Start();
        }
    }
    FOwner = dynamic_cast<TForm*>(AOwner);
}

// Undoes what the constructor did, whatever the design state has become since.
TuiHook::~TuiHook()
{
    if (FDLLLoaded) ReleaseLibrary(this);
    if (FIdThreadComponentDataEvent) {
        SetEvent(FGlobalEvent.Get());
        FIdThreadComponentDataEvent->Terminate();
        FIdThreadComponentDataEvent->WaitFor();
        FIdThreadComponentDataEvent.reset();
    }
    // Nothing a handler raised goes unreported with the component.
    ReportPendingExceptions();
}

void TuiHook::ReportHandlerException(std::exception_ptr AException)
{
    bool first;
    {
        std::lock_guard lock(FPendingLock);
        first = FPendingExceptions.empty();
        FPendingExceptions.push_back(std::move(AException));
    }
    // One message for the exceptions that gather until the loop takes it up. Without the window
    // they are reported at once rather than lost.
    if (first && !(FReportWindow && FReportWindow->Handle() &&
                   PostMessageW(FReportWindow->Handle(), kReportMessage, 0, 0)))
        ReportPendingExceptions();
}

void TuiHook::ReportPendingExceptions()
{
    std::vector<std::exception_ptr> pending;
    {
        std::lock_guard lock(FPendingLock);
        pending.swap(FPendingExceptions);
    }
    for (const std::exception_ptr& e : pending) Application.HandleException(e);
}

void TuiHook::EnableKeyboard(TuiHookCallback ACallback)
{
    if (!FDLLLoaded) return;
    THookLibrary& lib = Library();
    lib.DisableKeyboardHook();
    static_cast<void>(lib.EnableKeyboardHook(ACallback, this, 0));  // a refused hook stays silent
    lib.KeyboardUser = this;
}

void TuiHook::DisableKeyboard()
{
    if (!FDLLLoaded) return;
    Library().DisableKeyboardHook();
    Library().KeyboardUser = nullptr;
}

void TuiHook::EnableMouse(TuiHookCallback ACallback)
{
    if (!FDLLLoaded) return;
    THookLibrary& lib = Library();
    lib.DisableMouseHook();
    static_cast<void>(lib.EnableMouseHook(ACallback, this, 0));
    lib.MouseUser = this;
}

void TuiHook::DisableMouse()
{
    if (!FDLLLoaded) return;
    Library().DisableMouseHook();
    Library().MouseUser = nullptr;
}

void TuiHook::StartHookKeyboard() { EnableKeyboard(KeyboardWatchProc); }
void TuiHook::StopHookKeyboard() { DisableKeyboard(); }
void TuiHook::StartHookMouse() { EnableMouse(MouseWatchProc); }
void TuiHook::StopHookMouse() { DisableMouse(); }

void TuiHook::RecordKeyboardSingleKey() { EnableKeyboard(SingleKeyProc); }
void TuiHook::StopRecordKeyboardSingleKey() { DisableKeyboard(); }

void TuiHook::RecordKeyboardComboKey()
{
    EnableKeyboard(ComboKeyProc);
    ResetComboTime();
}

void TuiHook::StopRecordKeyboardComboKey()
{
    DisableKeyboard();
    ResetComboTime();
}

void TuiHook::RecordKeyboardMacroKey()
{
    BeginKeyboardMacro();
    EnableKeyboard(MacroKeyProc);
}

void TuiHook::RecordKeyboardMacroKeyEx()
{
    BeginKeyboardMacroEx();
    EnableKeyboard(MacroKeyExProc);
}

void TuiHook::StopRecordKeyboardMacroKey()
{
    DisableKeyboard();
    EndKeyboardMacro();
}

void TuiHook::RecordMouseMacro()
{
    if (Designing()) return;
    BeginMouseMacro();
    EnableMouse(MouseMacroProc);
}

void TuiHook::StopRecordMouseMacro()
{
    if (Designing()) return;
    DisableMouse();
    EndMouseMacro();
}

void TuiHook::AddKeyboardHookObject(std::unique_ptr<TKeyBoardHookDetailObject> AObject)
{
    if (!Designing()) THookRecorder::AddKeyboardHookObject(std::move(AObject));
}

void TuiHook::RemoveAllKeyboardHookObject()
{
    if (!Designing()) THookRecorder::RemoveAllKeyboardHookObject();
}

void TuiHook::AddMouseHookObject(std::unique_ptr<TMouseHookDetailObject> AObject)
{
    if (!Designing()) THookRecorder::AddMouseHookObject(std::move(AObject));
}

void TuiHook::RemoveAllMouseHookObject()
{
    if (!Designing()) THookRecorder::RemoveAllMouseHookObject();
}

void TuiHook::QueueRecordData(uint8_t AKind, const TStringsObject* AEntry)
{
    THookRecorder::QueueRecordData(AKind, AEntry);
    if (FGlobalDataEvent) SetEvent(FGlobalDataEvent.Get());
}
