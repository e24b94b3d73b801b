#include "hook/HookRecorder.h"

#include "framework/core/Text.h"
#include "hook/KeyboardKeyTable.h"

#include <algorithm>
#include <cstring>

namespace {

const TMouseButtonString kButtonNames[] = {
    {TMouseButtons::LCLICK, u"Mouse Click"},
    {TMouseButtons::RCLICK, u"Mouse Right Click"},
    {TMouseButtons::MCLICK, u"Mouse Middle Click"},
    {TMouseButtons::XCLICK4, u"Backward(Mouse) "},
    {TMouseButtons::XCLICK5, u"Forward(Mouse)"},
    {TMouseButtons::WHEELUP, u"Wheel up(Mouse)"},
    {TMouseButtons::WHEELDOWN, u"Wheel Down(Mouse)"},
};

int KeyState(const TKBDLLHOOKSTRUCT& AKey) { return (AKey.flags & kKeyFlagUp) ? 0 : 1; }
int KeyExtended(const TKBDLLHOOKSTRUCT& AKey) { return (AKey.flags & kKeyFlagExtended) ? 1 : 0; }
const char16_t* StateText(int AState) { return AState ? u"Down" : u"Up"; }

bool ButtonReleased(uint32_t AMessage)
{
    return AMessage == kWmLButtonUp || AMessage == kWmRButtonUp || AMessage == kWmMButtonUp ||
           AMessage == kWmXButtonUp;
}

// The signed high word of mouseData: the wheel delta, or the X button's number.
int16_t HighWord(uint32_t AMouseData) { return static_cast<int16_t>(static_cast<uint16_t>(AMouseData >> 16)); }

TMouseButtons ClickButton(uint32_t AMessage, int16_t AHighWord)
{
    switch (AMessage) {
    case kWmLButtonDown:
    case kWmLButtonUp: return TMouseButtons::LCLICK;
    case kWmRButtonDown:
    case kWmRButtonUp: return TMouseButtons::RCLICK;
    case kWmMButtonDown:
    case kWmMButtonUp: return TMouseButtons::MCLICK;
    case kWmXButtonDown:
    case kWmXButtonUp:
        return AHighWord == 1 ? TMouseButtons::XCLICK4 : AHighWord == 2 ? TMouseButtons::XCLICK5 : TMouseButtons::BUTTON_NONE;
    default: return TMouseButtons::BUTTON_NONE;
    }
}

bool IsModifierKey(uint32_t ACode) { return (ACode >= 0xA0 && ACode <= 0xA5) || ACode == 0x5B || ACode == 0x5C; }

constexpr uint32_t kComboWindowMs = 100;
constexpr uint32_t kMacroMinDelayMs = 10, kMacroMaxDelayMs = 2000;
constexpr int kMacroExMaxEntries = 500;
constexpr uint32_t kMaxDelayEntry = 65535;

}  // namespace

std::u16string MouseButtonName(TMouseButtons AButton)
{
    for (const TMouseButtonString& row : kButtonNames)
        if (row.MouseButton == AButton) return row.ButtonDescription;
    return {};
}

void THookRecorder::AddKeyboardHookObject(std::unique_ptr<TKeyBoardHookDetailObject> AObject)
{
    std::u16string name = IntToStr(AObject->FKeyBoardHookDetail.KeyboardVKKey);
    FKeyboardHookObjectList.AddObject(std::move(name), std::move(AObject));
}

void THookRecorder::AddMouseHookObject(std::unique_ptr<TMouseHookDetailObject> AObject)
{
    std::u16string name = IntToStr(static_cast<int>(AObject->FMouseHookDetail.MouseButton));
    FMouseHookObjectList.AddObject(std::move(name), std::move(AObject));
}

