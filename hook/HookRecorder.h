#pragma once
// What the hook component makes of the low-level keyboard and mouse events, without the platform:
// the two watches with their hook-object filters, the five recording modes with their entry
// lists, and the queue of records that the worker thread hands to the main thread. Every
// callback takes the event record with its tick count; the combination also takes a key-state
// query. The Windows component feeds them from the hook library.
#include "framework/core/Event.h"
#include "framework/core/StringList.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

enum class TMouseButtons : uint8_t {
    BUTTON_NONE, LCLICK, RCLICK, MCLICK, XCLICK4, XCLICK5, WHEELUP, WHEELDOWN, BUTTONX1, BUTTONX2, BUTTONX3
};

// Each value is its mouse message number minus 0x200; OTHERFUNCTION has no message.
enum class TMouseButtonStates : uint8_t {
    MOUSEMOVE, LBUTTONDOWN, LBUTTONUP, LBUTTONDBLCLK, RBUTTONDOWN, RBUTTONUP, RBUTTONDBLCLK, MBUTTONDOWN,
    MBUTTONUP, MBUTTONDBLCLK, MOUSEWHEEL, XBUTTONDOWN, XBUTTONUP, XBUTTONDBLCLK, MOUSEHWHEEL, OTHERFUNCTION
};
// A set of TMouseButtonStates: bit n holds the state of value n.
using TMouseButtonStateSet = uint16_t;
constexpr TMouseButtonStateSet StateBit(TMouseButtonStates AState)
{
    return static_cast<TMouseButtonStateSet>(1u << static_cast<unsigned>(AState));
}

enum class TMouseStatesToHook : uint8_t { HOOK_DOWN, HOOK_UP };

// The platform's low-level event records, field for field.
struct TKBDLLHOOKSTRUCT {
    uint32_t vkCode;
    uint32_t scanCode;
    uint32_t flags;
    uint32_t time;
    uintptr_t dwExtraInfo;
};
struct TMSLLHOOKSTRUCT {
    int32_t x;
    int32_t y;
    uint32_t mouseData;
    uint32_t flags;
    uint32_t time;
    uintptr_t dwExtraInfo;
};

inline constexpr uint32_t kKeyFlagExtended = 0x01;
inline constexpr uint32_t kKeyFlagUp = 0x80;
inline constexpr uint32_t kMouseFlagInjected = 0x01;

// Mouse message numbers, as the hook library passes them.
inline constexpr uint32_t kWmMouseMove = 0x200, kWmLButtonDown = 0x201, kWmLButtonUp = 0x202,
                          kWmRButtonDown = 0x204, kWmRButtonUp = 0x205, kWmMButtonDown = 0x207,
                          kWmMButtonUp = 0x208, kWmMouseWheel = 0x20A, kWmXButtonDown = 0x20B,
                          kWmXButtonUp = 0x20C;

// Keyboard hook object: KeyboardVKKey 0 does not match by code, -1 ends the list;
// KeyboardSCANKey 0 does not match by scan code; block 1 swallows the matching key.
struct TKeyBoardHookDetail {
    int32_t KeyboardVKKey;
    int32_t KeyboardSCANKey;
    int32_t KeyExtended;
    int32_t block;
};
class TKeyBoardHookDetailObject : public TStringsObject {
public:
    explicit TKeyBoardHookDetailObject(const TKeyBoardHookDetail& ADetail) : FKeyBoardHookDetail(ADetail) {}
    TKeyBoardHookDetail FKeyBoardHookDetail;
};

// Mouse hook object: ModifiedFunction equal to the event's button means the button keeps its own
// function and is not reported; MouseStateToHook is carried, not matched.
struct TMouseHookDetail {
    TMouseButtons MouseButton;
    TMouseButtonStateSet MouseStateSet;
    TMouseButtons ModifiedFunction;
    TMouseStatesToHook MouseStateToHook;
};
class TMouseHookDetailObject : public TStringsObject {
public:
    explicit TMouseHookDetailObject(const TMouseHookDetail& ADetail) : FMouseHookDetail(ADetail) {}
    TMouseHookDetail FMouseHookDetail;
};

// nModifier bits: 1 Alt, 2 Ctrl, 4 Shift, 8 Windows key.
struct TCOMBOKEY {
    uint16_t nKeyValue1;
    uint16_t nKeyValue1Extended;
    uint16_t nKeyValue2;
    uint16_t nKeyValue2Extended;
    uint16_t nModifier;
    uint32_t nScanKey1;
    uint32_t nScanKey2;
};

