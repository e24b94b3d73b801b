#include "hook/HookRecorder.h"

#include "framework/core/Text.h"

#include <gtest/gtest.h>

#include <span>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Every event the recorder raises, written as one line, so that a case is its input and the lines.
struct TLog {
    std::vector<std::string> Lines;
    void Add(const std::ostringstream& s) { Lines.push_back(s.str()); }
};

std::string U8(const std::u16string& AText) { return Utf8FromUtf16(AText); }

void BindAll(THookRecorder& r, TLog& log)
{
    r.OnRecordKeyboardComboKey.Bind([&](int k1, int e1, int k2, int e2, int m, const std::u16string& t) {
        std::ostringstream s;
        s << "combo " << k1 << ' ' << e1 << ' ' << k2 << ' ' << e2 << " m" << m << " '" << U8(t) << "'";
        log.Add(s);
    });
    r.OnRecordKeyboardMacroKey.Bind([&](int type, int key, int state, int ext, double time, const std::u16string& a,
                                        const std::u16string& b, TStringList& list) {
        std::ostringstream s;
        s << "macro " << type << ' ' << key << ' ' << state << ' ' << ext << " t" << time << " '" << U8(a) << "' '"
          << U8(b) << "' n" << list.Count();
        log.Add(s);
    });
    r.OnRecordKeyboardMacroKeyEx.Bind([&](int type, int key, int state, int ext, double time, uint32_t total,
                                          const std::u16string& a, const std::u16string& b, TStringList& list) {
        std::ostringstream s;
        s << "macroex " << type << ' ' << key << ' ' << state << ' ' << ext << " t" << time << " total" << total
          << " '" << U8(a) << "' '" << U8(b) << "' n" << list.Count();
        log.Add(s);
    });
    r.OnRecordMouseMacroKey.Bind([&](int type, TMouseButtons button, int state, uint16_t x, uint16_t y, double time,
                                     const std::u16string& a, const std::u16string& b, TStringList& list) {
        std::ostringstream s;
        s << "mouse " << type << ' ' << static_cast<int>(button) << ' ' << state << ' ' << x << ',' << y << " t"
          << time << " '" << U8(a) << "' '" << U8(b) << "' n" << list.Count();
        log.Add(s);
    });
}

// Keyboard macro entries as "type/state/value/extended".
std::vector<std::string> KeyEntries(TStringList& AList)
{
    std::vector<std::string> out;
    for (int i = 0; i < AList.Count(); ++i) {
        EXPECT_EQ(AList.Strings(i), IntToStr(i));
        const TMACROKEYHOOK& k = static_cast<TMacroKeyObject*>(AList.Objects(i))->FMacroKey;
        EXPECT_EQ(k.Time, 0);
        EXPECT_TRUE(k.MacroKeyString.empty() && k.MacroKeyStateString.empty());
        out.push_back(std::to_string(k.nKeyType) + "/" + std::to_string(k.nKeyState) + "/" + std::to_string(k.nKeyValue) +
                      "/" + std::to_string(k.nKeyValueExtended));
    }
    return out;
}

// Mouse macro entries as "type/state/button/x,y/timevalue".
std::vector<std::string> MouseEntries(TStringList& AList)
{
    std::vector<std::string> out;
    for (int i = 0; i < AList.Count(); ++i) {
        EXPECT_EQ(AList.Strings(i), IntToStr(i));
        const TMOUSEMACROKEY& m = static_cast<TMOUSEMacroKeyObject*>(AList.Objects(i))->FMOUSEMacroKey;
        out.push_back(std::to_string(m.nKeyType) + "/" + std::to_string(m.nKeyState) + "/" +
                      std::to_string(static_cast<int>(m.MouseButton)) + "/" + std::to_string(m.X) + "," +
                      std::to_string(m.Y) + "/" + std::to_string(m.TimeValue));
    }
    return out;
}

struct TKey {
    uint32_t Code;
    bool Extended;
    bool Up;
    uint32_t Tick;
    const char* Held = "";  // modifiers held meanwhile: C(trl) A(lt) W(in) S(hift), right-hand in lower case
};

