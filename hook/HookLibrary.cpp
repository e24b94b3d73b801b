#include "hook/HookLibrary.h"

#include <windows.h>

namespace {

// One hook per device kind. Touched only by the thread that enables the hooks, which is also the
// thread the system calls the hook procedures on.
struct THookSlot {
    HHOOK Hook = nullptr;
    TuiHookCallback Callback = nullptr;
    void* UserData = nullptr;
};

HINSTANCE gInstance = nullptr;
THookSlot gKeyboard;
THookSlot gMouse;

LRESULT Deliver(const THookSlot& ASlot, int ACode, WPARAM AMessage, LPARAM ARecord)
{
    // Negative codes must go straight on to the next hook.
    if (ACode >= 0 && ASlot.Callback) {
        bool blocked = false;
        ASlot.Callback(ASlot.UserData, ACode, AMessage, reinterpret_cast<void*>(ARecord), &blocked);
        if (blocked) return 1;
    }
    return CallNextHookEx(nullptr, ACode, AMessage, ARecord);
}

LRESULT CALLBACK KeyboardProc(int ACode, WPARAM AMessage, LPARAM ARecord)
{
    return Deliver(gKeyboard, ACode, AMessage, ARecord);
}

LRESULT CALLBACK MouseProc(int ACode, WPARAM AMessage, LPARAM ARecord)
{
    return Deliver(gMouse, ACode, AMessage, ARecord);
}

int Disable(THookSlot& ASlot)
{
    const bool had = ASlot.Hook != nullptr;
    if (had) UnhookWindowsHookEx(ASlot.Hook);
    ASlot = {};
    return had ? 1 : 0;
}

int Enable(THookSlot& ASlot, int AKind, HOOKPROC AProc, TuiHookCallback ACallback, void* AUserData)
{
    Disable(ASlot);
    if (!ACallback) return 0;
    ASlot.Callback = ACallback;
    ASlot.UserData = AUserData;
    ASlot.Hook = SetWindowsHookExW(AKind, AProc, gInstance, 0);
    if (!ASlot.Hook) ASlot = {};
    return ASlot.Hook ? 1 : 0;
}

}  // namespace

int __cdecl EnableKeyboardHook(TuiHookCallback ACallback, void* AUserData, int)
{
    return Enable(gKeyboard, WH_KEYBOARD_LL, KeyboardProc, ACallback, AUserData);
}

int __cdecl DisableKeyboardHook() { return Disable(gKeyboard); }

int __cdecl EnableMouseHook(TuiHookCallback ACallback, void* AUserData, int)
{
    return Enable(gMouse, WH_MOUSE_LL, MouseProc, ACallback, AUserData);
}

int __cdecl DisableMouseHook() { return Disable(gMouse); }

BOOL WINAPI DllMain(HINSTANCE AInstance, DWORD AReason, LPVOID AReserved)
{
    if (AReason == DLL_PROCESS_ATTACH) {
        gInstance = AInstance;
        DisableThreadLibraryCalls(AInstance);
    } else if (AReason == DLL_PROCESS_DETACH && AReserved == nullptr) {
        // Unloaded while hooked: the hook procedures are about to go away with the library.
        Disable(gKeyboard);
        Disable(gMouse);
    }
    return TRUE;
}
