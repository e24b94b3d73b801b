#pragma once
// The hook library uiHook.dll: system-wide low-level keyboard and mouse hooks that hand every
// event to one callback per device kind.
//
// Contract:
// - Calling convention __cdecl for the exports and the callback; the exports carry their plain
//   names on every architecture.
// - Enable*Hook(callback, user data, reserved) installs the hook on the calling thread, which
//   must pump messages: the callback runs there, once per event, while that thread waits for
//   messages. Enabling again replaces the callback (and moves the hook to the calling thread).
//   `reserved` is not read (pass 0); a null callback only removes the hook. Result: 1 when the
//   hook is installed, 0 otherwise.
// - Disable*Hook() removes the hook and forgets the callback. Result: 1, or 0 when none was
//   installed. Call it on the thread that enabled the hook.
// - The callback receives the user data, the hook code, the message number (WM_KEYDOWN ... for
//   keys, WM_MOUSEMOVE ... WM_MOUSEHWHEEL for the mouse), the platform's KBDLLHOOKSTRUCT or
//   MSLLHOOKSTRUCT (valid during the call) and a blocked flag preset to false. An event the
//   callback leaves blocked is swallowed; every other one is passed on. No exception may leave
//   the callback.
// - Unloading the library removes the hooks it still holds.
#include <cstdint>

#ifdef QEL_HOOK_LIBRARY_BUILD
#define QEL_HOOK_EXPORT extern "C" __declspec(dllexport)
#else
#define QEL_HOOK_EXPORT extern "C" __declspec(dllimport)
#endif

using TuiHookCallback = void(__cdecl*)(void* AUserData, int AHookCode, uintptr_t AMessage, void* ARecord,
                                       bool* ABlocked);
using TEnableHookProc = int(__cdecl*)(TuiHookCallback ACallback, void* AUserData, int AReserved);
using TDisableHookProc = int(__cdecl*)();

QEL_HOOK_EXPORT int __cdecl EnableKeyboardHook(TuiHookCallback ACallback, void* AUserData, int AReserved);
QEL_HOOK_EXPORT int __cdecl DisableKeyboardHook();
QEL_HOOK_EXPORT int __cdecl EnableMouseHook(TuiHookCallback ACallback, void* AUserData, int AReserved);
QEL_HOOK_EXPORT int __cdecl DisableMouseHook();
