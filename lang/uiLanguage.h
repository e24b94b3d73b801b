#pragma once
// The language component: the application's texts in their source form, one translation table
// per language, and the current language. Selecting a language (Lang) translates the scenes
// through the translation service and the Caption and Hint texts of every registered form's
// components; single texts go through TranslateText. A component registers the form (a control
// that is a form) that owns it. Main thread only.
#include "framework/core/Event.h"
#include "framework/core/StringList.h"
#include "lang/uiLangBase.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TControl;
class TuiLanguage;
struct TLocaleTables;

// A form designer's part in design mode: the translation editor on a component, and the choice
// of a language file ("Language Files|*.Local").
class TLanguageDesigner {
public:
    TLanguageDesigner() = default;
    TLanguageDesigner(const TLanguageDesigner&) = delete;
    TLanguageDesigner& operator=(const TLanguageDesigner&) = delete;
    virtual ~TLanguageDesigner() = default;
    // Shows the editor on the component and returns when it has been closed.
    virtual void EditTranslations(TuiLanguage& ALanguage) = 0;
    // The file the user picked; false when none was.
    virtual bool ChooseLanguageFile(std::u16string& AFileName) = 0;
};

// The texts that key and macro recording produces, translatable like the forms' own.
extern const char16_t* const kRecordingTexts[10];

class TuiLanguage : public TuiLangBase {
public:
    // Builds the locale tables (shared by all components) and, at run time, loads "ui.local"
    // from the program's folder when it is there. The stored data follows (LoadStoredData).
    TuiLanguage(TComponent* AOwner, const TLanguagePlatform& APlatform);
    ~TuiLanguage() override;

    // The system default language identifier, e.g. "0804".
    std::u16string GetOSDefaultLang() const;
    // Position of the language of that name (without case), -1 when there is none.
    int GetLanguageIndexByShortID(std::u16string_view AShortID) const;
    // Name of the language at that position; empty outside the list.
    std::u16string GetLanguageShortIDByIndex(int AIndex) const;
    // Display names from the locale tables (keyed by four hex digits); empty for an unknown key.
    std::u16string GetLanguageLongNameByLangID(std::u16string_view ALangID) const;
    std::u16string GetLanguageLongNameByShortID(std::u16string_view AShortID) const;

    // The language last selected through this component; writing selects one.
    const std::u16string& Lang() const { return FLanguageName; }
    void SetLang(const std::u16string& AName);

    // Writing true selects the user's own language.
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool AValue);
    // The form designer that serves design mode; none unless set.
    void SetDesigner(TLanguageDesigner* ADesigner) { FDesigner = ADesigner; }
    // Writing true in design mode collects the texts of the scenes, of the registered forms and
    // of recording into the source texts, opens the translation editor and waits for it to
    // close; Active is false again afterwards, also when the editor fails. Outside design mode
    // or without a designer the flag is only stored.
    bool Active() const { return FActive; }
    void SetActive(bool AValue);
    // Writing true in design mode lets the user pick a language file, whose languages then
    // replace the component's. Always reads false.
    bool ActiveLoadFromFile() const { return FActiveLoadFromFile; }
    void SetActiveLoadFromFile(bool AValue);

    // Class names whose components are handed to OnCustomTranslate instead of being walked.
    const TStringList& CustomClassList() const { return FTranslateCustomClassList; }
    void SetCustomClassList(const TStringList& AList);
    // Class names handled apart: their components are neither translated nor walked.
    const TStringList& SpecialClassName() const { return FTranslateSpecialClassList; }

    // Number of form registrations of all language components.
    static int uiParentFormCount();

    // Collects the Caption and Hint texts of a component and of everything it owns into
    // ATextList and, when ATranslate is set, replaces them with their translations. An empty
    // base name is computed from the component's place among its owners.
    void TranslateComponent(TComponent* AComponent, TStringList& ATextList, bool ATranslate, std::u16string ABaseName);

    TEvent<void(TComponent* AComponent, TStringList& ATextList, std::vector<TComponent*>& AList,
                const std::u16string& BaseName, bool ATranslate)>
        OnCustomTranslate;
    TEvent<void(TComponent* AComponent, const std::u16string& LanguageShortID, const std::u16string& LanguageLongName)>
        OnLanguageChanged;

private:
    void WalkTree(TComponent* AComponent, TStringList& ATextList, bool ATranslate, const std::u16string& ABaseName,
                  std::vector<TComponent*>& AVisited);
    void TranslateProperties(TComponent* AComponent, TStringList& ATextList, bool ATranslate);

    bool FActive = false;
    bool FAutoSelect = false;
    std::u16string FLanguageName;
    TStringList FTranslatePropertyList;
    TStringList FTranslateSpecialClassList;
    TStringList FTranslateCustomClassList;
    bool FActiveLoadFromFile = false;
    TLanguageDesigner* FDesigner = nullptr;
    std::shared_ptr<TLocaleTables> FLocaleTables;
    TControl* FRegisteredForm = nullptr;
};
