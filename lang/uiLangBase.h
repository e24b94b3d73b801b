#pragma once
// Base of the language component: the source texts, the languages with their translation
// tables, the language data in files and in the data stored with the owning form, and the link
// to the translation service.
#include "framework/core/Component.h"
#include "framework/core/StringList.h"
#include "lang/LanguagePlatform.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class TuiLangBase : public TComponent {
public:
    TuiLangBase(TComponent* AOwner, const TLanguagePlatform& APlatform);

    // The source-text list and the language list (names with their tables as objects).
    TStringList& Original() { return FOriginal; }
    const TStringList& Original() const { return FOriginal; }
    TStringList& Resources() { return FResources; }
    const TStringList& Resources() const { return FResources; }

    // Reads a language file when it exists: its source texts replace the list, its languages
    // are appended. A damaged file is taken not at all, with a trace line saying why.
    void LoadFromFile(const std::u16string& AFileName);
    // Creates or overwrites the file; std::runtime_error when it cannot be written.
    void SaveToFile(const std::u16string& AFileName) const;
    // Appends a language with an empty table unless one of that name (without case) exists.
    void AddLang(const std::u16string& AName);
    // The table of the first language of that name (without case), or none.
    TStringList* FindLanguageTable(std::u16string_view AName) const;

    // The language name last given to the base, and its selection: "en" undoes every
    // translation; a known name makes a copy of its table current and re-translates the
    // scenes; an unknown one changes nothing. While loading, the name is only stored.
    const std::u16string& BaseLang() const { return FLang; }
    void SetBaseLang(const std::u16string& AName);

    // The data stored with the owning form (ResourcesBin), in the language data format. On
    // reading, its source texts replace the list and its languages are appended after those
    // already present (from "ui.local"). It is written only when it is to be stored with the
    // form and there is at least one language.
    void ReadResourcesBin(std::span<const uint8_t> AData);
    bool WriteResourcesBin(std::vector<uint8_t>& AData) const;
    bool StoreInForm() const { return FStoreInForm; }
    void SetStoreInForm(bool AValue) { FStoreInForm = AValue; }

    // A language file to load when loading completes; a relative name is taken from the
    // program's folder. Empty unless set.
    const std::u16string& FileName() const { return FFileName; }
    void SetFileName(const std::u16string& AFileName) { FFileName = AFileName; }

    // Loading from the owner's stored description: between BeginLoading and Loaded the
    // component takes its stored properties; Loaded completes the loading (the language
    // file, then the user's own language when one of that name exists).
    void BeginLoading() { FLoading = true; }
    bool Loading() const { return FLoading; }
    virtual void Loaded();
    // The whole sequence for a component whose stored data is ResourcesBin alone.
    void LoadStoredData(std::span<const uint8_t> AResourcesBin);

protected:
    const TLanguagePlatform& Platform() const { return FPlatform; }
    // The first two letters, in lower case, of the user's abbreviated language name ("ch" for
    // "CHS"); empty when the system does not tell it.
    std::u16string UserLanguageShortName() const;

private:
    void ReadData(std::span<const uint8_t> AData, const std::u16string& AOrigin);

    const TLanguagePlatform& FPlatform;
    std::u16string FLang;
    TStringList FResources;
    TStringList FOriginal;
    bool FAutoSelect = true;
    std::u16string FFileName;
    bool FStoreInForm = true;
    bool FLoading = false;
};