void THookRecorder::KeyboardWatch(int AHookCode, const TKBDLLHOOKSTRUCT& AKey, bool& ABlocked)
{
    if (AHookCode != 0) return;
    const int state = KeyState(AKey), extended = KeyExtended(AKey);
    const int code = static_cast<int>(AKey.vkCode);
    OnHookKeyboardAllKey(code, state, extended, ABlocked, AKey.scanCode);
    if (!OnHookKeyboardKey.Assigned()) return;
    for (int i = 0; i < FKeyboardHookObjectList.Count(); ++i) {
        const TKeyBoardHookDetail& d =
            static_cast<TKeyBoardHookDetailObject*>(FKeyboardHookObjectList.Objects(i))->FKeyBoardHookDetail;
        if (d.KeyboardVKKey == -1) return;
        const bool byCode = d.KeyboardVKKey != 0 && d.KeyboardVKKey == code;
        const bool byScan = d.KeyboardSCANKey != 0 && static_cast<uint32_t>(d.KeyboardSCANKey) == AKey.scanCode;
        if ((byCode || byScan) && d.KeyExtended == extended) {
            if (d.block == 1) ABlocked = true;
            OnHookKeyboardKey(code, state, extended, ABlocked, AKey.scanCode);
            return;
        }
    }
}

void THookRecorder::MouseWatch(uint32_t AMessage, const TMSLLHOOKSTRUCT& AMouse, bool& ABlocked)
{
    const bool injected = (AMouse.flags & kMouseFlagInjected) != 0;
    if (AMessage == kWmMouseMove) {
        if (!injected) OnHookMouseMove(AMouse.x, AMouse.y, static_cast<double>(AMouse.time));
        ABlocked = false;
        return;
    }
    if (injected) return;
    const int state = ButtonReleased(AMessage) ? 0 : 1;
    const int16_t high = HighWord(AMouse.mouseData);
    TMouseButtons button = ClickButton(AMessage, high);
    int16_t extra = 0;
    if (AMessage == kWmXButtonDown || AMessage == kWmXButtonUp) extra = high;
    if (AMessage == kWmMouseWheel) {
        extra = high;
        button = high > 0 ? TMouseButtons::WHEELUP : high < 0 ? TMouseButtons::WHEELDOWN : TMouseButtons::BUTTON_NONE;
    }
    OnHookMouseAllButton(button, state, extra, ABlocked);
    if (!OnHookMouseButton.Assigned()) return;
    const uint32_t stateValue = AMessage - kWmMouseMove;
    if (stateValue > 15) return;
    for (int i = 0; i < FMouseHookObjectList.Count(); ++i) {
        const TMouseHookDetail& d = static_cast<TMouseHookDetailObject*>(FMouseHookObjectList.Objects(i))->FMouseHookDetail;
        if ((d.MouseStateSet & (1u << stateValue)) == 0 || d.MouseButton < button) continue;
        if (d.ModifiedFunction != button) OnHookMouseButton(button, state, ABlocked);
        return;
    }
}

void THookRecorder::RecordSingleKey(const TKBDLLHOOKSTRUCT& AKey, bool& ABlocked)
{
    const int extended = KeyExtended(AKey);
    OnRecordKeyboardSingleKey(static_cast<int>(AKey.vkCode), AKey.scanCode, KeyState(AKey), extended,
                              GetKeyDescription(static_cast<int>(AKey.vkCode), extended), ABlocked);
}

