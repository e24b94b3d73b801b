#include "lang/uiLangBase.h"

#include "framework/core/Text.h"
#include "lang/LanguageData.h"
#include "lang/TranslationService.h"

#include <iterator>
#include <stdexcept>

namespace {

// Far above any real language data (the built-in data is 16 kB): a larger file is not taken
// for language data, and is neither read into memory nor sorted.
constexpr std::uintmax_t kMaxLanguageFileSize = 4u << 20;

} // namespace

TuiLangBase::TuiLangBase(TComponent* AOwner, const TLanguagePlatform& APlatform)
    : TComponent(AOwner), FPlatform(APlatform), FResources(NewLanguageList(APlatform.TextCompare())),
      FOriginal(NewSourceTextList(APlatform.TextCompare()))
{
}

void TuiLangBase::ReadData(std::span<const uint8_t> AData, const std::u16string& AOrigin)
{
    TLanguageData data(FPlatform.TextCompare());
    std::u16string error;
    if (!ReadLanguageData(AData, data, error)) {
        FPlatform.Trace(u"uiLanguage: " + AOrigin + u" rejected, nothing taken from it: " + error);
        return;
    }
    FOriginal = std::move(data.Original);
    for (int i = 0; i < data.Languages.Count(); ++i)
        FResources.AddObject(data.Languages.Strings(i), data.Languages.TakeObject(i));
}

void TuiLangBase::LoadFromFile(const std::u16string& AFileName)
{
    std::vector<uint8_t> bytes;
    switch (FPlatform.ReadWholeFile(AFileName, kMaxLanguageFileSize, bytes)) {
    case TFileRead::Done:
        ReadData(bytes, AFileName);
        return;
    case TFileRead::Missing:
        return;
    case TFileRead::SizeUnknown:
        FPlatform.Trace(u"uiLanguage: " + AFileName + u" rejected: its size cannot be read");
        return;
    case TFileRead::TooLarge:
        FPlatform.Trace(u"uiLanguage: " + AFileName + u" rejected: larger than " +
                        IntToStr(static_cast<long long>(kMaxLanguageFileSize)) + u" bytes");
        return;
    case TFileRead::Failed:
        FPlatform.Trace(u"uiLanguage: " + AFileName + u" rejected: it cannot be read");
        return;
    }
}

void TuiLangBase::SaveToFile(const std::u16string& AFileName) const
{
    if (!FPlatform.WriteWholeFile(AFileName, WriteLanguageData(FOriginal, FResources)))
        throw std::runtime_error("cannot write the language file " + Utf8FromUtf16(AFileName));
}

void TuiLangBase::AddLang(const std::u16string& AName)
{
    if (FResources.IndexOf(AName) < 0) FResources.AddObject(AName, NewTranslationTable(FPlatform.TextCompare()));
}

TStringList* TuiLangBase::FindLanguageTable(std::u16string_view AName) const
{
    const int i = FResources.IndexOf(AName);
    return i < 0 ? nullptr : dynamic_cast<TStringList*>(FResources.Objects(i));
}

void TuiLangBase::SetBaseLang(const std::u16string& AName)
{
    FLang = AName;
    if (FLoading) return;
    if (AName == u"en") {
        TranslationService::Reset();
        return;
    }
    if (const TStringList* table = FindLanguageTable(AName)) TranslationService::Apply(*table);
}

void TuiLangBase::ReadResourcesBin(std::span<const uint8_t> AData) { ReadData(AData, u"the stored language data"); }

bool TuiLangBase::WriteResourcesBin(std::vector<uint8_t>& AData) const
{
    if (!FStoreInForm || FResources.Count() == 0) return false;
    AData = WriteLanguageData(FOriginal, FResources);
    return true;
}

std::u16string TuiLangBase::UserLanguageShortName() const
{
    std::u16string name = FPlatform.UserLanguageAbbreviation().substr(0, 2);
    for (char16_t& c : name)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
    return name;
}

void TuiLangBase::Loaded()
{
    FLoading = false;
    if (!FFileName.empty()) LoadFromFile(FPlatform.ExecutableFolder() + FFileName);
    if (FAutoSelect) FLang = UserLanguageShortName();
    if (FLang.empty()) return;
    if (const TStringList* table = FindLanguageTable(FLang)) TranslationService::Apply(*table);
}

void TuiLangBase::LoadStoredData(std::span<const uint8_t> AResourcesBin)
{
    BeginLoading();
    ReadResourcesBin(AResourcesBin);
    Loaded();
}