TKBDLLHOOKSTRUCT KeyRecord(const TKey& AKey)
{
    return {AKey.Code, AKey.Code & 0x7F, (AKey.Extended ? kKeyFlagExtended : 0u) | (AKey.Up ? kKeyFlagUp : 0u),
            AKey.Tick, 0};
}

TKeyStateQuery Held(const std::string& AHeld)
{
    return [AHeld](int vk) -> int16_t {
        const std::pair<char, int> keys[] = {{'C', 0xA2}, {'c', 0xA3}, {'A', 0xA4}, {'a', 0xA5},
                                             {'W', 0x5B}, {'w', 0x5C}, {'S', 0xA0}, {'s', 0xA1}};
        for (auto [letter, code] : keys)
            if (code == vk && AHeld.find(letter) != std::string::npos) return static_cast<int16_t>(0xFF80);
        return 1;  // the toggle bit alone is not "held"
    };
}

struct TKeyCase {
    const char* Name;
    std::vector<TKey> Keys;
    std::vector<std::string> Lines;
    std::string Blocked;  // one character per key: B swallowed, - passed on
};

TEST(RecordComboKey, SequencesOfKeysAndModifiers)
{
    const TKeyCase cases[] = {
        {"Ctrl and Shift with the dedicated Insert",
         {{0x2D, true, false, 1000, "CS"}},
         {"combo 45 1 0 0 m6 'Ctrl+Shift+INS'"},
         "B"},
        {"Ctrl and Shift with the numeric pad's Insert",
         {{0x2D, false, false, 1000, "cs"}},
         {"combo 45 0 0 0 m6 'Ctrl+Shift+Keypad 0 Insert'"},
         "B"},
        {"every modifier, in the fixed order",
         {{0x41, false, false, 1000, "SWAC"}},
         {"combo 65 0 0 0 m15 'Ctrl+Alt+Win+Shift+A'"},
         "B"},
        {"A then B within 100 ms, then C",
         {{0x41, false, false, 1000}, {0x42, false, false, 1060}, {0x43, false, false, 1120}},
         {"combo 65 0 0 0 m0 'A'", "combo 65 0 66 0 m0 'A+B'", "combo 67 0 0 0 m0 'C'"},
         "BBB"},
        {"A twice within 100 ms keeps one key",
         {{0x41, false, false, 1000}, {0x41, false, false, 1050}},
         {"combo 65 0 0 0 m0 'A'", "combo 65 0 0 0 m0 'A'"},
         "BB"},
        {"B 150 ms after A stands alone",
         {{0x41, false, false, 1000}, {0x42, false, false, 1150}},
         {"combo 65 0 0 0 m0 'A'", "combo 66 0 0 0 m0 'B'"},
         "BB"},
        {"exactly 100 ms still joins",
         {{0x41, false, false, 1000}, {0x42, false, false, 1100}},
         {"combo 65 0 0 0 m0 'A'", "combo 65 0 66 0 m0 'A+B'"},
         "BB"},
        {"a lone Shift raises nothing and passes; Shift held with 1",
         {{0xA0, false, false, 1000}, {0x31, false, false, 1040, "S"}},
         {"combo 49 0 0 0 m4 'Shift+1'"},
         "-B"},
        {"releases and the right-hand modifiers pass untouched",
         {{0x41, false, true, 1000}, {0xA5, true, false, 1010}, {0x5C, true, false, 1020}},
         {},
         "---"},
        {"an interval across the tick count's wrap is its true length",
         {{0x41, false, false, 0xFFFFFFF0u}, {0x42, false, false, 0x20}},
         {"combo 65 0 0 0 m0 'A'", "combo 65 0 66 0 m0 'A+B'"},
         "BB"},
        {"a tick 40 ms before the last one is 40 ms away",
         {{0x41, false, false, 1000}, {0x42, false, false, 960}},
         {"combo 65 0 0 0 m0 'A'", "combo 65 0 66 0 m0 'A+B'"},
         "BB"},
        {"a tick 150 ms before the last one stands alone",
         {{0x41, false, false, 1000}, {0x42, false, false, 850}},
         {"combo 65 0 0 0 m0 'A'", "combo 66 0 0 0 m0 'B'"},
         "BB"},
        {"across the wrap backwards",
         {{0x41, false, false, 0x20}, {0x42, false, false, 0xFFFFFFF0u}},
         {"combo 65 0 0 0 m0 'A'", "combo 65 0 66 0 m0 'A+B'"},
         "BB"},
        {"a key without a name raises nothing but is swallowed",
         {{0x00, false, false, 1000, "C"}},
         {},
         "B"},
    };
    for (const TKeyCase& c : cases) {
        SCOPED_TRACE(c.Name);
        THookRecorder r;
        TLog log;
        BindAll(r, log);
        std::string blocked;
        for (const TKey& k : c.Keys) {
            bool b = false;
            r.RecordComboKey(KeyRecord(k), b, Held(k.Held));
            blocked += b ? 'B' : '-';
        }
        EXPECT_EQ(log.Lines, c.Lines);
        EXPECT_EQ(blocked, c.Blocked);
    }
}

