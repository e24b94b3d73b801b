#include "lang/LanguagePlatformWin.h"

#include "framework/core/Exception.h"
#include "framework/win/FileStream.h"
#include "framework/win/FileSystem.h"
#include "framework/win/WinText.h"

#include <windows.h>

#include <climits>
#include <cwchar>
#include <iterator>

namespace {

// The user locale's collation, as the lists of texts are sorted on Windows.
int CompareUserLocale(std::u16string_view A, std::u16string_view B, bool ACaseSensitive)
{
    const auto* a = reinterpret_cast<const wchar_t*>(A.data());
    const auto* b = reinterpret_cast<const wchar_t*>(B.data());
    if (A.size() <= INT_MAX && B.size() <= INT_MAX) {
        const int r = CompareStringW(LOCALE_USER_DEFAULT, ACaseSensitive ? 0 : NORM_IGNORECASE, a,
                                     static_cast<int>(A.size()), b, static_cast<int>(B.size()));
        if (r != 0) return r - CSTR_EQUAL;
    }
    return CompareOrdinal(A, B, ACaseSensitive);
}

std::u16string LocaleInfo(LCID ALocale, LCTYPE AType)
{
    wchar_t buffer[128];
    return GetLocaleInfoW(ALocale, AType, buffer, static_cast<int>(std::size(buffer))) > 0 ? U(buffer) : std::u16string();
}

// EnumSystemLocalesW passes no context to its callback: the enumeration fills this list, with
// the country name's buffer size, on the main thread only.
std::vector<TInstalledLocale>* GEnumerated = nullptr;
int GCountryBufferChars = 0;

BOOL CALLBACK AddLocale(LPWSTR ALocale)
{
    const auto id = static_cast<LCID>(std::wcstoul(ALocale, nullptr, 16));
    TInstalledLocale locale;
    locale.LangID = LocaleInfo(id, LOCALE_ILANGUAGE);
    locale.DisplayName = LocaleInfo(id, LOCALE_SLANGUAGE);
    std::vector<wchar_t> country(static_cast<size_t>(GCountryBufferChars));
    locale.HasCountryAbbreviation =
        GetLocaleInfoW(id, LOCALE_SABBREVCTRYNAME, country.data(), GCountryBufferChars) > 0;
    GEnumerated->push_back(std::move(locale));
    return TRUE;
}

} // namespace

const TWinLanguagePlatform& TWinLanguagePlatform::Instance()
{
    static const TWinLanguagePlatform instance;
    return instance;
}

TTextCompare TWinLanguagePlatform::TextCompare() const { return CompareUserLocale; }

std::vector<TInstalledLocale> TWinLanguagePlatform::InstalledLocales(int ACountryBufferChars) const
{
    std::vector<TInstalledLocale> locales;
    GEnumerated = &locales;
    GCountryBufferChars = ACountryBufferChars;
    EnumSystemLocalesW(AddLocale, LCID_SUPPORTED);
    GEnumerated = nullptr;
    return locales;
}

std::u16string TWinLanguagePlatform::SystemDefaultLangID() const
{
    wchar_t text[8];
    std::swprintf(text, std::size(text), L"%04X", static_cast<unsigned>(GetSystemDefaultLangID()));
    return U(text);
}

std::u16string TWinLanguagePlatform::UserLanguageAbbreviation() const
{
    return LocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME);
}

std::u16string TWinLanguagePlatform::ExecutableFolder() const { return ProgramFolder(); }

bool TWinLanguagePlatform::FileExists(const std::u16string& AFileName) const { return ::FileExists(AFileName); }

TFileRead TWinLanguagePlatform::ReadWholeFile(const std::u16string& AFileName, std::uintmax_t AMaxSize,
                                              std::vector<uint8_t>& ABytes) const
{
    if (!::FileExists(AFileName)) return TFileRead::Missing;
    try {
        TFileStream file(AFileName, TFileMode::OpenRead);
        int64_t size = 0;
        try {
            size = file.Size();
        } catch (const Exception&) {
            return TFileRead::SizeUnknown;
        }
        if (static_cast<std::uintmax_t>(size) > AMaxSize) return TFileRead::TooLarge;
        ABytes.resize(static_cast<size_t>(size));
        file.ReadBuffer(ABytes.data(), size);
    } catch (const Exception&) {
        return TFileRead::Failed;
    }
    return TFileRead::Done;
}

bool TWinLanguagePlatform::WriteWholeFile(const std::u16string& AFileName, std::span<const uint8_t> ABytes) const
{
    // A file that is there keeps its own spelling when it is overwritten: it goes first.
    DeleteFileW(W(AFileName));
    try {
        TFileStream file(AFileName, TFileMode::Create);
        file.WriteBuffer(ABytes.data(), static_cast<int64_t>(ABytes.size()));
    } catch (const Exception&) {
        return false;
    }
    return true;
}

void TWinLanguagePlatform::Trace(const std::u16string& ALine) const { OutputDebugStringW(W(ALine)); }
