#pragma once
// A platform for the language component where the system's answers are the test's: code-unit
// collation, a few locales, chosen default languages, a folder of its own as the program's
// folder, files through the standard library, and the trace lines kept.
#include "lang/LanguagePlatform.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

class TFakeLanguagePlatform : public TLanguagePlatform {
public:
    TFakeLanguagePlatform()
    {
        // Test programs run side by side: a random name keeps their folders apart.
        std::random_device random;
        do {
            FFolder = std::filesystem::temp_directory_path() /
                      ("qel-lang-" + std::to_string(random()) + "-" + std::to_string(random()));
        } while (!std::filesystem::create_directories(FFolder));
    }
    ~TFakeLanguagePlatform() override
    {
        std::error_code ec;
        std::filesystem::remove_all(FFolder, ec);
    }

    TTextCompare TextCompare() const override { return CompareOrdinal; }
    // A locale's abbreviated country name is read when the buffer holds it and its terminator.
    std::vector<TInstalledLocale> InstalledLocales(int ACountryBufferChars) const override
    {
        ++EnumerationCount;
        std::vector<TInstalledLocale> out;
        for (const TLocale& locale : Locales)
            out.push_back({locale.LangID, locale.DisplayName,
                           !locale.CountryAbbreviation.empty() &&
                               static_cast<int>(locale.CountryAbbreviation.size()) < ACountryBufferChars});
        return out;
    }
    std::u16string SystemDefaultLangID() const override { return SystemLangID; }
    std::u16string UserLanguageAbbreviation() const override { return UserAbbreviation; }
    std::u16string ExecutableFolder() const override { return (FFolder / "").u16string(); }
    bool FileExists(const std::u16string& AFileName) const override
    {
        std::error_code ec;
        return std::filesystem::is_regular_file(std::filesystem::path(AFileName), ec);
    }
    TFileRead ReadWholeFile(const std::u16string& AFileName, std::uintmax_t AMaxSize,
                            std::vector<uint8_t>& ABytes) const override
    {
        const std::filesystem::path path(AFileName);
        std::error_code ec;
        if (!std::filesystem::exists(path, ec)) return TFileRead::Missing;
        const std::uintmax_t size = std::filesystem::file_size(path, ec);
        if (ec) return TFileRead::SizeUnknown;
        if (size > AMaxSize) return TFileRead::TooLarge;
        std::ifstream in(path, std::ios::binary);
        ABytes.resize(static_cast<size_t>(size));
        return in.read(reinterpret_cast<char*>(ABytes.data()), static_cast<std::streamsize>(ABytes.size()))
                   ? TFileRead::Done
                   : TFileRead::Failed;
    }
    bool WriteWholeFile(const std::u16string& AFileName, std::span<const uint8_t> ABytes) const override
    {
        const std::filesystem::path path(AFileName);
        std::error_code ec;
        std::filesystem::remove(path, ec);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(ABytes.data()), static_cast<std::streamsize>(ABytes.size()));
        out.close();
        return static_cast<bool>(out);
    }
    void Trace(const std::u16string& ALine) const override { Traces.push_back(ALine); }

    // A file in the program's folder.
    std::u16string PathOf(const std::u16string& AName) const { return (FFolder / AName).u16string(); }

    struct TLocale {
        std::u16string LangID;
        std::u16string DisplayName;
        std::u16string CountryAbbreviation; // empty: the locale has none
    };
    std::vector<TLocale> Locales{{u"0804", u"Chinese (PRC)", u"CHN"}, {u"0409", u"English (United States)", u"USA"},
                                 {u"047F", u"Invariant Language", u""}};
    std::u16string SystemLangID = u"0804";
    std::u16string UserAbbreviation = u"ENU";
    mutable int EnumerationCount = 0;
    mutable std::vector<std::u16string> Traces;

private:
    std::filesystem::path FFolder;
};