TEST(RecordComboKey, SecondFlavourCarriesScanCodesAndRunsOnlyAlone)
{
    THookRecorder r;
    std::vector<std::string> lines;
    r.OnRecordKeyboardComboKey2.Bind([&](int k1, int s1, int e1, int k2, int s2, int e2, int m, const std::u16string& t) {
        std::ostringstream s;
        s << k1 << ' ' << s1 << ' ' << e1 << ' ' << k2 << ' ' << s2 << ' ' << e2 << ' ' << m << ' ' << U8(t);
        lines.push_back(s.str());
    });
    bool b = false;
    r.RecordComboKey({0x41, 0x1E, 0, 1000, 0}, b, Held(""));
    r.RecordComboKey({0x25, 0x4B, kKeyFlagExtended, 1030, 0}, b, Held("A"));
    EXPECT_EQ(lines, (std::vector<std::string>{"65 30 0 0 0 0 0 A", "65 30 0 37 75 1 1 Alt+A+LEFT ARROW"}));
    EXPECT_EQ(r.ComboKeyInfo().nScanKey2, 0x4Bu);

    // With both flavours bound only the first is raised; with neither the callback does nothing.
    TLog log;
    BindAll(r, log);
    r.RecordComboKey({0x42, 0x30, 0, 3000, 0}, b, Held(""));
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"combo 66 0 0 0 m0 'B'"}));
    THookRecorder none;
    bool passed = false;
    none.RecordComboKey({0x42, 0x30, 0, 3000, 0}, passed, Held(""));
    EXPECT_FALSE(passed);
}

struct TMacroCase {
    const char* Name;
    std::vector<TKey> Keys;
    std::vector<std::string> Entries;
    std::vector<std::string> Lines;
};

// Every key of a macro recording is swallowed; the entries and, where given, the events are checked.
void RunMacroCases(std::span<const TMacroCase> ACases, void (THookRecorder::*ABegin)(),
                   void (THookRecorder::*ARecord)(const TKBDLLHOOKSTRUCT&, bool&))
{
    for (const TMacroCase& c : ACases) {
        SCOPED_TRACE(c.Name);
        THookRecorder r;
        TLog log;
        BindAll(r, log);
        (r.*ABegin)();
        for (const TKey& k : c.Keys) {
            bool b = false;
            (r.*ARecord)(KeyRecord(k), b);
            EXPECT_TRUE(b);
        }
        EXPECT_EQ(KeyEntries(r.MacroKeyList()), c.Entries);
        if (!c.Lines.empty()) {
            EXPECT_EQ(log.Lines, c.Lines);
        }
    }
}

