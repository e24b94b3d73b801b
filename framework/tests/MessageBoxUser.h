#pragma once
// Plays the user of modal message boxes: while it lives, a thread of its own presses OK on every
// message box this process shows, after noting its caption and text. The code under test blocks
// in the box until then, so the boxes of one call have all been seen when it returns.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TMessageBoxUser {
public:
    struct TSeen {
        std::wstring Caption;
        std::wstring Text;
        bool operator==(const TSeen&) const = default;
    };

    TMessageBoxUser() : FThread([this] { Run(); }) {}
    ~TMessageBoxUser()
    {
        FStop = true;
        FThread.join();
    }
    TMessageBoxUser(const TMessageBoxUser&) = delete;
    TMessageBoxUser& operator=(const TMessageBoxUser&) = delete;

    std::vector<TSeen> Seen() const
    {
        std::lock_guard lock(FMutex);
        return FSeen;
    }
    std::vector<std::wstring> Texts() const
    {
        std::vector<std::wstring> texts;
        for (const auto& seen : Seen()) texts.push_back(seen.Text);
        return texts;
    }

private:
    struct TSearch {
        HWND Box = nullptr;
    };

    static BOOL CALLBACK FindBox(HWND AWindow, LPARAM AParam)
    {
        DWORD process = 0;
        GetWindowThreadProcessId(AWindow, &process);
        wchar_t cls[32] = {};
        GetClassNameW(AWindow, cls, 32);
        if (process != GetCurrentProcessId() || wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(AWindow)) return TRUE;
        reinterpret_cast<TSearch*>(AParam)->Box = AWindow;
        return FALSE;
    }

    static BOOL CALLBACK FindStatic(HWND AChild, LPARAM AParam)
    {
        wchar_t cls[32] = {}, text[256] = {};
        GetClassNameW(AChild, cls, 32);
        if (_wcsicmp(cls, L"Static") == 0 && GetWindowTextW(AChild, text, 256) > 0) {
            *reinterpret_cast<std::wstring*>(AParam) = text;
            return FALSE;
        }
        return TRUE;
    }

    void Run()
    {
        while (!FStop) {
            TSearch search;
            EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
            if (search.Box != nullptr) {
                TSeen seen;
                wchar_t caption[256] = {};
                GetWindowTextW(search.Box, caption, 256);
                seen.Caption = caption;
                EnumChildWindows(search.Box, FindStatic, reinterpret_cast<LPARAM>(&seen.Text));
                {
                    std::lock_guard lock(FMutex);
                    FSeen.push_back(seen);
                }
                PostMessageW(search.Box, WM_COMMAND, IDOK, 0);
                // The pressed box is gone before the next one is looked for.
                while (!FStop && IsWindow(search.Box)) Sleep(10);
            }
            Sleep(20);
        }
    }

    std::atomic<bool> FStop{false};
    mutable std::mutex FMutex;
    std::vector<TSeen> FSeen;
    std::thread FThread;
};