// Entries of the macro lists. nKeyType 0 is a delay entry, 1 a key or button entry. Stored
// entries carry only their numbers: the texts and the time travel with the event raised for them.
struct TMACROKEYHOOK {
    uint16_t nKeyType;
    uint16_t nKeyState;
    uint16_t nKeyValue;
    uint16_t nKeyValueExtended;
    double Time;
    std::u16string MacroKeyString;
    std::u16string MacroKeyStateString;
};
struct TMOUSEMACROKEY {
    uint16_t nKeyType;
    uint16_t nKeyState;
    TMouseButtons MouseButton;
    uint16_t X;
    uint16_t Y;
    uint16_t TimeValue;
    double Time;
    std::u16string MacroKeyString;
    std::u16string MacroKeyStateString;
};
class TMacroKeyObject : public TStringsObject {
public:
    explicit TMacroKeyObject(const TMACROKEYHOOK& AKey) : FMacroKey(AKey) {}
    TMACROKEYHOOK FMacroKey;
};
class TMOUSEMacroKeyObject : public TStringsObject {
public:
    explicit TMOUSEMacroKeyObject(const TMOUSEMACROKEY& AKey) : FMOUSEMacroKey(AKey) {}
    TMOUSEMACROKEY FMOUSEMacroKey;
};

struct TMouseButtonString {
    TMouseButtons MouseButton;
    const char16_t* ButtonDescription;
};
// The button's name in recorded texts; the empty text for a button without one.
std::u16string MouseButtonName(TMouseButtons AButton);

// Kinds of the queued records.
inline constexpr uint8_t kMouseRecord = 0;
inline constexpr uint8_t kKeyboardRecord = 1;

// Events. Time parameters carry the event's millisecond tick count as a number.
using TOnHookKeyboardKey = TEvent<void(int Key, int AState, int AKeyExtended, bool& ABlocked, uint32_t AScanKey)>;
using TOnHookAllMouseButton = TEvent<void(TMouseButtons AuiButton, int AState, int16_t AExValue, bool& ABlocked)>;
using TOnHookMouseButton = TEvent<void(TMouseButtons AuiButton, int AState, bool& ABlocked)>;
using TOnHookMouseMove = TEvent<void(int X, int Y, double Time)>;
using TOnRecordKeyboardSingleKey = TEvent<void(int Key, uint32_t ScanKey, int AState, int AKeyExtended,
                                               const std::u16string& SingleKeyString, bool& ABlocked)>;
using TOnRecordKeyboardComboKey = TEvent<void(int Key1, int Key1Extended, int Key2, int Key2Extended, int Modifier,
                                              const std::u16string& ComboKeyString)>;
using TOnRecordKeyboardComboKey2 = TEvent<void(int Key1, int ScanKey1, int Key1Extended, int Key2, int ScanKey2,
                                               int Key2Extended, int Modifier, const std::u16string& ComboKeyString)>;
using TOnRecordKeyboardMacroKey =
    TEvent<void(int MacroType, int Key1, int AState, int Extended, double Time, const std::u16string& MacroKeyString,
                const std::u16string& MacroKeyStateString, TStringList& KeyList)>;
using TOnRecordKeyboardMacroKeyEx =
    TEvent<void(int MacroType, int Key1, int AState, int Extended, double Time, uint32_t TotalTime,
                const std::u16string& MacroKeyString, const std::u16string& MacroKeyStateString, TStringList& KeyList)>;
using TOnRecordMouseMacroKey =
    TEvent<void(int MacroType, TMouseButtons AButton, int AState, uint16_t X, uint16_t Y, double Time,
                const std::u16string& MacroKeyString, const std::u16string& MacroKeyStateString,
                TStringList& MouseRecordList)>;
// The handler may keep the entries by moving the list's content into a list of its own; what it
// leaves is released when the handler returns.
using TOnStopRecordKeyboardMacroKey = TEvent<void(TStringList& KeyoboardRecordList)>;
using TOnStopRecordMouseMacroKey = TEvent<void(TStringList& MouseRecordList)>;

// The platform's key-state query: bit 0x80 of the answer is set while the key is held.
using TKeyStateQuery = std::function<int16_t(int AVirtualKey)>;

class THookRecorder {
public:
    THookRecorder() = default;
    virtual ~THookRecorder() = default;
    THookRecorder(const THookRecorder&) = delete;
    THookRecorder& operator=(const THookRecorder&) = delete;