TEST(RecordMacroKey, DelaysBetween10And2000ms)
{
    const TMacroCase cases[] = {
        {"A, A released after 80 ms, B 5 ms later",
         {{0x41, false, false, 1000}, {0x41, false, true, 1080}, {0x42, false, false, 1085}},
         {"1/1/65/0", "0/0/80/0", "1/0/65/0", "1/1/66/0"},
         {"macro 1 65 1 0 t1000 'A' 'Down' n1", "macro 0 80 0 0 t1080 '80' 'ms' n2", "macro 1 65 0 0 t1080 'A' 'Up' n3",
          "macro 1 66 1 0 t1085 'B' 'Down' n4"}},
        {"the bounds: 10 and 2000 add nothing, 11 and 1999 do",
         {{0x41, false, false, 1000}, {0x41, false, false, 1010}, {0x41, false, false, 3010},
          {0x41, false, false, 3021}, {0x41, false, false, 5020}},
         {"1/1/65/0", "1/1/65/0", "1/1/65/0", "0/0/11/0", "1/1/65/0", "0/0/1999/0", "1/1/65/0"},
         {}},
        {"the numeric pad's Enter is named by the extended table",
         {{0x0D, true, false, 1000}},
         {"1/1/13/1"},
         {"macro 1 13 1 1 t1000 'ENTER' 'Down' n1"}},
        {"a delay across the tick count's wrap",
         {{0x41, false, false, 0xFFFFFFC0u}, {0x42, false, false, 0x40}},
         {"1/1/65/0", "0/0/128/0", "1/1/66/0"},
         {}},
    };
    RunMacroCases(cases, &THookRecorder::BeginKeyboardMacro, &THookRecorder::RecordMacroKey);
}

TEST(RecordMacroKeyEx, HeldKeysAndLongPauses)
{
    const TMacroCase cases[] = {
        {"A held 700 ms with auto-repeat",
         {{0x41, false, false, 1000}, {0x41, false, false, 1500}, {0x41, false, false, 1533},
          {0x41, false, false, 1566}, {0x41, false, true, 1700}},
         {"1/1/65/0", "0/0/700/0", "1/0/65/0"},
         {"macroex 1 65 1 0 t1000 total0 'A' 'Down' n1", "macroex 1 65 0 0 t1700 total700 'A' 'Up' n3"}},
        {"a 70 000 ms pause is recorded as 65535",
         {{0x41, false, false, 1000}, {0x41, false, true, 1100}, {0x42, false, false, 71100}},
         {"1/1/65/0", "0/0/100/0", "1/0/65/0", "0/0/65535/0", "1/1/66/0"},
         {"macroex 1 65 1 0 t1000 total0 'A' 'Down' n1", "macroex 1 65 0 0 t1100 total100 'A' 'Up' n3",
          "macroex 1 66 1 0 t71100 total65535 'B' 'Down' n5"}},
        {"a release at the same tick adds no delay",
         {{0x41, false, false, 1000}, {0x41, false, true, 1000}},
         {"1/1/65/0", "1/0/65/0"},
         {}},
        {"held flags are per code: the pad's arrow while the dedicated one is held adds a delay only",
         {{0x25, true, false, 1000}, {0x25, false, false, 1020}},
         {"1/1/37/1", "0/0/20/0"},
         {}},
        {"a delay across the tick count's wrap",
         {{0x41, false, false, 0xFFFFFF00u}, {0x41, false, true, 0x100}},
         {"1/1/65/0", "0/0/512/0", "1/0/65/0"},
         {}},
    };
    RunMacroCases(cases, &THookRecorder::BeginKeyboardMacroEx, &THookRecorder::RecordMacroKeyEx);
}

TEST(RecordMacroKeyEx, StopsGrowingAfter500Entries)
{
    struct TCase {
        int Prefilled;
        int CountAfterB;
        bool BBlocked;
    };
    // A first key adds one entry; B 50 ms later adds a delay and a key entry when it is recorded.
    for (const TCase& c : {TCase{498, 501, true}, TCase{499, 502, true}, TCase{500, 501, false}}) {
        SCOPED_TRACE(c.Prefilled);
        THookRecorder r;
        TLog log;
        BindAll(r, log);
        r.BeginKeyboardMacroEx();
        for (int i = 0; i < c.Prefilled; ++i)
            r.MacroKeyList().AddObject(IntToStr(i), std::make_unique<TMacroKeyObject>(TMACROKEYHOOK{}));
        bool a = false, b = false;
        r.RecordMacroKeyEx(KeyRecord({0x41, false, false, 1000}), a);
        EXPECT_TRUE(a);
        r.RecordMacroKeyEx(KeyRecord({0x42, false, false, 1050}), b);
        EXPECT_EQ(r.MacroKeyList().Count(), c.CountAfterB);
        EXPECT_EQ(b, c.BBlocked);
        // A new recording starts afresh.
        r.BeginKeyboardMacroEx();
        bool again = false;
        r.RecordMacroKeyEx(KeyRecord({0x42, false, false, 2000}), again);
        EXPECT_TRUE(again);
        EXPECT_EQ(r.MacroKeyList().Count(), 1);
    }
}

