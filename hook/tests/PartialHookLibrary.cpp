// A hook library that lacks one of the four exports (the one named by QEL_HOOK_WITHOUT_...): the
// component must not take it. The exports it has do nothing.
#include "hook/HookLibrary.h"

#ifndef QEL_HOOK_WITHOUT_EnableKeyboardHook
int __cdecl EnableKeyboardHook(TuiHookCallback, void*, int) { return 0; }
#endif
#ifndef QEL_HOOK_WITHOUT_DisableKeyboardHook
int __cdecl DisableKeyboardHook() { return 0; }
#endif
#ifndef QEL_HOOK_WITHOUT_EnableMouseHook
int __cdecl EnableMouseHook(TuiHookCallback, void*, int) { return 0; }
#endif
#ifndef QEL_HOOK_WITHOUT_DisableMouseHook
int __cdecl DisableMouseHook() { return 0; }
#endif