    TOnRecordKeyboardSingleKey OnRecordKeyboardSingleKey;
    TOnRecordKeyboardComboKey OnRecordKeyboardComboKey;
    TOnRecordKeyboardComboKey2 OnRecordKeyboardComboKey2;
    TOnRecordKeyboardMacroKey OnRecordKeyboardMacroKey;
    TOnRecordKeyboardMacroKeyEx OnRecordKeyboardMacroKeyEx;
    TOnStopRecordKeyboardMacroKey OnStopRecordKeyboardMacroKey;
    TOnStopRecordMouseMacroKey OnStopRecordMouseMacroKey;
    TOnRecordMouseMacroKey OnRecordMouseMacroKey;
    TOnHookKeyboardKey OnHookKeyboardKey;
    TOnHookMouseButton OnHookMouseButton;
    TOnHookKeyboardKey OnHookKeyboardAllKey;
    TOnHookAllMouseButton OnHookMouseAllButton;
    TOnHookMouseMove OnHookMouseMove;

    // Hook objects, owned from here on; they are matched in the order they were added.
    void AddKeyboardHookObject(std::unique_ptr<TKeyBoardHookDetailObject> AObject);
    void RemoveAllKeyboardHookObject() { FKeyboardHookObjectList.Clear(); }
    void AddMouseHookObject(std::unique_ptr<TMouseHookDetailObject> AObject);
    void RemoveAllMouseHookObject() { FMouseHookObjectList.Clear(); }

    // The callbacks, one per mode; ABlocked comes in false and swallows the event when left true.
    void KeyboardWatch(int AHookCode, const TKBDLLHOOKSTRUCT& AKey, bool& ABlocked);
    void MouseWatch(uint32_t AMessage, const TMSLLHOOKSTRUCT& AMouse, bool& ABlocked);
    void RecordSingleKey(const TKBDLLHOOKSTRUCT& AKey, bool& ABlocked);
    void RecordComboKey(const TKBDLLHOOKSTRUCT& AKey, bool& ABlocked, const TKeyStateQuery& AKeyState);
    void RecordMacroKey(const TKBDLLHOOKSTRUCT& AKey, bool& ABlocked);
    void RecordMacroKeyEx(const TKBDLLHOOKSTRUCT& AKey, bool& ABlocked);
    void RecordMouseMacroKey(uint32_t AMessage, const TMSLLHOOKSTRUCT& AMouse);

    // The state changes of the record and stop operations.
    void ResetComboTime() { FLastTimeKeyboardCombo = 0; }
    void BeginKeyboardMacro();
    void BeginKeyboardMacroEx();
    void EndKeyboardMacro();
    void BeginMouseMacro();
    void EndMouseMacro();

    // Queues a record for the main thread: a block of the kind byte and the entry's address,
    // unaligned. The producer keeps the entry alive until it has been handed on.
    void QueueRecordData(uint8_t AKind, const TStringsObject* AEntry);
    // Hands every queued record on as a macro event, in order, on the calling (main) thread.
    // Virtual so that a test can count the hand-overs.
    virtual void ProcessDataEvent();

    const TCOMBOKEY& ComboKeyInfo() const { return FComboKeyInfo; }
    const std::u16string& ComboKeyString() const { return FComboKeyString; }
    TStringList& MacroKeyList() { return FMacroKeyList; }
    TStringList& MouseMacroKeyList() { return FMouseMacroKeyList; }
    int KeyboardHookObjectCount() const { return FKeyboardHookObjectList.Count(); }
    int MouseHookObjectCount() const { return FMouseHookObjectList.Count(); }

private:
    void AddKeyEntry(uint16_t AType, uint16_t AState, uint16_t AValue, uint16_t AExtended);

    TCOMBOKEY FComboKeyInfo{};
    std::u16string FComboKeyString;
    TStringList FMacroKeyList;
    TStringList FMouseMacroKeyList;
    TStringList FKeyboardHookObjectList;
    TStringList FMouseHookObjectList;
    std::mutex FRecordDataLock;
    std::vector<std::unique_ptr<uint8_t[]>> FRecordDataToProcessList;
    uint32_t FLastTimeKeyboardMacro = 0;
    uint32_t FLastTimeKeyboardCombo = 0;
    uint32_t FLastTimeMouseMacro = 0;
    uint32_t FTotalMacroTime = 0;
    TKBDLLHOOKSTRUCT FLastMacroKey{};
    uint8_t FAllKeyState[256] = {};
};