struct TMouse {
    uint32_t Message;
    int32_t X, Y;
    int16_t High;
    uint32_t Tick;
    bool Injected = false;
};

TMSLLHOOKSTRUCT MouseRecord(const TMouse& AMouse)
{
    return {AMouse.X, AMouse.Y, static_cast<uint32_t>(static_cast<uint16_t>(AMouse.High)) << 16,
            AMouse.Injected ? kMouseFlagInjected : 0u, AMouse.Tick, 0};
}

struct TMouseCase {
    const char* Name;
    std::vector<TMouse> Events;
    std::vector<std::string> Entries;
    std::vector<std::string> Lines;
};

TEST(RecordMouseMacro, ClicksWheelsSideButtonsAndMoves)
{
    const TMouseCase cases[] = {
        {"a first click without moving",
         {{kWmLButtonDown, 10, 20, 0, 5000}, {kWmLButtonUp, 10, 20, 0, 5130}},
         {"1/1/1/10,20/0", "0/0/0/10,20/130", "1/0/1/10,20/130"},
         {"mouse 1 1 1 10,20 t5000 'Mouse Click' 'Down' n1", "mouse 0 0 0 10,20 t5130 '130' 'ms' n2",
          "mouse 1 1 0 10,20 t5130 'Mouse Click' 'Up' n3"}},
        {"the wheel towards the user is up, away is down",
         {{kWmMouseWheel, 1, 1, -120, 100}, {kWmMouseWheel, 1, 1, 120, 150}, {kWmMouseWheel, 1, 1, 0, 170}},
         {"1/1/6/1,1/0", "0/0/0/1,1/50", "1/1/7/1,1/50", "0/0/0/1,1/20"},
         {"mouse 1 6 1 1,1 t100 'Wheel up(Mouse)' 'Down' n1", "mouse 0 0 0 1,1 t150 '50' 'ms' n2",
          "mouse 1 7 1 1,1 t150 'Wheel Down(Mouse)' 'Down' n3", "mouse 0 0 0 1,1 t170 '20' 'ms' n4"}},
        {"the side buttons and the others",
         {{kWmXButtonDown, 0, 0, 1, 100}, {kWmXButtonUp, 0, 0, 2, 100}, {kWmRButtonDown, 0, 0, 0, 100},
          {kWmMButtonUp, 0, 0, 0, 100}, {kWmXButtonDown, 0, 0, 3, 100}},
         {"1/1/4/0,0/0", "0/0/0/0,0/0", "1/0/5/0,0/0", "0/0/0/0,0/0", "1/1/2/0,0/0", "0/0/0/0,0/0", "1/0/3/0,0/0",
          "0/0/0/0,0/0"},
         {"mouse 1 4 1 0,0 t100 'Backward(Mouse) ' 'Down' n1", "mouse 0 0 0 0,0 t100 '0' 'ms' n2",
          "mouse 1 5 0 0,0 t100 'Forward(Mouse)' 'Up' n3", "mouse 0 0 0 0,0 t100 '0' 'ms' n4",
          "mouse 1 2 1 0,0 t100 'Mouse Right Click' 'Down' n5", "mouse 0 0 0 0,0 t100 '0' 'ms' n6",
          "mouse 1 3 0 0,0 t100 'Mouse Middle Click' 'Up' n7", "mouse 0 0 0 0,0 t100 '0' 'ms' n8"}},
        {"a pointer left of the primary monitor, and moves carrying their position",
         {{kWmMouseMove, 5, 5, 0, 100}, {kWmMouseMove, -10, -3, 0, 140}, {kWmLButtonDown, -10, 700, 0, 150}},
         {"0/0/0/65526,65533/40", "0/0/0/65526,700/10", "1/1/1/65526,700/10"},
         {}},
        {"an event older than the previous one is dropped",
         {{kWmLButtonDown, 0, 0, 0, 1000}, {kWmLButtonUp, 0, 0, 0, 900}, {kWmLButtonDown, 0, 0, 0, 950}},
         {"1/1/1/0,0/0", "0/0/0/0,0/50", "1/1/1/0,0/50"},
         {}},
        {"injected events are ignored",
         {{kWmLButtonDown, 0, 0, 0, 1000, true}, {kWmLButtonDown, 0, 0, 0, 1100}},
         {"1/1/1/0,0/0"},
         {}},
        {"a delay entry keeps the low 16 bits, its text the whole delay",
         {{kWmLButtonDown, 0, 0, 0, 1000}, {kWmLButtonUp, 0, 0, 0, 71000}},
         {"1/1/1/0,0/0", "0/0/0/0,0/4464", "1/0/1/0,0/4464"},
         {"mouse 1 1 1 0,0 t1000 'Mouse Click' 'Down' n1", "mouse 0 0 0 0,0 t71000 '70000' 'ms' n2",
          "mouse 1 1 0 0,0 t71000 'Mouse Click' 'Up' n3"}},
    };
    for (const TMouseCase& c : cases) {
        SCOPED_TRACE(c.Name);
        THookRecorder r;
        TLog log;
        BindAll(r, log);
        r.BeginMouseMacro();
        for (const TMouse& m : c.Events) r.RecordMouseMacroKey(m.Message, MouseRecord(m));
        EXPECT_EQ(MouseEntries(r.MouseMacroKeyList()), c.Entries);
        if (!c.Lines.empty()) {
            EXPECT_EQ(log.Lines, c.Lines);
        }
    }
}

