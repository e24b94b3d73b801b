#include "framework/core/Text.h"
#include "framework/tests/MessagePump.h"
#include "framework/win/FileSystem.h"
#include "framework/win/Handle.h"
#include "framework/win/Thread.h"
#include "framework/win/WinText.h"
#include "hook/uiHook.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>
#include <windows.h>

#include <atomic>
#include <cwchar>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

class HookTest : public testing::Test {
protected:
    void SetUp() override { TThread::InitMainThread(); }
};

std::wstring Folder() { return reinterpret_cast<const wchar_t*>(ProgramFolder().c_str()); }

// Input made by another thread of this process, as a user's program would inject it; the main
// thread meanwhile pumps the messages through which the hooks are called.
INPUT KeyInput(WORD AKey, bool AUp)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = AKey;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(AKey, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = AUp ? KEYEVENTF_KEYUP : 0;
    return in;
}

std::thread SendLater(std::vector<INPUT> AInputs)
{
    return std::thread([inputs = std::move(AInputs)]() mutable {
        Sleep(100);
        for (INPUT& in : inputs) {
            SendInput(1, &in, sizeof(INPUT));
            Sleep(30);
        }
    });
}

std::vector<INPUT> Keys(std::initializer_list<WORD> AKeys)
{
    std::vector<INPUT> inputs;
    for (WORD key : AKeys) {
        inputs.push_back(KeyInput(key, false));
        inputs.push_back(KeyInput(key, true));
    }
    return inputs;
}

// --- the library itself --------------------------------------------------------------------

struct TCalls {
    std::vector<uint32_t> Codes;  // key code or mouse message of each call
    std::vector<uint32_t> Flags;
    bool PresetBlocked = false;
};

void __cdecl RecordingCallback(void* AUser, int ACode, uintptr_t AMessage, void* ARecord, bool* ABlocked)
{
    auto& calls = *static_cast<TCalls*>(AUser);
    if (ACode != 0) return;
    calls.PresetBlocked = calls.PresetBlocked || *ABlocked;
    if (AMessage >= WM_MOUSEFIRST && AMessage <= WM_MOUSELAST) {
        const auto* m = static_cast<const MSLLHOOKSTRUCT*>(ARecord);
        if (AMessage == WM_MOUSEMOVE) return;
        calls.Codes.push_back(static_cast<uint32_t>(AMessage));
        calls.Flags.push_back(m->flags);
    } else {
        const auto* k = static_cast<const KBDLLHOOKSTRUCT*>(ARecord);
        calls.Codes.push_back(k->vkCode);
        calls.Flags.push_back(k->flags);
    }
}

struct TLibrary {
    TModuleOwner Module{LoadLibraryW((Folder() + L"uiHook.dll").c_str())};
    template <class T>
    T Get(const char* AName)
    {
        return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(Module.Get(), AName)));
    }
};