void THookRecorder::RecordComboKey(const TKBDLLHOOKSTRUCT& AKey, bool& ABlocked, const TKeyStateQuery& AKeyState)
{
    const bool first = OnRecordKeyboardComboKey.Assigned();
    if (!first && !OnRecordKeyboardComboKey2.Assigned()) return;
    if (KeyState(AKey) == 0 || IsModifierKey(AKey.vkCode)) return;

    TCOMBOKEY& c = FComboKeyInfo;
    FComboKeyString.clear();
    c.nModifier = 0;
    if (c.nKeyValue1 != 0 && c.nKeyValue2 != 0) {
        c.nKeyValue1 = c.nKeyValue2 = 0;
        c.nScanKey1 = c.nScanKey2 = 0;
    }
    auto held = [&](int ALeft, int ARight) {
        return (AKeyState(ALeft) & 0x80) != 0 || (AKeyState(ARight) & 0x80) != 0;
    };
    struct TModifier {
        int Left, Right;
        uint16_t Bit;
        const char16_t* Text;
    };
    static constexpr TModifier modifiers[] = {
        {0xA2, 0xA3, 2, u"Ctrl+"}, {0xA4, 0xA5, 1, u"Alt+"}, {0x5B, 0x5C, 8, u"Win+"}, {0xA0, 0xA1, 4, u"Shift+"}};
    for (const TModifier& m : modifiers) {
        if (!held(m.Left, m.Right)) continue;
        c.nModifier = static_cast<uint16_t>(c.nModifier | m.Bit);
        FComboKeyString += m.Text;
    }

    const auto code = static_cast<uint16_t>(AKey.vkCode);
    const auto extended = static_cast<uint16_t>(KeyExtended(AKey));
    auto setFirst = [&] {
        c.nKeyValue1 = code;
        c.nKeyValue1Extended = extended;
        c.nScanKey1 = AKey.scanCode;
        c.nKeyValue2 = 0;
        c.nScanKey2 = 0;
    };
    // The smaller of the two unsigned differences: the distance to a tick before the last one,
    // and the true length of an interval across the tick count's wrap.
    const uint32_t interval = std::min(AKey.time - FLastTimeKeyboardCombo, FLastTimeKeyboardCombo - AKey.time);
    if (interval > kComboWindowMs || c.nKeyValue1 == 0) {
        setFirst();
    } else if (c.nKeyValue2 == 0) {
        if (code != c.nKeyValue1) {
            c.nKeyValue2 = code;
            c.nKeyValue2Extended = extended;
            c.nScanKey2 = AKey.scanCode;
        } else {
            setFirst();
        }
    }
    FLastTimeKeyboardCombo = AKey.time;

    std::u16string text = GetKeyDescription(c.nKeyValue1, c.nKeyValue1Extended);
    const bool second = c.nKeyValue2 != 0;
    if (second) text += u"+" + GetKeyDescription(c.nKeyValue2, c.nKeyValue2Extended);
    if (!text.empty()) {
        FComboKeyString += text;
        const int ext2 = second ? c.nKeyValue2Extended : 0;
        if (first)
            OnRecordKeyboardComboKey(c.nKeyValue1, c.nKeyValue1Extended, c.nKeyValue2, ext2, c.nModifier, FComboKeyString);
        else
            OnRecordKeyboardComboKey2(c.nKeyValue1, static_cast<int>(c.nScanKey1), c.nKeyValue1Extended, c.nKeyValue2,
                                      static_cast<int>(c.nScanKey2), ext2, c.nModifier, FComboKeyString);
    }
    ABlocked = true;
}

void THookRecorder::AddKeyEntry(uint16_t AType, uint16_t AState, uint16_t AValue, uint16_t AExtended)
{
    FMacroKeyList.AddObject(IntToStr(FMacroKeyList.Count()),
                            std::make_unique<TMacroKeyObject>(TMACROKEYHOOK{AType, AState, AValue, AExtended, 0, {}, {}}));
}

