// qeldemo.exe MONITOR_FOLDER [KEY]: makes the demo's profile data for the monitor in
// MONITOR_FOLDER (whose config.ini places the profiles): in the current profile, the button of
// key index KEY (0..14, default 3) mutes the microphone (function code 28). It also creates the
// configuration program's key, under which the monitor records profile switches.
#include "framework/core/Exception.h"
#include "framework/win/Registry.h"
#include "framework/win/WinText.h"
#include "profile/DMUnit.h"
#include "profile/FunctionTable.h"
#include "profile/ProductConstants.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {
constexpr unsigned kDefaultKey = 3;
constexpr char16_t kConfigProgramKey[] = u"software\\QelHV730gmmouse";
} // namespace

int wmain(int argc, wchar_t** argv)
{
    unsigned long key = kDefaultKey;
    wchar_t* end = nullptr;
    if (argc < 2 || argc > 3 || (argc == 3 && ((key = wcstoul(argv[2], &end, 10)) > 14 || *end))) {
        fwprintf(stderr, L"usage: qeldemo MONITOR_FOLDER [KEY]\n");
        return 1;
    }
    std::u16string folder = U(argv[1]);
    if (folder.back() != u'\\' && folder.back() != u'/') folder += u'\\';
    try {
        TDM dm(nullptr, folder);
        dm.FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[key].FunctionCode = kFunctionMicrophoneMute;
        // Wherever the monitor loads the current profile from: its registry value and its file.
        dm.SaveCurrentProfileInfoToRegistry();
        dm.SaveCurrentProfileInfoToFile();
    } catch (const Exception& e) {
        fwprintf(stderr, L"qeldemo: %ls\n", W(e.Message()));
        return 2;
    }
    if (!TRegistry(HKEY_CURRENT_USER).OpenKey(kConfigProgramKey, true)) {
        fwprintf(stderr, L"qeldemo: cannot create HKEY_CURRENT_USER\\%ls\n", W(kConfigProgramKey));
        return 2;
    }
    wprintf(L"demo profile: the button of key index %lu mutes the microphone\n", key);
    return 0;
}