TEST(Recording, StopHandsTheKeyboardEntriesOverAndKeepsTheMouseEntries)
{
    THookRecorder r;
    TLog log;
    BindAll(r, log);
    TStringList kept;
    r.OnStopRecordKeyboardMacroKey.Bind([&](TStringList& list) { kept = std::move(list); });
    r.BeginKeyboardMacro();
    bool b = false;
    r.RecordMacroKey(KeyRecord({0x41, false, false, 1000}), b);
    r.RecordMacroKey(KeyRecord({0x41, false, true, 1100}), b);
    r.EndKeyboardMacro();
    EXPECT_EQ(KeyEntries(kept), (std::vector<std::string>{"1/1/65/0", "0/0/100/0", "1/0/65/0"}));
    EXPECT_EQ(r.MacroKeyList().Count(), 0);

    int stopped = -1;
    r.OnStopRecordMouseMacroKey.Bind([&](TStringList& list) { stopped = list.Count(); });
    r.BeginMouseMacro();
    r.RecordMouseMacroKey(kWmLButtonDown, MouseRecord({kWmLButtonDown, 0, 0, 0, 1000}));
    r.EndMouseMacro();
    EXPECT_EQ(stopped, 1);
    EXPECT_EQ(r.MouseMacroKeyList().Count(), 1);
    r.BeginMouseMacro();
    EXPECT_EQ(r.MouseMacroKeyList().Count(), 0);
}