TEST_F(HookTest, LibraryCallsTheLatestCallbackOncePerEventAndMarksInjectedInput)
{
    TLibrary lib;
    ASSERT_TRUE(lib.Module);
    auto enableKeyboard = lib.Get<TEnableHookProc>("EnableKeyboardHook");
    auto disableKeyboard = lib.Get<TDisableHookProc>("DisableKeyboardHook");
    auto enableMouse = lib.Get<TEnableHookProc>("EnableMouseHook");
    auto disableMouse = lib.Get<TDisableHookProc>("DisableMouseHook");
    ASSERT_TRUE(enableKeyboard && disableKeyboard && enableMouse && disableMouse);

    TCalls replaced, keys, mouse;
    EXPECT_EQ(enableKeyboard(RecordingCallback, &replaced, 0), 1);
    EXPECT_EQ(enableKeyboard(RecordingCallback, &keys, 0), 1);  // replaces, without a disable between
    EXPECT_EQ(enableMouse(RecordingCallback, &mouse, 0), 1);
    // SendInput returns only when the hooks have seen the event: the main thread pumps meanwhile.
    std::vector<INPUT> inputs = Keys({VK_F24});
    INPUT click{};
    click.type = INPUT_MOUSE;
    click.mi.dwFlags = MOUSEEVENTF_MIDDLEDOWN;
    inputs.push_back(click);
    click.mi.dwFlags = MOUSEEVENTF_MIDDLEUP;
    inputs.push_back(click);
    std::thread sender = SendLater(inputs);
    EXPECT_TRUE(PumpUntil([&] { return keys.Codes.size() >= 2 && mouse.Codes.size() >= 2; }));
    sender.join();
    PumpFor(300);
    EXPECT_TRUE(replaced.Codes.empty());
    EXPECT_EQ(keys.Codes, (std::vector<uint32_t>{VK_F24, VK_F24}));
    ASSERT_EQ(keys.Flags.size(), 2u);
    EXPECT_EQ(keys.Flags[0] & (LLKHF_INJECTED | LLKHF_UP), static_cast<uint32_t>(LLKHF_INJECTED));
    EXPECT_EQ(keys.Flags[1] & (LLKHF_INJECTED | LLKHF_UP), static_cast<uint32_t>(LLKHF_INJECTED | LLKHF_UP));
    EXPECT_EQ(mouse.Codes, (std::vector<uint32_t>{WM_MBUTTONDOWN, WM_MBUTTONUP}));
    for (uint32_t flags : mouse.Flags) EXPECT_TRUE(flags & LLMHF_INJECTED);
    EXPECT_FALSE(keys.PresetBlocked || mouse.PresetBlocked);

    EXPECT_EQ(disableKeyboard(), 1);
    EXPECT_EQ(disableKeyboard(), 0);
    EXPECT_EQ(disableMouse(), 1);
    std::thread again = SendLater(Keys({VK_F24}));
    PumpFor(500);
    again.join();
    EXPECT_EQ(keys.Codes.size(), 2u);
}

// --- the component in this process ---------------------------------------------------------

TEST_F(HookTest, LoadsTheLibraryFromTheProgramsFolder)
{
    TuiHook hook(nullptr);
    ASSERT_TRUE(hook.DLLLoaded());
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"uiHook.dll"), path, MAX_PATH);
    EXPECT_EQ(_wcsicmp(path, (Folder() + L"uiHook.dll").c_str()), 0) << path;
}

TEST_F(HookTest, WatchedKeysReachTheAllKeysHandler)
{
    TuiHook hook(nullptr);
    std::vector<std::pair<int, int>> seen;
    hook.OnHookKeyboardAllKey.Bind([&](int AKey, int AState, int, bool&, uint32_t) {
        if (AKey == VK_F23) seen.emplace_back(AKey, AState);
    });
    hook.StartHookKeyboard();
    std::thread sender = SendLater(Keys({VK_F23}));
    EXPECT_TRUE(PumpUntil([&] { return seen.size() >= 2; }));
    sender.join();
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{VK_F23, 1}, {VK_F23, 0}}));

    hook.StopHookKeyboard();
    std::thread after = SendLater(Keys({VK_F23}));
    PumpFor(500);
    after.join();
    EXPECT_EQ(seen.size(), 2u);
}

// The modifiers are read while the key arrives, whichever program has the keyboard.
TEST_F(HookTest, ACombinationRecordedFromKeysHeldTogether)
{
    TuiHook hook(nullptr);
    std::vector<std::u16string> texts;
    std::vector<int> modifiers;
    hook.OnRecordKeyboardComboKey.Bind([&](int, int, int, int, int AModifier, const std::u16string& AText) {
        texts.push_back(AText);
        modifiers.push_back(AModifier);
    });
    hook.RecordKeyboardComboKey();
    std::thread sender = SendLater({KeyInput(VK_LCONTROL, false), KeyInput(VK_LSHIFT, false), KeyInput('A', false),
                                    KeyInput('A', true), KeyInput(VK_LSHIFT, true), KeyInput(VK_LCONTROL, true)});
    EXPECT_TRUE(PumpUntil([&] { return !texts.empty(); }));
    sender.join();
    PumpFor(300);
    hook.StopRecordKeyboardComboKey();
    EXPECT_EQ(texts, (std::vector<std::u16string>{u"Ctrl+Shift+A"}));
    EXPECT_EQ(modifiers, (std::vector<int>{6}));
}