void THookRecorder::RecordMacroKey(const TKBDLLHOOKSTRUCT& AKey, bool& ABlocked)
{
    if (!OnRecordKeyboardMacroKey.Assigned()) return;
    const double time = AKey.time;
    if (FLastTimeKeyboardMacro == 0) {
        FLastTimeKeyboardMacro = AKey.time;
    } else {
        const uint32_t delay = AKey.time - FLastTimeKeyboardMacro;
        if (delay > kMacroMinDelayMs && delay < kMacroMaxDelayMs) {
            AddKeyEntry(0, 0, static_cast<uint16_t>(delay), 0);
            OnRecordKeyboardMacroKey(0, static_cast<int>(delay), 0, 0, time, IntToStr(delay), u"ms", FMacroKeyList);
        }
        FLastTimeKeyboardMacro = AKey.time;
    }
    const int state = KeyState(AKey), extended = KeyExtended(AKey), code = static_cast<int>(AKey.vkCode);
    AddKeyEntry(1, static_cast<uint16_t>(state), static_cast<uint16_t>(code), static_cast<uint16_t>(extended));
    OnRecordKeyboardMacroKey(1, code, state, extended, time, GetKeyDescription(code, extended), StateText(state),
                             FMacroKeyList);
    ABlocked = true;
}

void THookRecorder::RecordMacroKeyEx(const TKBDLLHOOKSTRUCT& AKey, bool& ABlocked)
{
    if (!OnRecordKeyboardMacroKeyEx.Assigned()) return;
    if (FMacroKeyList.Count() > kMacroExMaxEntries) return;
    const int state = KeyState(AKey), extended = KeyExtended(AKey), code = static_cast<int>(AKey.vkCode);
    // Codes beyond the 256 flags are recorded but never count as held.
    uint8_t ignored = 0;
    uint8_t& held = AKey.vkCode < 256 ? FAllKeyState[AKey.vkCode] : ignored;

    bool newEvent = false;
    if (FLastMacroKey.vkCode == 0) {
        FLastMacroKey = AKey;
        FTotalMacroTime = 0;
    } else {
        const bool same = FLastMacroKey.vkCode == AKey.vkCode &&
                          ((FLastMacroKey.flags ^ AKey.flags) & (kKeyFlagExtended | kKeyFlagUp)) == 0;
        FTotalMacroTime = AKey.time - FLastMacroKey.time;
        // A repeated press is the key held down: its time runs on from the first press.
        if (!(same && state == 1)) {
            FLastMacroKey = AKey;
            if (state == 0) held = 0;
            newEvent = true;
        }
    }
    if (newEvent && FTotalMacroTime > 0) {
        if (FTotalMacroTime > kMaxDelayEntry) FTotalMacroTime = kMaxDelayEntry;
        AddKeyEntry(0, 0, static_cast<uint16_t>(FTotalMacroTime), 0);
    }
    if (held == 0) {
        if (state == 1) held = 1;
        AddKeyEntry(1, static_cast<uint16_t>(state), static_cast<uint16_t>(code), static_cast<uint16_t>(extended));
        OnRecordKeyboardMacroKeyEx(1, code, state, extended, AKey.time, FTotalMacroTime,
                                   GetKeyDescription(code, extended), StateText(state), FMacroKeyList);
    }
    ABlocked = true;
}