// Keyboard watch: what reaches the all-keys handler, what reaches the matching handler, and
// whether the key is swallowed.
TEST(KeyboardWatch, HookObjectFilters)
{
    struct TCase {
        const char* Name;
        std::vector<TKeyBoardHookDetail> Objects;
        TKBDLLHOOKSTRUCT Key;
        bool HandlerBlocks;
        bool Matched;
        bool Blocked;
    };
    const TKBDLLHOOKSTRUCT a{0x41, 0x1E, 0, 100, 0}, aUp{0x41, 0x1E, kKeyFlagUp, 100, 0};
    const TKBDLLHOOKSTRUCT left{0x25, 0x4B, kKeyFlagExtended, 100, 0};
    const TCase cases[] = {
        {"the end marker first", {{-1, 0, 0, 1}, {0x41, 0, 0, 1}}, a, false, false, false},
        {"the end marker after a miss", {{0x42, 0, 0, 1}, {-1, 0, 0, 0}, {0x41, 0, 0, 1}}, a, false, false, false},
        {"0/0 never matches", {{0, 0, 0, 1}}, a, false, false, false},
        {"by code, block 1 swallows without the handler", {{0x41, 0, 0, 1}}, a, false, true, true},
        {"block 1 swallows the release too", {{0x41, 0, 0, 1}}, aUp, false, true, true},
        {"by code, block 0 passes", {{0x41, 0, 0, 0}}, a, false, true, false},
        {"block 0, the handler swallows", {{0x41, 0, 0, 0}}, a, true, true, true},
        {"by scan code", {{0, 0x1E, 0, 1}}, a, false, true, true},
        {"the extended bit must agree", {{0x25, 0, 0, 1}}, left, false, false, false},
        {"the extended bit agrees", {{0x25, 0, 1, 1}}, left, false, true, true},
        {"the first match ends the scan", {{0x41, 0, 0, 0}, {0x41, 0, 0, 1}}, a, false, true, false},
        {"no object", {}, a, false, false, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        THookRecorder r;
        for (const auto& o : c.Objects) r.AddKeyboardHookObject(std::make_unique<TKeyBoardHookDetailObject>(o));
        int all = 0, matched = 0;
        r.OnHookKeyboardAllKey.Bind([&](int key, int state, int ext, bool&, uint32_t scan) {
            ++all;
            EXPECT_EQ(key, static_cast<int>(c.Key.vkCode));
            EXPECT_EQ(state, (c.Key.flags & kKeyFlagUp) ? 0 : 1);
            EXPECT_EQ(ext, static_cast<int>(c.Key.flags & 1));
            EXPECT_EQ(scan, c.Key.scanCode);
        });
        r.OnHookKeyboardKey.Bind([&](int, int, int, bool& blocked, uint32_t) {
            ++matched;
            if (c.HandlerBlocks) blocked = true;
        });
        bool blocked = false;
        r.KeyboardWatch(0, c.Key, blocked);
        EXPECT_EQ(all, 1);
        EXPECT_EQ(matched, c.Matched ? 1 : 0);
        EXPECT_EQ(blocked, c.Blocked);
        bool other = false;
        r.KeyboardWatch(1, c.Key, other);
        EXPECT_EQ(all, 1) << "a hook code other than 0 is ignored";
    }
}

TEST(KeyboardWatch, ObjectsAreListedUnderTheirCode)
{
    THookRecorder r;
    r.AddKeyboardHookObject(std::make_unique<TKeyBoardHookDetailObject>(TKeyBoardHookDetail{0x41, 0, 0, 0}));
    r.AddKeyboardHookObject(std::make_unique<TKeyBoardHookDetailObject>(TKeyBoardHookDetail{-1, 0, 0, 0}));
    r.AddMouseHookObject(std::make_unique<TMouseHookDetailObject>(
        TMouseHookDetail{TMouseButtons::XCLICK5, 0, TMouseButtons::BUTTON_NONE, TMouseStatesToHook::HOOK_DOWN}));
    EXPECT_EQ(r.KeyboardHookObjectCount(), 2);
    EXPECT_EQ(r.MouseHookObjectCount(), 1);
    r.RemoveAllKeyboardHookObject();
    r.RemoveAllMouseHookObject();
    EXPECT_EQ(r.KeyboardHookObjectCount(), 0);
    EXPECT_EQ(r.MouseHookObjectCount(), 0);
}

TEST(MouseWatch, ButtonsWheelAndHookObjects)
{
    using B = TMouseButtons;
    using S = TMouseButtonStates;
    struct TCase {
        const char* Name;
        std::vector<TMouseHookDetail> Objects;
        TMouse Event;
        std::string All;      // "button state extra", empty when not raised
        std::string Matched;  // "button state", empty when not raised
    };
    const TMouseHookDetail xclick5{B::XCLICK5, StateBit(S::XBUTTONDOWN), B::BUTTON_NONE, TMouseStatesToHook::HOOK_DOWN};
    const TMouseHookDetail leftUnchanged{B::LCLICK, StateBit(S::LBUTTONDOWN), B::LCLICK, TMouseStatesToHook::HOOK_DOWN};
    const TMouseHookDetail anyDown{B::BUTTONX3, StateBit(S::LBUTTONDOWN), B::BUTTON_NONE, TMouseStatesToHook::HOOK_UP};
    const TCase cases[] = {
        {"wheel away from the user", {}, {kWmMouseWheel, 0, 0, 120, 1}, "6 1 120", ""},
        {"wheel towards the user", {}, {kWmMouseWheel, 0, 0, -120, 1}, "7 1 -120", ""},
        {"two notches", {}, {kWmMouseWheel, 0, 0, 240, 1}, "6 1 240", ""},
        {"a wheel message without delta", {}, {kWmMouseWheel, 0, 0, 0, 1}, "0 1 0", ""},
        {"the back button", {}, {kWmXButtonUp, 0, 0, 1, 1}, "4 0 1", ""},
        {"the forward button", {}, {kWmXButtonDown, 0, 0, 2, 1}, "5 1 2", ""},
        {"an injected click", {anyDown}, {kWmLButtonDown, 0, 0, 0, 1, true}, "", ""},
        {"an XCLICK5 object matches XCLICK4", {xclick5}, {kWmXButtonDown, 0, 0, 1, 1}, "4 1 1", "4 1"},
        {"an XCLICK5 object needs its state", {xclick5}, {kWmXButtonUp, 0, 0, 1, 1}, "4 0 1", ""},
        {"an object below the button does not match",
         {{B::LCLICK, StateBit(S::RBUTTONDOWN), B::BUTTON_NONE, TMouseStatesToHook::HOOK_DOWN}},
         {kWmRButtonDown, 0, 0, 0, 1}, "2 1 0", ""},
        {"an unchanged button ends the scan", {leftUnchanged, anyDown}, {kWmLButtonDown, 0, 0, 0, 1}, "1 1 0", ""},
        {"a changed button is reported", {anyDown}, {kWmLButtonDown, 0, 0, 0, 1}, "1 1 0", "1 1"},
        {"a message beyond the mouse range", {anyDown}, {0x2A3, 0, 0, 0, 1}, "0 1 0", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        THookRecorder r;
        for (const auto& o : c.Objects) r.AddMouseHookObject(std::make_unique<TMouseHookDetailObject>(o));
        std::string all, matched;
        r.OnHookMouseAllButton.Bind([&](B button, int state, int16_t extra, bool&) {
            all = std::to_string(static_cast<int>(button)) + " " + std::to_string(state) + " " + std::to_string(extra);
        });
        r.OnHookMouseButton.Bind([&](B button, int state, bool& blocked) {
            matched = std::to_string(static_cast<int>(button)) + " " + std::to_string(state);
            blocked = true;
        });
        bool blocked = false;
        r.MouseWatch(c.Event.Message, MouseRecord(c.Event), blocked);
        EXPECT_EQ(all, c.All);
        EXPECT_EQ(matched, c.Matched);
        EXPECT_EQ(blocked, !c.Matched.empty());
    }
}

TEST(MouseWatch, MovesAreReportedUnlessInjectedAndNeverSwallowed)
{
    THookRecorder r;
    std::vector<std::string> moves;
    r.OnHookMouseMove.Bind([&](int x, int y, double time) {
        moves.push_back(std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(static_cast<long long>(time)));
    });
    for (bool injected : {false, true}) {
        bool blocked = true;
        r.MouseWatch(kWmMouseMove, MouseRecord({kWmMouseMove, -10, 20, 0, 4000000000u, injected}), blocked);
        EXPECT_FALSE(blocked);
    }
    EXPECT_EQ(moves, (std::vector<std::string>{"-10,20 4000000000"}));
}

TEST(ProcessDataEvent, HandsQueuedEntriesOnInOrderOnce)
{
    THookRecorder r;
    TLog log;
    BindAll(r, log);
    const TMacroKeyObject key(TMACROKEYHOOK{1, 1, 0x41, 0, 1234, u"A", u"Down"});
    const TMOUSEMacroKeyObject click(TMOUSEMACROKEY{1, 0, TMouseButtons::RCLICK, 3, 4, 5, 99, u"Mouse Right Click", u"Up"});
    r.QueueRecordData(kKeyboardRecord, &key);
    r.QueueRecordData(kMouseRecord, &click);
    r.QueueRecordData(kKeyboardRecord, &click);  // a kind that does not fit its entry is skipped
    r.QueueRecordData(7, &key);
    r.ProcessDataEvent();
    r.ProcessDataEvent();
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"macro 1 65 1 0 t1234 'A' 'Down' n0",
                                                   "mouse 1 2 0 3,4 t99 'Mouse Right Click' 'Up' n0"}));
}

}  // namespace
