#include "lang/uiLanguage.h"

#include "framework/core/Control.h"
#include "lang/TranslationService.h"
#include "lang/uiScene.h"

#include <algorithm>

// The locale tables: display name and identifier of every installed language, keyed by language
// identifier and by short ID (the identifier, or the empty text for a locale without an
// abbreviated country name). One set serves every component; it lives while any of them does.
struct TLocaleTables {
    explicit TLocaleTables(TTextCompare ACompare) : ByLangID(ACompare), ByShortID(ACompare) {}
    TStringList ByLangID;
    TStringList ByShortID;
    bool Filled = false;
};

const char16_t* const kRecordingTexts[10] = {u"Down",           u"Up",             u"ms",
                                             u"Mouse Click",    u"Mouse Right Click", u"Mouse Middle Click",
                                             u"Backward(Mouse)", u"Forward(Mouse)", u"Wheel up(Mouse)",
                                             u"Wheel Down(Mouse)"};

namespace {

struct TLocaleNames : TStringsObject {
    TLocaleNames(std::u16string ADisplayName, std::u16string ALangID)
        : DisplayName(std::move(ADisplayName)), LangID(std::move(ALangID))
    {
    }
    std::u16string DisplayName;
    std::u16string LangID;
};

std::weak_ptr<TLocaleTables> GLocaleTables;
// uiParentFormList: a form appears once per component that registered it.
std::vector<TControl*> GParentForms;

std::u16string DisplayNameOf(const TStringList& ATable, std::u16string_view AKey)
{
    const int i = ATable.IndexOf(AKey);
    const auto* names = i < 0 ? nullptr : dynamic_cast<const TLocaleNames*>(ATable.Objects(i));
    return names ? names->DisplayName : std::u16string();
}

std::u16string ClassNameOf(const TComponent* AComponent)
{
    const auto* control = dynamic_cast<const TControl*>(AComponent);
    return control ? control->ClassName() : std::u16string();
}

bool IsForm(const TComponent* AComponent)
{
    const auto* control = dynamic_cast<const TControl*>(AComponent);
    return control && control->IsForm();
}

// A form's path is its class name; a component on a form has the form's; deeper ones add
// "." and each owner's name. Without an owner the path is empty.
std::u16string ComponentPath(const TComponent* AComponent)
{
    if (IsForm(AComponent)) return ClassNameOf(AComponent);
    const TComponent* owner = AComponent->Owner();
    if (!owner) return {};
    if (IsForm(owner)) return ClassNameOf(owner);
    return ComponentPath(owner) + u"." + owner->Name();
}

} // namespace

TuiLanguage::TuiLanguage(TComponent* AOwner, const TLanguagePlatform& APlatform)
    : TuiLangBase(AOwner, APlatform), FTranslatePropertyList(APlatform.TextCompare()),
      FTranslateSpecialClassList(APlatform.TextCompare()), FTranslateCustomClassList(APlatform.TextCompare())
{
    FLocaleTables = GLocaleTables.lock();
    if (!FLocaleTables) {
        FLocaleTables = std::make_shared<TLocaleTables>(APlatform.TextCompare());
        GLocaleTables = FLocaleTables;
    }
    if (!Designing() && !FLocaleTables->Filled) {
        for (const TInstalledLocale& locale : APlatform.InstalledLocales(kComponentCountryBufferChars)) {
            FLocaleTables->ByLangID.AddObject(locale.LangID, std::make_unique<TLocaleNames>(locale.DisplayName, locale.LangID));
            FLocaleTables->ByShortID.AddObject(locale.HasCountryAbbreviation ? locale.LangID : std::u16string(),
                                               std::make_unique<TLocaleNames>(locale.DisplayName, locale.LangID));
        }
        FLocaleTables->Filled = true;
    }

    for (const char16_t* name : {u"Caption", u"Hint"}) FTranslatePropertyList.Add(name);
    for (const char16_t* name : {u"TMenuItem", u"TTabControl", u"TTabSheet", u"TListView", u"TTreeView", u"TStatusBar",
                                 u"TComboBoxEx", u"TuiMenuEx"})
        FTranslateSpecialClassList.Add(name);

    auto* owner = dynamic_cast<TControl*>(AOwner);
    if (owner && owner->IsForm()) {
        FRegisteredForm = owner;
        GParentForms.push_back(owner);
    }

    if (!Designing()) {
        const std::u16string file = APlatform.ExecutableFolder() + u"ui.local";
        if (APlatform.FileExists(file)) {
            Resources().Clear();
            LoadFromFile(file);
        }
    }
}

TuiLanguage::~TuiLanguage()
{
    if (FRegisteredForm) {
        auto it = std::find(GParentForms.begin(), GParentForms.end(), FRegisteredForm);
        if (it != GParentForms.end()) GParentForms.erase(it);
    }
}

std::u16string TuiLanguage::GetOSDefaultLang() const { return Platform().SystemDefaultLangID(); }

int TuiLanguage::GetLanguageIndexByShortID(std::u16string_view AShortID) const { return Resources().IndexOf(AShortID); }

std::u16string TuiLanguage::GetLanguageShortIDByIndex(int AIndex) const
{
    return AIndex < 0 || AIndex >= Resources().Count() ? std::u16string() : Resources().Strings(AIndex);
}

