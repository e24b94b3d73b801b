#pragma once
// The hook component: watches keyboard and mouse system-wide through the hook library uiHook.dll
// beside the program, and records keys, key combinations and macros (THookRecorder). It loads the
// library when created; without it, it shows an error box once per component and stays inert.
#include "framework/core/Component.h"
#include "framework/win/Handle.h"
#include "framework/win/Thread.h"
#include "hook/HookLibrary.h"
#include "hook/HookRecorder.h"

#include <memory>

class TForm;

class TuiHook : public TComponent, public THookRecorder {
public:
    explicit TuiHook(TComponent* AOwner);
    ~TuiHook() override;

    bool DLLLoaded() const { return FDLLLoaded; }

    void StartHookKeyboard();
    void StopHookKeyboard();
    void StartHookMouse();
    void StopHookMouse();

    void RecordKeyboardSingleKey();
    void StopRecordKeyboardSingleKey();
    void RecordKeyboardComboKey();
    void StopRecordKeyboardComboKey();
    void RecordKeyboardMacroKey();
    void RecordKeyboardMacroKeyEx();
    void StopRecordKeyboardMacroKey();
    void StopRecordKeyboardMacroKeyEx() { StopRecordKeyboardMacroKey(); }
    void RecordMouseMacro();
    void StopRecordMouseMacro();

    // Outside design mode only.
    void AddKeyboardHookObject(std::unique_ptr<TKeyBoardHookDetailObject> AObject);
    void RemoveAllKeyboardHookObject();
    void AddMouseHookObject(std::unique_ptr<TMouseHookDetailObject> AObject);
    void RemoveAllMouseHookObject();

    // Queues a record for the main thread and wakes the worker, which hands it over there
    // (ProcessDataEvent). Any thread.
    void QueueRecordData(uint8_t AKind, const TStringsObject* AEntry);

    TForm* FormOwner() const { return FOwner; }

private:
    class TDataEventThread;

    void EnableKeyboard(TuiHookCallback ACallback);
    void DisableKeyboard();
    void EnableMouse(TuiHookCallback ACallback);
    void DisableMouse();

    TForm* FOwner = nullptr;
    bool FDLLLoaded = false;
    THandleOwner FGlobalEvent;
    THandleOwner FGlobalDataEvent;
    std::unique_ptr<TDataEventThread> FIdThreadComponentDataEvent;
};