// A child process with its handles.
struct TChild {
    PROCESS_INFORMATION Info{};
    ~TChild()
    {
        if (Info.hProcess) {
            if (WaitForSingleObject(Info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(Info.hProcess, 99);
            CloseHandle(Info.hProcess);
            CloseHandle(Info.hThread);
        }
    }
    bool Start(const std::wstring& AExe, const std::wstring& AMode, const std::wstring& ADirectory)
    {
        std::wstring line = L"\"" + AExe + L"\" " + AMode;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        return CreateProcessW(AExe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              ADirectory.empty() ? nullptr : ADirectory.c_str(), &si, &Info) != 0;
    }
    DWORD Wait(DWORD AMs)
    {
        DWORD code = 999;
        if (WaitForSingleObject(Info.hProcess, AMs) == WAIT_OBJECT_0) GetExitCodeProcess(Info.hProcess, &code);
        return code;
    }
};

std::wstring WindowText(HWND AWindow)
{
    wchar_t text[256] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(AWindow, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &ignored);
    return text;
}

// Another program whose edit control has the keyboard focus, closed with the test.
struct TEditProbe {
    TChild Process;
    HWND Window = nullptr;
    HWND Edit = nullptr;
    bool Start()
    {
        if (!Process.Start(Folder() + L"HookProbe.exe", L"edit", L"")) return false;
        const bool found = PumpUntil(
            [&] {
                Window = FindWindowW(L"QelHookProbeEdit", nullptr);
                Edit = Window ? FindWindowExW(Window, nullptr, L"EDIT", nullptr) : nullptr;
                return Edit != nullptr;
            },
            20000);
        if (found) SetForegroundWindow(Window);
        return found;
    }
    std::wstring Text() const { return WindowText(Edit); }
    // Closes the window; true when the program then ended well.
    bool Close()
    {
        PostMessageW(Window, WM_CLOSE, 0, 0);
        return Process.Wait(10000) == 0;
    }
};

TEST_F(HookTest, BlockedKeyNeverReachesAnotherProgramsEditControlWhileOtherKeysDo)
{
    TEditProbe editor;
    ASSERT_TRUE(editor.Start());
    const HWND edit = editor.Edit;

    TuiHook hook(nullptr);
    hook.AddKeyboardHookObject(std::make_unique<TKeyBoardHookDetailObject>(TKeyBoardHookDetail{'B', 0, 0, 1}));
    int matched = 0;
    hook.OnHookKeyboardKey.Bind([&](int, int, int, bool&, uint32_t) { ++matched; });  // leaves ABlocked alone
    hook.StartHookKeyboard();
    std::thread sender = SendLater(Keys({'A', 'B', 'C'}));
    PumpUntil([&] { return WindowText(edit).size() >= 2; }, 10000);
    sender.join();
    PumpFor(500);
    EXPECT_EQ(WindowText(edit), L"ac");
    EXPECT_EQ(matched, 2);
    EXPECT_TRUE(editor.Close());
}

INPUT ExtendedKeyInput(WORD AKey, bool AUp)
{
    INPUT in = KeyInput(AKey, AUp);
    in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    return in;
}

std::string U8(const std::u16string& AText) { return Utf8FromUtf16(AText); }

std::string Scan(WORD AKey) { return std::to_string(MapVirtualKeyW(AKey, MAPVK_VK_TO_VSC)); }

// Every press and release reaches the handler with its name; the component swallows none, the
// handler may.
TEST_F(HookTest, SingleKeysAreRecordedWithTheirNamesAndOnlyTheHandlerSwallowsOne)
{
    TEditProbe editor;
    ASSERT_TRUE(editor.Start());
    TuiHook hook(nullptr);
    std::vector<std::string> seen;
    hook.OnRecordKeyboardSingleKey.Bind([&](int AKey, uint32_t AScan, int AState, int AExtended,
                                            const std::u16string& AName, bool& ABlocked) {
        if (AKey != 'A' && AKey != 'B' && AKey != 'C' && AKey != 'D' && AKey != VK_INSERT) return;
        seen.push_back(std::to_string(AKey) + " " + std::to_string(AScan) + " " + std::to_string(AState) + " " +
                       std::to_string(AExtended) + " " + U8(AName));
        if (AKey == 'B') ABlocked = true;
    });
    hook.RecordKeyboardSingleKey();
    std::vector<INPUT> inputs = Keys({'A', 'B'});
    for (bool up : {false, true}) inputs.push_back(ExtendedKeyInput(VK_INSERT, up));
    for (const INPUT& in : Keys({VK_INSERT, 'C'})) inputs.push_back(in);
    std::thread sender = SendLater(inputs);
    EXPECT_TRUE(PumpUntil([&] { return seen.size() >= 10 && editor.Text() == L"ac"; }, 10000));
    sender.join();
    const std::string a = Scan('A'), b = Scan('B'), c = Scan('C'), ins = Scan(VK_INSERT);
    EXPECT_EQ(seen, (std::vector<std::string>{"65 " + a + " 1 0 A", "65 " + a + " 0 0 A", "66 " + b + " 1 0 B",
                                              "66 " + b + " 0 0 B", "45 " + ins + " 1 1 INS", "45 " + ins + " 0 1 INS",
                                              "45 " + ins + " 1 0 Keypad 0 Insert", "45 " + ins + " 0 0 Keypad 0 Insert",
                                              "67 " + c + " 1 0 C", "67 " + c + " 0 0 C"}));
    EXPECT_EQ(editor.Text(), L"ac");

    // Stopped, the recording sees no more keys.
    hook.StopRecordKeyboardSingleKey();
    std::thread after = SendLater(Keys({'D'}));
    EXPECT_TRUE(PumpUntil([&] { return editor.Text() == L"acd"; }, 10000));
    after.join();
    EXPECT_EQ(seen.size(), 10u);
    EXPECT_TRUE(editor.Close());
}

// A key held down repeats its press: the extended macro records the press once and the time from
// it to the release; every recorded key is swallowed.
TEST_F(HookTest, AnExtendedMacroRecordsAHeldKeyOnceAndSwallowsTheKeys)
{
    TEditProbe editor;
    ASSERT_TRUE(editor.Start());
    TuiHook hook(nullptr);
    std::vector<std::string> events;
    std::vector<uint32_t> totals;
    hook.OnRecordKeyboardMacroKeyEx.Bind([&](int AType, int AKey, int AState, int AExtended, double, uint32_t ATotal,
                                             const std::u16string& AName, const std::u16string& AStateText,
                                             TStringList&) {
        events.push_back(std::to_string(AType) + " " + std::to_string(AKey) + " " + std::to_string(AState) + " " +
                         std::to_string(AExtended) + " " + U8(AName) + "|" + U8(AStateText));
        totals.push_back(ATotal);
    });
    // Entries as "type/state/value/extended", delays as "delay"; the delays' values apart.
    std::vector<std::string> entries;
    std::vector<int> delays;
    hook.OnStopRecordKeyboardMacroKey.Bind([&](TStringList& AList) {
        for (int i = 0; i < AList.Count(); ++i) {
            const TMACROKEYHOOK& k = static_cast<TMacroKeyObject*>(AList.Objects(i))->FMacroKey;
            if (k.nKeyType == 0) {
                entries.push_back("delay");
                delays.push_back(k.nKeyValue);
            } else {
                entries.push_back(std::to_string(k.nKeyState) + "/" + std::to_string(k.nKeyValue) + "/" +
                                  std::to_string(k.nKeyValueExtended));
            }
        }
    });
    hook.RecordKeyboardMacroKeyEx();
    // A pressed, pressed again by the repeat 30 ms later, released 30 ms after that.
    std::thread sender = SendLater({KeyInput('A', false), KeyInput('A', false), KeyInput('A', true),
                                    ExtendedKeyInput(VK_INSERT, false), ExtendedKeyInput(VK_INSERT, true)});
    EXPECT_TRUE(PumpUntil([&] { return events.size() >= 4; }, 10000));
    sender.join();
    PumpFor(300);
    hook.StopRecordKeyboardMacroKeyEx();
    EXPECT_EQ(events, (std::vector<std::string>{"1 65 1 0 A|Down", "1 65 0 0 A|Up", "1 45 1 1 INS|Down",
                                                "1 45 0 1 INS|Up"}));
    EXPECT_EQ(entries, (std::vector<std::string>{"1/65/0", "delay", "0/65/0", "delay", "1/45/1", "delay", "0/45/1"}));
    ASSERT_EQ(delays.size(), 3u);
    ASSERT_EQ(totals.size(), 4u);
    EXPECT_EQ(totals[0], 0u);
    for (size_t i = 0; i < delays.size(); ++i) {
        EXPECT_GT(delays[i], 0);
        EXPECT_EQ(totals[i + 1], static_cast<uint32_t>(delays[i])) << "event " << i + 1;
    }
    // Measured from the first press over the repeat: two of the sender's 30 ms pauses at least.
    EXPECT_GE(delays[0], 55);

    std::thread after = SendLater(Keys({'D'}));
    EXPECT_TRUE(PumpUntil([&] { return editor.Text() == L"d"; }, 10000)) << "the recorded keys reached the editor";
    after.join();
    EXPECT_TRUE(editor.Close());
}

// A message box inside a low-level hook would hold up the system's input until it is closed: a
// handler's exception is reported only once the hook call has returned, on the main thread.
TEST_F(HookTest, AHandlersExceptionIsReportedAfterTheHookCallHasReturned)
{
    TuiHook hook(nullptr);
    hook.OnHookKeyboardAllKey.Bind([](int AKey, int AState, int, bool&, uint32_t) {
        if (AKey == VK_F21) throw std::runtime_error(AState ? "press failed" : "release failed");
    });
    // Signalled by the sender once SendInput has returned for the press and for the release: the
    // system returns from it when the hook call has returned, or after 2 s without an answer.
    const THandleOwner pressed(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const THandleOwner released(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    struct TReport {
        std::u16string Message;
        bool HookReturned;
        bool OnMain;
    };
    std::vector<TReport> reports;
    Application.OnException.Bind([&](const std::u16string& AMessage) {
        const HANDLE returned = reports.empty() ? pressed.Get() : released.Get();
        reports.push_back({AMessage, WaitForSingleObject(returned, 1500) == WAIT_OBJECT_0, TThread::IsMainThread()});
    });
    hook.StartHookKeyboard();
    std::thread sender([&] {
        Sleep(100);
        INPUT press = KeyInput(VK_F21, false), release = KeyInput(VK_F21, true);
        SendInput(1, &press, sizeof(INPUT));
        SetEvent(pressed.Get());
        Sleep(30);
        SendInput(1, &release, sizeof(INPUT));
        SetEvent(released.Get());
    });
    EXPECT_TRUE(PumpUntil([&] { return reports.size() >= 2; }, 10000));
    sender.join();
    PumpFor(200);
    hook.StopHookKeyboard();
    Application.OnException.Clear();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].Message, u"press failed");
    EXPECT_EQ(reports[1].Message, u"release failed");
    for (const TReport& r : reports) {
        EXPECT_TRUE(r.HookReturned) << "reported inside the hook call";
        EXPECT_TRUE(r.OnMain);
    }
}

// --- the component in a process of its own --------------------------------------------------

// Runs a copy of the probe's "create" with the given current directory, plays the user who reads
// and closes the error box, if one shows, and answers the probe's exit code.
struct TBox {
    std::wstring Caption;
    std::wstring Text;
    bool Error = false;
};

BOOL CALLBACK FindStatic(HWND AChild, LPARAM AParam)
{
    wchar_t cls[32] = {};
    GetClassNameW(AChild, cls, 32);
    auto& box = *reinterpret_cast<TBox*>(AParam);
    if (_wcsicmp(cls, L"Static") == 0) {
        std::wstring text = WindowText(AChild);
        if (!text.empty()) box.Text = text;
        // The icon is a static control with SS_ICON.
        if ((GetWindowLongW(AChild, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) box.Error = true;
    }
    return TRUE;
}

std::wstring LonelyProbe()
{
    const std::wstring folder = Folder() + L"nolib\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    DeleteFileW((folder + L"uiHook.dll").c_str());
    CopyFileW((Folder() + L"HookProbe.exe").c_str(), (folder + L"HookProbe.exe").c_str(), FALSE);
    return folder + L"HookProbe.exe";
}

DWORD CreateCloseBox(const std::wstring& AProbe, const std::wstring& ADirectory, TBox& ABox)
{
    TChild probe;
    if (!probe.Start(AProbe, L"create", ADirectory)) return 998;
    HWND box = nullptr;
    const DWORD start = GetTickCount();
    while (!box && GetTickCount() - start < 30000) {
        HWND candidate = nullptr;
        while ((candidate = FindWindowExW(nullptr, candidate, L"#32770", nullptr)) != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(candidate, &pid);
            if (pid == probe.Info.dwProcessId) box = candidate;
        }
        if (!box && WaitForSingleObject(probe.Info.hProcess, 50) == WAIT_OBJECT_0) break;
    }
    if (box) {
        ABox.Caption = WindowText(box);
        EnumChildWindows(box, FindStatic, reinterpret_cast<LPARAM>(&ABox));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return probe.Wait(30000);
}

TEST_F(HookTest, WithoutTheLibraryTheErrorBoxShowsAndTheComponentStaysInert)
{
    TBox box;
    // Exit code 0: DLLLoaded false, no uiHook.dll in the process, and the keyboard watch started
    // without it did nothing harmful.
    EXPECT_EQ(CreateCloseBox(LonelyProbe(), L"", box), 0u);
    EXPECT_EQ(box.Caption, L"Error");
    EXPECT_EQ(box.Text, L"uiHook.dll can not be found!");
    EXPECT_TRUE(box.Error);
}

TEST_F(HookTest, ALibraryPlantedInTheCurrentDirectoryOrOnPathIsNotLoaded)
{
    const std::wstring planted = Folder() + L"planted\\";
    CreateDirectoryW(planted.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((Folder() + L"uiHook.dll").c_str(), (planted + L"uiHook.dll").c_str(), FALSE));
    wchar_t oldPath[32768] = {};
    GetEnvironmentVariableW(L"PATH", oldPath, 32768);
    SetEnvironmentVariableW(L"PATH", (planted + L";" + oldPath).c_str());
    TBox box;
    const DWORD code = CreateCloseBox(LonelyProbe(), planted, box);
    SetEnvironmentVariableW(L"PATH", oldPath);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(box.Text, L"uiHook.dll can not be found!");
}

// Found beside the program, a library that lacks one of the four exports is let go again, silently.
TEST_F(HookTest, ALibraryLackingOneOfTheFourExportsLeavesTheComponentInertWithoutAMessage)
{
    for (const wchar_t* missing : {L"EnableKeyboardHook", L"DisableKeyboardHook", L"EnableMouseHook", L"DisableMouseHook"}) {
        SCOPED_TRACE(testing::Message() << "without " << std::string(missing, missing + wcslen(missing)));
        const std::wstring folder = Folder() + L"without_" + missing + L"\\";
        ASSERT_NE(GetFileAttributesW((folder + L"uiHook.dll").c_str()), INVALID_FILE_ATTRIBUTES);
        TBox box;
        // Exit code 0: DLLLoaded false and no uiHook.dll left in the process.
        EXPECT_EQ(CreateCloseBox(folder + L"HookProbe.exe", L"", box), 0u);
        EXPECT_EQ(box.Caption, L"") << "a message box: " << std::string(box.Text.begin(), box.Text.end());
    }
}

// --- several components, the worker thread ----------------------------------------------------

TEST_F(HookTest, TheLastComponentUnloadsTheLibraryAndEachTakesItsOwnHooksAlong)
{
    auto first = std::make_unique<TuiHook>(nullptr);
    auto second = std::make_unique<TuiHook>(nullptr);
    ASSERT_TRUE(first->DLLLoaded() && second->DLLLoaded());
    int firstSeen = 0, secondSeen = 0;
    first->OnHookKeyboardAllKey.Bind([&](int, int, int, bool&, uint32_t) { ++firstSeen; });
    second->OnHookKeyboardAllKey.Bind([&](int, int, int, bool&, uint32_t) { ++secondSeen; });
    first->StartHookKeyboard();
    first.reset();
    EXPECT_TRUE(GetModuleHandleW(L"uiHook.dll"));
    // The first component's hook went with it: no key reaches a component that is gone.
    std::thread orphan = SendLater(Keys({VK_F22}));
    PumpFor(500);
    orphan.join();
    EXPECT_EQ(firstSeen, 0);
    second->StartHookKeyboard();
    std::thread sender = SendLater(Keys({VK_F22}));
    EXPECT_TRUE(PumpUntil([&] { return secondSeen >= 2; }));
    sender.join();
    second.reset();
    EXPECT_FALSE(GetModuleHandleW(L"uiHook.dll"));
}

// Wine answers 0 to GetProcessHandleCount; the system's handle list counts them instead.
struct TSystemHandle {
    ULONG OwnerPid;
    BYTE ObjectType;
    BYTE HandleFlags;
    USHORT HandleValue;
    PVOID ObjectPointer;
    ULONG AccessMask;
};
struct TSystemHandles {
    ULONG Count;
    TSystemHandle Handles[1];
};

int HandleCount()
{
    using TQuery = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<TQuery>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    constexpr int kSystemHandleInformation = 16;
    std::vector<unsigned char> buffer(1 << 16);
    ULONG needed = 0;
    LONG status;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
           static_cast<LONG>(0xC0000004))  // STATUS_INFO_LENGTH_MISMATCH
        buffer.resize(buffer.size() * 2);
    if (status != 0) return -1;
    const auto* list = reinterpret_cast<const TSystemHandles*>(buffer.data());
    int count = 0;
    for (ULONG i = 0; i < list->Count; ++i)
        if (list->Handles[i].OwnerPid == GetCurrentProcessId()) ++count;
    return count;
}

TEST_F(HookTest, InDesignModeNothingIsLoadedStartedOrAdded)
{
    TComponent form(nullptr);
    form.SetDesigning(true);
    const int handles = HandleCount();
    auto* hook = new TuiHook(&form);  // the owner frees it
    EXPECT_FALSE(hook->DLLLoaded());
    EXPECT_EQ(HandleCount(), handles) << "no events, no worker thread";
    hook->AddKeyboardHookObject(std::make_unique<TKeyBoardHookDetailObject>(TKeyBoardHookDetail{'A', 0, 0, 1}));
    hook->AddMouseHookObject(std::make_unique<TMouseHookDetailObject>(
        TMouseHookDetail{TMouseButtons::LCLICK, 0, TMouseButtons::BUTTON_NONE, TMouseStatesToHook::HOOK_DOWN}));
    EXPECT_EQ(hook->KeyboardHookObjectCount(), 0);
    EXPECT_EQ(hook->MouseHookObjectCount(), 0);
}

int ThreadCount()
{
    THandleOwner snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more; more = Thread32Next(snapshot.Get(), &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    return count;
}

TEST_F(HookTest, AHundredComponentsLeaveNoThreadOrHandleBehind)
{
    { TuiHook warmUp(nullptr); }
    const int threads = ThreadCount();
    const int handles = HandleCount();
    ASSERT_GT(threads, 0);
    ASSERT_GT(handles, 0);
    for (int i = 0; i < 100; ++i) {
        TuiHook hook(nullptr);
        ASSERT_TRUE(hook.DLLLoaded());
        if (i == 0) {
            EXPECT_EQ(ThreadCount(), threads + 1) << "the worker runs while the component lives";
        }
    }
    EXPECT_EQ(ThreadCount(), threads);
    EXPECT_EQ(HandleCount(), handles);
}

TEST_F(HookTest, QueuedRecordsReachTheMainThreadOnceInOrder)
{
    TuiHook hook(nullptr);
    std::vector<int> keys;
    std::vector<bool> onMain;
    hook.OnRecordKeyboardMacroKey.Bind([&](int, int AKey, int, int, double, const std::u16string&,
                                           const std::u16string&, TStringList&) {
        keys.push_back(AKey);
        onMain.push_back(TThread::IsMainThread());
    });
    const TMacroKeyObject a(TMACROKEYHOOK{1, 1, 'A', 0, 0, {}, {}}), b(TMACROKEYHOOK{1, 0, 'B', 0, 0, {}, {}});
    std::thread producer([&] {
        hook.QueueRecordData(kKeyboardRecord, &a);
        hook.QueueRecordData(kKeyboardRecord, &b);
    });
    producer.join();
    EXPECT_TRUE(PumpUntil([&] { return keys.size() >= 2; }));
    PumpFor(300);
    EXPECT_EQ(keys, (std::vector<int>{'A', 'B'}));
    EXPECT_EQ(onMain, (std::vector<bool>{true, true}));
}

// One signal, one hand-over: the worker does not keep handing over a drained queue.
TEST_F(HookTest, TheWorkerHandsOverOncePerSignal)
{
    struct TCountingHook : TuiHook {
        TCountingHook() : TuiHook(nullptr) {}
        void ProcessDataEvent() override
        {
            ++HandOvers;
            TuiHook::ProcessDataEvent();
        }
        int HandOvers = 0;
    } hook;
    const TMacroKeyObject a(TMACROKEYHOOK{1, 1, 'A', 0, 0, {}, {}});
    hook.QueueRecordData(kKeyboardRecord, &a);
    EXPECT_TRUE(PumpUntil([&] { return hook.HandOvers >= 1; }));
    PumpFor(1000);
    EXPECT_EQ(hook.HandOvers, 1);
}

TEST_F(HookTest, DestructionWhileTheWorkerWaitsForTheMainThreadEndsAtOnce)
{
    auto hook = std::make_unique<TuiHook>(nullptr);
    int raised = 0;
    hook->OnRecordKeyboardMacroKey.Bind([&](int, int, int, int, double, const std::u16string&, const std::u16string&,
                                            TStringList&) { ++raised; });
    const TMacroKeyObject a(TMACROKEYHOOK{1, 1, 'A', 0, 0, {}, {}});
    Application.ProcessMessages();
    hook->QueueRecordData(kKeyboardRecord, &a);
    // The main thread pumps nothing meanwhile: once the hand-over's wake-up waits in its queue, the
    // worker sits in the hand-over.
    ASSERT_TRUE(WaitForPostedMessage());
    std::atomic<bool> done{false};
    std::thread watchdog([&] {
        for (int i = 0; i < 300 && !done; ++i) Sleep(100);
        if (!done) {
            std::fputs("destruction hangs\n", stderr);
            ExitProcess(3);
        }
    });
    hook.reset();
    done = true;
    watchdog.join();
    PumpFor(200);
    EXPECT_EQ(raised, 0);
}

}  // namespace
