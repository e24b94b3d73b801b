#pragma once
// The hook component: watches keyboard and mouse system-wide through the hook library uiHook.dll
// beside the program, and records keys, key combinations and macros (THookRecorder). It loads the
// library when created; without it, it shows an error box once per component and stays inert.
#include "framework/core/Component.h"
#include "framework/win/Handle.h"
#include "framework/win/Thread.h"
#include "framework/win/UtilityWindow.h"
#include "hook/HookLibrary.h"
#include "hook/HookRecorder.h"

#include <exception>
#include <memory>
#include <mutex>
#include <vector>

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

    // An exception that a handler let out inside a hook callback: reported the standard way once
    // the callback has returned, from the message loop of the thread that made the component. A
    // message box inside a low-level hook would hold up all input until it is closed.
    void ReportHandlerException(std::exception_ptr AException);

private:
    class TDataEventThread;

    void EnableKeyboard(TuiHookCallback ACallback);
    void DisableKeyboard();
    void EnableMouse(TuiHookCallback ACallback);
    void DisableMouse();
    void ReportPendingExceptions();

    TForm* FOwner = nullptr;
    bool FDLLLoaded = false;
    THandleOwner FGlobalEvent;
    THandleOwner FGlobalDataEvent;
    std::unique_ptr<TDataEventThread> FIdThreadComponentDataEvent;
    std::unique_ptr<TUtilityWindow> FReportWindow;
    // Exceptions of the hook callbacks, taken up by the report window on its own thread.
    std::mutex FPendingLock;
    std::vector<std::exception_ptr> FPendingExceptions;
};
