#pragma once
// What the Windows tests of the language component share.
#include "framework/win/WinText.h"
#include "lang/LanguageCatalog.h"
#include "lang/LanguagePlatformWin.h"
#include "lang/TranslationService.h"
#include "lang/uiLanguage.h"

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::u16string UserAbbreviation()
{
    wchar_t text[16];
    return GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, text, 16) > 0 ? U(text) : std::u16string();
}

inline std::vector<uint8_t> FileBytes(const std::filesystem::path& APath)
{
    std::ifstream in(APath, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The built-in data, loaded by a component as the main window loads it, saved to a file and
// read back as bytes.
inline std::vector<uint8_t> SavedBuiltInData(const std::filesystem::path& AFile)
{
    TuiLanguage language(nullptr, TWinLanguagePlatform::Instance());
    language.LoadStoredData(BuiltInLanguageData());
    language.SaveToFile(AFile.u16string());
    TranslationService::Reset();
    std::vector<uint8_t> bytes = FileBytes(AFile);
    std::filesystem::remove(AFile);
    return bytes;
}
