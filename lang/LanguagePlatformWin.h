#pragma once
// The language component's view of Windows: CompareStringW under the user default locale,
// the installed locales (EnumSystemLocalesW), the default languages, the executable's folder,
// files through the kernel and OutputDebugStringW.
#include "lang/LanguagePlatform.h"

class TWinLanguagePlatform : public TLanguagePlatform {
public:
    // The one instance the program's language components share.
    static const TWinLanguagePlatform& Instance();

    TTextCompare TextCompare() const override;
    std::vector<TInstalledLocale> InstalledLocales(int ACountryBufferChars) const override;
    std::u16string SystemDefaultLangID() const override;
    std::u16string UserLanguageAbbreviation() const override;
    std::u16string ExecutableFolder() const override;
    bool FileExists(const std::u16string& AFileName) const override;
    TFileRead ReadWholeFile(const std::u16string& AFileName, std::uintmax_t AMaxSize,
                            std::vector<uint8_t>& ABytes) const override;
    bool WriteWholeFile(const std::u16string& AFileName, std::span<const uint8_t> ABytes) const override;
    void Trace(const std::u16string& ALine) const override;

private:
    TWinLanguagePlatform() = default;
};