std::u16string TuiLanguage::GetLanguageLongNameByLangID(std::u16string_view ALangID) const
{
    return DisplayNameOf(FLocaleTables->ByLangID, ALangID);
}

std::u16string TuiLanguage::GetLanguageLongNameByShortID(std::u16string_view AShortID) const
{
    return DisplayNameOf(FLocaleTables->ByShortID, AShortID);
}

void TuiLanguage::SetLang(const std::u16string& AName)
{
    SetBaseLang(AName);
    FLanguageName = AName;
    if (!Designing()) {
        // By position: a handler of the walk may create or destroy language components.
        for (size_t i = 0; i < GParentForms.size(); ++i) {
            TStringList scratch;
            TranslateComponent(GParentForms[i], scratch, true, std::u16string());
        }
    }
    OnLanguageChanged(this, FLanguageName, GetLanguageLongNameByShortID(FLanguageName));
}

void TuiLanguage::SetAutoSelect(bool AValue)
{
    FAutoSelect = AValue;
    if (AValue) SetLang(UserLanguageShortName());
}

void TuiLanguage::SetCustomClassList(const TStringList& AList)
{
    if (&AList == &FTranslateCustomClassList) return;
    FTranslateCustomClassList.Clear();
    FTranslateCustomClassList.AddStrings(AList);
}

int TuiLanguage::uiParentFormCount() { return static_cast<int>(GParentForms.size()); }

void TuiLanguage::TranslateComponent(TComponent* AComponent, TStringList& ATextList, bool ATranslate,
                                     std::u16string ABaseName)
{
    if (!AComponent) return;
    if (ABaseName.empty()) ABaseName = ComponentPath(AComponent);
    std::vector<TComponent*> visited{AComponent};
    if (AComponent->ComponentCount() == 0) TranslateProperties(AComponent, ATextList, ATranslate);
    else WalkTree(AComponent, ATextList, ATranslate, ABaseName, visited);
}

void TuiLanguage::WalkTree(TComponent* AComponent, TStringList& ATextList, bool ATranslate,
                           const std::u16string& ABaseName, std::vector<TComponent*>& AVisited)
{
    TranslateProperties(AComponent, ATextList, ATranslate);
    const std::u16string childBase = IsForm(AComponent) ? ABaseName : ABaseName + u"." + AComponent->Name();
    for (int i = 0; i < AComponent->ComponentCount(); ++i) {
        TComponent* item = AComponent->Components(i);
        const std::u16string className = ClassNameOf(item);
        // The special classes are controls this system does not have (menu items among them):
        // their handler leaves them as they are.
        if (!className.empty() && FTranslateSpecialClassList.IndexOf(className) >= 0) continue;
        if (!className.empty() && FTranslateCustomClassList.IndexOf(className) >= 0) {
            OnCustomTranslate(item, ATextList, AVisited, ABaseName, ATranslate);
            continue;
        }
        if (std::find(AVisited.begin(), AVisited.end(), item) != AVisited.end()) continue;
        AVisited.push_back(item);
        // Scenes are translated by the translation service, never walked.
        if (dynamic_cast<TuiScene*>(item)) continue;
        WalkTree(item, ATextList, ATranslate, childBase, AVisited);
    }
}

void TuiLanguage::TranslateProperties(TComponent* AComponent, TStringList& ATextList, bool ATranslate)
{
    auto* control = dynamic_cast<TControl*>(AComponent);
    if (!control) return;
    for (int i = 0; i < FTranslatePropertyList.Count(); ++i) {
        const std::u16string& name = FTranslatePropertyList.Strings(i);
        std::u16string value;
        if (!control->GetTextProperty(name, value) || value.empty()) continue;
        ATextList.Add(value);
        const std::u16string translated = TranslateText(value);
        if (ATranslate && !translated.empty()) control->SetTextProperty(name, translated);
    }
}

void TuiLanguage::SetActive(bool AValue)
{
    FActive = AValue;
    if (!AValue || !Designing() || !FDesigner) return;
    // Active is false again however this ends.
    struct TEnd {
        bool& Active;
        ~TEnd() { Active = false; }
    } end{FActive};

    try {
        TranslationService::Reset();
        TranslationService::BeginCollecting();
        struct TStop {
            ~TStop() { TranslationService::EndCollecting(); }
        } stop;
        TranslationService::TranslateScenes();
        const std::unique_ptr<TStringList> collected = TranslationService::EndCollecting();
        for (int i = 0; i < collected->Count(); ++i) Original().Add(collected->Strings(i));
    } catch (...) {
        Platform().Trace(u"uiLanguage: collecting the scenes' texts failed; the editor is not opened");
        return;
    }

    // The source-text list is sorted and drops what it already holds.
    for (size_t i = 0; i < GParentForms.size(); ++i) {
        TStringList texts;
        TranslateComponent(GParentForms[i], texts, false, std::u16string());
        for (int t = 0; t < texts.Count(); ++t) Original().Add(texts.Strings(t));
    }
    for (const char16_t* text : kRecordingTexts) Original().Add(text);
    FDesigner->EditTranslations(*this);
}

void TuiLanguage::SetActiveLoadFromFile(bool AValue)
{
    if (!AValue || !Designing() || !FDesigner) return;
    std::u16string file;
    if (!FDesigner->ChooseLanguageFile(file)) return;
    Resources().Clear();
    LoadFromFile(file);
}
