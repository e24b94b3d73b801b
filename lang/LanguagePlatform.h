#pragma once
// What the language component asks of the operating system: the user locale's collation, the
// installed locales, the default languages, the program's folder, its files and the debugger
// trace. The Windows build answers through the platform (TWinLanguagePlatform); tests give their
// own answers.
#include "framework/core/StringList.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct TInstalledLocale {
    std::u16string LangID;      // four hex digits, e.g. "0804"
    std::u16string DisplayName; // the language's name as the system shows it
    bool HasCountryAbbreviation = false;
};

// The buffers the abbreviated country name is read into: the language component's four
// characters (three letters and the terminator) and the translation editor's ten.
inline constexpr int kComponentCountryBufferChars = 4;
inline constexpr int kEditorCountryBufferChars = 10;

// How reading a whole file went.
enum class TFileRead { Done, Missing, SizeUnknown, TooLarge, Failed };

class TLanguagePlatform {
public:
    TLanguagePlatform() = default;
    TLanguagePlatform(const TLanguagePlatform&) = delete;
    TLanguagePlatform& operator=(const TLanguagePlatform&) = delete;
    virtual ~TLanguagePlatform() = default;

    // The comparison that sorted lists of texts follow.
    virtual TTextCompare TextCompare() const = 0;
    // HasCountryAbbreviation tells whether the locale's abbreviated country name can be read into
    // a buffer of ACountryBufferChars characters, its terminator included.
    virtual std::vector<TInstalledLocale> InstalledLocales(int ACountryBufferChars) const = 0;
    // The system default language identifier as four upper-case hex digits.
    virtual std::u16string SystemDefaultLangID() const = 0;
    // The user default locale's abbreviated language name ("CHS", "ENU"); empty when unknown.
    virtual std::u16string UserLanguageAbbreviation() const = 0;
    // The folder of the running executable with its trailing separator, so that a file name
    // joined to it stays in that folder also when it is a drive's root ("C:\", not "C:").
    virtual std::u16string ExecutableFolder() const = 0;
    virtual bool FileExists(const std::u16string& AFileName) const = 0;
    // Reads the whole file into ABytes; a file larger than AMaxSize is not read at all.
    virtual TFileRead ReadWholeFile(const std::u16string& AFileName, std::uintmax_t AMaxSize,
                                    std::vector<uint8_t>& ABytes) const = 0;
    // Puts a file of that name, spelt as given, in place of any earlier one; false when the bytes
    // could not all be written.
    virtual bool WriteWholeFile(const std::u16string& AFileName, std::span<const uint8_t> ABytes) const = 0;
    virtual void Trace(const std::u16string& ALine) const = 0;
};