void THookRecorder::RecordMouseMacroKey(uint32_t AMessage, const TMSLLHOOKSTRUCT& AMouse)
{
    if (!OnRecordMouseMacroKey.Assigned() || (AMouse.flags & kMouseFlagInjected)) return;
    const int state = ButtonReleased(AMessage) ? 0 : 1;
    const int16_t high = HighWord(AMouse.mouseData);
    TMouseButtons button = ClickButton(AMessage, high);
    // Towards the user is "up" here, the opposite of the watch.
    if (AMessage == kWmMouseWheel)
        button = high < 0 ? TMouseButtons::WHEELUP : high > 0 ? TMouseButtons::WHEELDOWN : TMouseButtons::BUTTON_NONE;
    const auto x = static_cast<uint16_t>(AMouse.x), y = static_cast<uint16_t>(AMouse.y);
    const double time = AMouse.time;

    uint16_t timeValue = 0;
    if (FLastTimeMouseMacro == 0) {
        FLastTimeMouseMacro = AMouse.time;
    } else {
        if (FLastTimeMouseMacro > AMouse.time) {
            FLastTimeMouseMacro = AMouse.time;
            return;
        }
        const uint32_t delay = AMouse.time - FLastTimeMouseMacro;
        FLastTimeMouseMacro = AMouse.time;
        timeValue = static_cast<uint16_t>(delay);
        FMouseMacroKeyList.AddObject(
            IntToStr(FMouseMacroKeyList.Count()),
            std::make_unique<TMOUSEMacroKeyObject>(TMOUSEMACROKEY{0, 0, TMouseButtons::BUTTON_NONE, x, y, timeValue, 0, {}, {}}));
        OnRecordMouseMacroKey(0, TMouseButtons::BUTTON_NONE, 0, x, y, time, IntToStr(delay), u"ms", FMouseMacroKeyList);
    }
    if (button == TMouseButtons::BUTTON_NONE) return;
    FMouseMacroKeyList.AddObject(
        IntToStr(FMouseMacroKeyList.Count()),
        std::make_unique<TMOUSEMacroKeyObject>(
            TMOUSEMACROKEY{1, static_cast<uint16_t>(state), button, x, y, timeValue, 0, {}, {}}));
    OnRecordMouseMacroKey(1, button, state, x, y, time, MouseButtonName(button), StateText(state), FMouseMacroKeyList);
}

void THookRecorder::BeginKeyboardMacro()
{
    FMacroKeyList.Clear();
    FLastTimeKeyboardMacro = 0;
}

void THookRecorder::BeginKeyboardMacroEx()
{
    FLastMacroKey = {};
    FTotalMacroTime = 0;
    std::memset(FAllKeyState, 0, sizeof FAllKeyState);
    FMacroKeyList.Clear();
}

void THookRecorder::EndKeyboardMacro()
{
    OnStopRecordKeyboardMacroKey(FMacroKeyList);
    FMacroKeyList.Clear();
}

void THookRecorder::BeginMouseMacro()
{
    FMouseMacroKeyList.Clear();
    FLastTimeMouseMacro = 0;
}

void THookRecorder::EndMouseMacro() { OnStopRecordMouseMacroKey(FMouseMacroKeyList); }

void THookRecorder::QueueRecordData(uint8_t AKind, const TStringsObject* AEntry)
{
    auto block = std::make_unique<uint8_t[]>(1 + sizeof AEntry);
    block[0] = AKind;
    std::memcpy(block.get() + 1, &AEntry, sizeof AEntry);
    std::lock_guard lock(FRecordDataLock);
    FRecordDataToProcessList.push_back(std::move(block));
}

void THookRecorder::ProcessDataEvent()
{
    std::vector<std::unique_ptr<uint8_t[]>> items;
    {
        std::lock_guard lock(FRecordDataLock);
        items.swap(FRecordDataToProcessList);
    }
    for (const auto& item : items) {
        if (!item) continue;
        const TStringsObject* entry;
        std::memcpy(&entry, item.get() + 1, sizeof entry);
        if (item[0] == kKeyboardRecord) {
            const auto* key = dynamic_cast<const TMacroKeyObject*>(entry);
            if (!key) continue;
            const TMACROKEYHOOK& k = key->FMacroKey;
            OnRecordKeyboardMacroKey(k.nKeyType, k.nKeyValue, k.nKeyState, k.nKeyValueExtended, k.Time,
                                     k.MacroKeyString, k.MacroKeyStateString, FMacroKeyList);
        } else if (item[0] == kMouseRecord) {
            const auto* mouse = dynamic_cast<const TMOUSEMacroKeyObject*>(entry);
            if (!mouse) continue;
            const TMOUSEMACROKEY& m = mouse->FMOUSEMacroKey;
            OnRecordMouseMacroKey(m.nKeyType, m.MouseButton, m.nKeyState, m.X, m.Y, m.Time, m.MacroKeyString,
                                  m.MacroKeyStateString, FMouseMacroKeyList);
        }
    }
}
