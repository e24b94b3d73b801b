#include "FakeLanguagePlatform.h"
#include "LanguageTestSupport.h"
#include "lang/LanguageCatalog.h"
#include "lang/uiLanguage.h"
#include "lang/uiScene.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const std::u16string kConfigCH = u"\u6253\u5f00\u914d\u7f6e"; // 打开配置
const std::u16string kExitCH = u"\u9000\u51fa\u8f6f\u4ef6";   // 退出软件
const std::u16string kDownCH = u"\u6309\u4e0b";               // 按下

class UiLanguage : public TServiceReset {
protected:
    // A form with a language component holding the built-in data, loaded as the main window loads it.
    TuiLanguage* MakeLanguage(TComponent* AOwner)
    {
        auto* language = new TuiLanguage(AOwner, Platform);
        language->LoadStoredData(BuiltInLanguageData());
        return language;
    }

    TFakeLanguagePlatform Platform;
};

TEST_F(UiLanguage, EdgeCasesOfTheLookupsWithTheBuiltInData)
{
    TMainForm form(nullptr);
    TuiLanguage* language = MakeLanguage(&form);

    struct TIndexCase {
        std::u16string Name;
        int Index;
    };
    for (const TIndexCase& c : {TIndexCase{u"CH", 0}, {u"ch", 0}, {u"us", 1}, {u"US", 1}, {u"EN", -1}, {u"", -1}})
        EXPECT_EQ(language->GetLanguageIndexByShortID(c.Name), c.Index) << std::string(c.Name.begin(), c.Name.end());

    struct TNameCase {
        int Index;
        std::u16string Name;
    };
    for (const TNameCase& c : {TNameCase{0, u"CH"}, {1, u"US"}, {2, u""}, {-1, u""}})
        EXPECT_EQ(language->GetLanguageShortIDByIndex(c.Index), c.Name) << c.Index;

    struct TLongNameCase {
        bool ByShortID;
        std::u16string Key;
        std::u16string Name;
    };
    const TLongNameCase longNames[] = {
        {true, u"CH", u""}, // the locale tables are keyed by hex identifiers
        {true, u"0804", u"Chinese (PRC)"},
        {true, u"047F", u""}, // no abbreviated country name: its short ID is the empty text
        {true, u"", u"Invariant Language"},
        {false, u"0409", u"English (United States)"},
        {false, u"047f", u"Invariant Language"}, // keys compare without case
        {false, u"0000", u""},
    };
    for (const TLongNameCase& c : longNames) {
        const std::u16string name = c.ByShortID ? language->GetLanguageLongNameByShortID(c.Key)
                                                : language->GetLanguageLongNameByLangID(c.Key);
        EXPECT_EQ(name, c.Name) << std::string(c.Key.begin(), c.Key.end());
    }
    EXPECT_EQ(language->GetOSDefaultLang(), u"0804");
}

TEST_F(UiLanguage, TranslateTextUnderCH)
{
    TMainForm form(nullptr);
    MakeLanguage(&form)->SetLang(u"CH");
    struct TCase {
        std::u16string Text;
        std::u16string Expected;
    };
    const TCase cases[] = {
        {u"", u""},
        {u"No such text", u"No such text"},
        {u"Config", kConfigCH},
        {u"Mouse Right Click", u"  \u53f3\u952e"}, // two leading blanks
        {u"Config=" + kConfigCH, u"Config=" + kConfigCH},
        {u"QEL Skirmisher HV730 Gaming Mouse Monitor", u"QEL Skirmisher HV730 Gaming Mouse Monitor"},
    };
    for (const TCase& c : cases) EXPECT_EQ(TranslateText(c.Text), c.Expected);
}

TEST_F(UiLanguage, EnResetsButEnInCapitalsIsAnOrdinaryName)
{
    TMainForm form(nullptr);
    TuiScene* scene = new TuiScene(&form);
    scene->AddText(u"Config");
    TuiLanguage* language = MakeLanguage(&form);
    language->SetLang(u"CH");
    EXPECT_EQ(scene->Text(0), kConfigCH);

    language->SetLang(u"EN"); // no such language: the table in force stays
    EXPECT_EQ(language->Lang(), u"EN");
    EXPECT_EQ(scene->Text(0), kConfigCH);
    EXPECT_EQ(TranslateText(u"Config"), kConfigCH);

    language->SetLang(u"en");
    EXPECT_EQ(scene->Text(0), u"Config");
    EXPECT_FALSE(TranslationService::HasCurrentTable());
}

TEST_F(UiLanguage, UsAfterChRetranslatesScenesButNotReplacedCaptions)
{
    TMainForm form(nullptr);
    auto* scene = new TuiScene(&form);
    for (const char16_t* text : {u"Config", u"Down", u"Switch Orienetation"}) scene->AddText(text);
    auto* config = new TTestControl(&form, u"TButton", u"Config", u"Exit");
    auto* down = new TTestControl(&form, u"TLabel", u"Down");
    auto* untouched = new TTestControl(&form, u"TLabel", u"Not in the data");
    TuiLanguage* language = MakeLanguage(&form);

    language->SetLang(u"CH");
    EXPECT_EQ(scene->Text(0), kConfigCH);
    EXPECT_EQ(scene->Text(1), kDownCH);
    EXPECT_EQ(config->Caption(), kConfigCH);
    EXPECT_EQ(config->Hint(), kExitCH);
    EXPECT_EQ(down->Caption(), kDownCH);
    EXPECT_EQ(untouched->Caption(), u"Not in the data");

    // The US table learns one Chinese text as a name: only that caption changes again.
    language->FindLanguageTable(u"US")->Add(kDownCH + u"=Pressed");
    language->SetLang(u"US");
    EXPECT_EQ(scene->Text(0), u"Config"); // back to the source, and "US" has no "Config" line
    EXPECT_EQ(scene->Text(1), u"Down");
    EXPECT_EQ(scene->Text(2), u"Switch Orientation");
    EXPECT_EQ(config->Caption(), kConfigCH);
    EXPECT_EQ(config->Hint(), kExitCH);
    EXPECT_EQ(down->Caption(), u"Pressed");
    EXPECT_EQ(language->Lang(), u"US");
}

TEST_F(UiLanguage, UiLocaleLanguagesComeFirstAndOverrideTheBuiltInOnes)
{
    WriteBytes(Platform.PathOf(u"ui.local"),
               LanguageFile({u"Config"}, {{u"CH", {u"Config=file CH"}}, {u"JP", {u"Config=file JP"}}}));
    TMainForm form(nullptr);
    TuiLanguage* language = MakeLanguage(&form);
    EXPECT_EQ(Lines(language->Resources()), (std::vector<std::u16string>{u"CH", u"JP", u"CH", u"US"}));
    EXPECT_EQ(language->GetLanguageShortIDByIndex(1), u"JP");
    EXPECT_EQ(language->GetLanguageIndexByShortID(u"US"), 3);
    EXPECT_EQ(language->Original().Count(), 218); // the stored source texts replace the file's
    language->SetLang(u"CH");
    EXPECT_EQ(TranslateText(u"Config"), u"file CH");
}

TEST_F(UiLanguage, ALanguageFileWithACountOfZeroOrLessGivesItsSourceTextsAndNoLanguage)
{
    for (const uint32_t count : {0u, 0xFFFFFFFFu}) {
        std::vector<uint8_t> bytes = LanguageFile({u"Config", u"Exit"}, {{u"JP", {u"Config=file JP"}}});
        const size_t languageCount = 4 + 2 * (8 + 6);
        for (int i = 0; i < 4; ++i) bytes[languageCount + static_cast<size_t>(i)] = static_cast<uint8_t>(count >> (8 * i));
        WriteBytes(Platform.PathOf(u"none.local"), bytes);
        Platform.Traces.clear();
        TuiLanguage language(nullptr, Platform);
        language.AddLang(u"US");
        language.LoadFromFile(Platform.PathOf(u"none.local"));
        EXPECT_EQ(Lines(language.Original()), (std::vector<std::u16string>{u"Config", u"Exit"})) << count;
        EXPECT_EQ(Lines(language.Resources()), (std::vector<std::u16string>{u"US"})) << count;
        EXPECT_TRUE(Platform.Traces.empty()) << count;
    }
}

TEST_F(UiLanguage, DamagedLanguageDataIsTakenNotAtAll)
{
    const std::vector<uint8_t> good = LanguageFile({u"Config"}, {{u"JP", {u"Config=file JP"}}});
    auto cut = [&](size_t AKeep) { return std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(AKeep)); };
    auto withCount = [&](size_t AAt, uint32_t ACount) {
        std::vector<uint8_t> bytes = good;
        for (int i = 0; i < 4; ++i) bytes[AAt + static_cast<size_t>(i)] = static_cast<uint8_t>(ACount >> (8 * i));
        return bytes;
    };
    std::vector<uint8_t> trailing = good;
    trailing.insert(trailing.end(), {'x', 0});
    const size_t languageCount = 4 + 2 * 8; // after "Config\r\n"
    const std::pair<const char*, std::vector<uint8_t>> damaged[] = {
        {"empty file", {}},
        {"odd length", cut(good.size() - 1)},
        {"truncated table", cut(good.size() - 4)},
        {"source length beyond the end", withCount(0, 0x00FFFFFF)},
        {"negative source length", withCount(0, 0xFFFFFFF0)},
        {"language count beyond the end", withCount(languageCount, 0x7FFFFFFF)},
        {"bytes after the last language", trailing},
    };
    for (const auto& [what, bytes] : damaged) {
        WriteBytes(Platform.PathOf(u"ui.local"), bytes);
        Platform.Traces.clear();
        TMainForm form(nullptr);
        TuiLanguage* language = MakeLanguage(&form);
        EXPECT_EQ(Lines(language->Resources()), (std::vector<std::u16string>{u"CH", u"US"})) << what;
        ASSERT_EQ(Platform.Traces.size(), 1u) << what;
        EXPECT_NE(Platform.Traces[0].find(u"ui.local rejected"), std::u16string::npos) << what;
    }

    // A file far larger than any language data is not even read.
    WriteBytes(Platform.PathOf(u"ui.local"), good);
    std::filesystem::resize_file(std::filesystem::path(Platform.PathOf(u"ui.local")), (4u << 20) + 1);
    Platform.Traces.clear();
    {
        TMainForm form(nullptr);
        EXPECT_EQ(Lines(MakeLanguage(&form)->Resources()), (std::vector<std::u16string>{u"CH", u"US"}));
        ASSERT_EQ(Platform.Traces.size(), 1u);
        EXPECT_NE(Platform.Traces[0].find(u"larger than"), std::u16string::npos);
    }

    // Damaged stored data leaves the component as it was.
    Platform.Traces.clear();
    std::filesystem::remove(std::filesystem::path(Platform.PathOf(u"ui.local")));
    TMainForm form(nullptr);
    auto* language = new TuiLanguage(&form, Platform);
    language->LoadStoredData(cut(good.size() - 2));
    EXPECT_EQ(language->Resources().Count(), 0);
    EXPECT_EQ(language->Original().Count(), 0);
    ASSERT_EQ(Platform.Traces.size(), 1u);
    EXPECT_NE(Platform.Traces[0].find(u"stored language data rejected"), std::u16string::npos);
}

TEST_F(UiLanguage, LoadCompletionAppliesTheUsersLanguageWhenOneOfThatNameExists)
{
    struct TCase {
        std::u16string Abbreviation;
        std::u16string BaseLang;
        std::u16string Config; // the scene's "Config" afterwards
        std::u16string Switch; // and its "Switch Orienetation"
    };
    const TCase cases[] = {
        {u"CHS", u"ch", kConfigCH, u"\u5207\u6362\u65b9\u5411"},
        {u"ENU", u"en", u"Config", u"Switch Orienetation"},
        {u"USA", u"us", u"Config", u"Switch Orientation"},
        {u"", u"", u"Config", u"Switch Orienetation"},
        {u"J", u"j", u"Config", u"Switch Orienetation"},
    };
    for (const TCase& c : cases) {
        Platform.UserAbbreviation = c.Abbreviation;
        TMainForm form(nullptr);
        auto* scene = new TuiScene(&form);
        scene->AddText(u"Config");
        scene->AddText(u"Switch Orienetation");
        TuiLanguage* language = MakeLanguage(&form);
        const std::string what(c.Abbreviation.begin(), c.Abbreviation.end());
        EXPECT_EQ(language->BaseLang(), c.BaseLang) << what;
        EXPECT_EQ(language->Lang(), u"") << what; // selecting through Lang is left to the owner
        EXPECT_EQ(scene->Text(0), c.Config) << what;
        EXPECT_EQ(scene->Text(1), c.Switch) << what;
        TranslationService::Reset();
    }
}

TEST_F(UiLanguage, WhileLoadingTheBaseOnlyStoresTheName)
{
    TMainForm form(nullptr);
    TuiLanguage* language = MakeLanguage(&form);
    language->BeginLoading();
    language->SetBaseLang(u"CH");
    EXPECT_EQ(language->BaseLang(), u"CH");
    EXPECT_FALSE(TranslationService::HasCurrentTable());
    language->Loaded();
    language->SetBaseLang(u"CH");
    EXPECT_EQ(TranslateText(u"Config"), kConfigCH);
}

TEST_F(UiLanguage, TheWalkTranslatesCaptionsAndHintsOfEverythingTheFormOwns)
{
    TMainForm form(nullptr);
    form.SetCaption(u"Config");
    auto* menuItem = new TTestControl(&form, u"TMenuItem", u"Config");
    auto* tabSheet = new TTestControl(&form, u"tTabSheet", u"Exit"); // class names compare without case
    auto* panel = new TTestControl(&form, u"TPanel", u"About");
    panel->SetName(u"Panel1");
    auto* inner = new TTestControl(panel, u"TPanel", u"");
    inner->SetName(u"Panel2");
    auto* deep = new TTestControl(inner, u"TLabel", u"Exit", u"Config");
    auto* custom = new TTestControl(inner, u"TCustomThing", u"Config");
    auto* hintOnly = new THintOnly(&form);
    hintOnly->SetCaption(u"Config");
    hintOnly->SetHint(u"Exit");
    auto* plain = new TComponent(&form); // not a control, but what it owns is walked
    auto* underPlain = new TTestControl(plain, u"TLabel", u"Down");
    auto* scene = new TuiScene(&form);  // translated by the service, never walked
    auto* underScene = new TTestControl(scene, u"TLabel", u"Config");
    TuiLanguage* language = MakeLanguage(&form);

    TStringList customClasses;
    customClasses.Add(u"TCustomThing");
    language->SetCustomClassList(customClasses);
    customClasses.Clear();
    language->SetCustomClassList(language->CustomClassList());
    EXPECT_EQ(Lines(language->CustomClassList()), (std::vector<std::u16string>{u"TCustomThing"}));
    EXPECT_EQ(language->SpecialClassName().Count(), 8);
    std::vector<std::u16string> customCalls;
    language->OnCustomTranslate.Bind([&](TComponent* AComponent, TStringList&, std::vector<TComponent*>& AList,
                                         const std::u16string& BaseName, bool ATranslate) {
        EXPECT_EQ(AComponent, custom);
        EXPECT_TRUE(ATranslate);
        EXPECT_NE(std::find(AList.begin(), AList.end(), inner), AList.end());
        customCalls.push_back(BaseName);
    });

    language->SetLang(u"CH");
    EXPECT_EQ(form.Caption(), kConfigCH);
    EXPECT_EQ(menuItem->Caption(), u"Config"); // special classes are left alone
    EXPECT_EQ(tabSheet->Caption(), u"Exit");
    EXPECT_EQ(panel->Caption(), u"\u5173\u4e8e\u8f6f\u4ef6");
    EXPECT_EQ(deep->Caption(), kExitCH);
    EXPECT_EQ(deep->Hint(), kConfigCH);
    EXPECT_EQ(custom->Caption(), u"Config"); // handed to the event instead
    EXPECT_EQ(customCalls, (std::vector<std::u16string>{u"TMainForm.Panel1"}));
    EXPECT_EQ(hintOnly->Caption(), u"Config"); // not published
    EXPECT_EQ(hintOnly->Hint(), kExitCH);
    EXPECT_EQ(underPlain->Caption(), kDownCH);
    EXPECT_EQ(underScene->Caption(), u"Config");
}

TEST_F(UiLanguage, TranslateComponentCollectsWithoutTranslatingAndNamesThePath)
{
    TMainForm form(nullptr);
    form.SetCaption(u"Config");
    auto* panel = new TTestControl(&form, u"TPanel", u"About");
    panel->SetName(u"Panel1");
    auto* inner = new TTestControl(panel, u"TPanel", u"");
    inner->SetName(u"Panel2");
    auto* innermost = new TTestControl(inner, u"TPanel", u"Exit");
    innermost->SetName(u"Panel3");
    auto* custom = new TTestControl(innermost, u"TCustomThing", u"");
    TuiLanguage* language = MakeLanguage(&form);
    language->SetLang(u"CH");
    TStringList classes;
    classes.Add(u"TCustomThing");
    language->SetCustomClassList(classes);
    std::u16string baseName;
    language->OnCustomTranslate.Bind([&](TComponent* AComponent, TStringList&, std::vector<TComponent*>&,
                                         const std::u16string& BaseName, bool ATranslate) {
        EXPECT_EQ(AComponent, custom);
        EXPECT_FALSE(ATranslate);
        baseName = BaseName;
    });

    form.SetCaption(u"Config");
    panel->SetCaption(u"About");
    innermost->SetCaption(u"Exit");
    TStringList texts;
    language->TranslateComponent(inner, texts, false, std::u16string());
    // Panel2's path is its owner's ("TMainForm", as Panel1 is on the form) and ".Panel1"; the
    // walk adds ".Panel2" for what Panel2 owns, and Panel3's items get that base name.
    EXPECT_EQ(baseName, u"TMainForm.Panel1.Panel2");
    EXPECT_EQ(Lines(texts), (std::vector<std::u16string>{u"Exit"}));
    EXPECT_EQ(innermost->Caption(), u"Exit");

    texts.Clear();
    language->TranslateComponent(&form, texts, false, std::u16string());
    EXPECT_EQ(Lines(texts), (std::vector<std::u16string>{u"Config", u"About", u"Exit"}));
    EXPECT_EQ(form.Caption(), u"Config");
    language->TranslateComponent(nullptr, texts, true, std::u16string());
}

TEST_F(UiLanguage, AFailedWriteOfATranslationReachesTheCaller)
{
    TMainForm form(nullptr);
    auto* control = new TReadOnlyCaption(&form);
    control->SetCaption(u"Config");
    TuiLanguage* language = MakeLanguage(&form);
    EXPECT_THROW(language->SetLang(u"CH"), std::runtime_error);
}

TEST_F(UiLanguage, OnLanguageChangedFollowsEverySelection)
{
    TMainForm form(nullptr);
    auto* label = new TTestControl(&form, u"TLabel", u"Config");
    TuiLanguage* language = MakeLanguage(&form);
    std::vector<std::pair<std::u16string, std::u16string>> changes;
    language->OnLanguageChanged.Bind([&](TComponent* AComponent, const std::u16string& AShortID, const std::u16string& ALongName) {
        EXPECT_EQ(AComponent, language);
        changes.emplace_back(AShortID, ALongName);
    });
    language->SetLang(u"CH");
    language->SetLang(u"0804"); // no such language, but a known locale
    language->SetLang(u"");
    using TChanges = std::vector<std::pair<std::u16string, std::u16string>>;
    // The empty short ID is the key of the locales without an abbreviated country name.
    EXPECT_EQ(changes, (TChanges{{u"CH", u""}, {u"0804", u"Chinese (PRC)"}, {u"", u"Invariant Language"}}));
    EXPECT_EQ(label->Caption(), kConfigCH);
    EXPECT_EQ(TranslateText(u"Config"), kConfigCH); // unknown names leave the table in force
}

TEST_F(UiLanguage, DesignModeNeitherEnumeratesLoadsNorWalks)
{
    WriteBytes(Platform.PathOf(u"ui.local"), LanguageFile({u"Config"}, {{u"JP", {u"Config=file JP"}}}));
    TMainForm form(nullptr);
    form.SetDesigning(true);
    auto* label = new TTestControl(&form, u"TLabel", u"Config");
    TuiLanguage* language = MakeLanguage(&form);
    EXPECT_EQ(Platform.EnumerationCount, 0);
    EXPECT_EQ(language->GetLanguageLongNameByLangID(u"0804"), u"");
    EXPECT_EQ(Lines(language->Resources()), (std::vector<std::u16string>{u"CH", u"US"}));
    bool changed = false;
    language->OnLanguageChanged.Bind([&](TComponent*, const std::u16string&, const std::u16string&) { changed = true; });
    language->SetLang(u"CH");
    EXPECT_EQ(label->Caption(), u"Config");
    EXPECT_EQ(TranslateText(u"Config"), kConfigCH);
    EXPECT_TRUE(changed);
    language->SetActive(true);
    EXPECT_TRUE(language->Active());
    EXPECT_FALSE(language->ActiveLoadFromFile());
}

// A form designer that records what the component gives it.
class TRecordingDesigner : public TLanguageDesigner {
public:
    void EditTranslations(TuiLanguage& ALanguage) override
    {
        ++Opened;
        ActiveWhileOpen = ALanguage.Active();
        Source = Lines(ALanguage.Original());
        if (Fail) throw std::runtime_error("the editor failed");
    }
    bool ChooseLanguageFile(std::u16string& AFileName) override
    {
        AFileName = Chosen;
        return !Chosen.empty();
    }
    int Opened = 0;
    bool ActiveWhileOpen = false;
    bool Fail = false;
    std::vector<std::u16string> Source;
    std::u16string Chosen;
};

TEST_F(UiLanguage, ActiveInDesignModeCollectsTheTextsAndOpensTheEditorOnce)
{
    TMainForm form(nullptr);
    form.SetDesigning(true);
    new TTestControl(&form, u"TLabel", u"A caption", u"A hint");
    auto* scene = new TuiScene(&form);
    scene->AddText(u"A scene text");
    TuiLanguage* language = MakeLanguage(&form);
    language->SetLang(u"CH");
    TRecordingDesigner designer;
    language->SetDesigner(&designer);
    const int before = language->Original().Count();

    language->SetActive(true);
    EXPECT_EQ(designer.Opened, 1);
    EXPECT_TRUE(designer.ActiveWhileOpen);
    EXPECT_FALSE(language->Active());
    for (const char16_t* text : {u"A caption", u"A hint", u"A scene text"})
        EXPECT_NE(std::find(designer.Source.begin(), designer.Source.end(), text), designer.Source.end()) << std::string(text, text + 3);
    // The recording texts are among the built-in source texts already.
    EXPECT_EQ(static_cast<int>(designer.Source.size()), before + 3);
    EXPECT_FALSE(TranslationService::HasCurrentTable()); // collecting undid the translation
    EXPECT_EQ(scene->Text(0), u"A scene text");

    designer.Fail = true;
    EXPECT_THROW(language->SetActive(true), std::runtime_error);
    EXPECT_FALSE(language->Active());
    language->SetActive(false);
    EXPECT_EQ(designer.Opened, 2);

    // At run time the flag is only stored, designer or not.
    TMainForm running(nullptr);
    TuiLanguage* runtime = MakeLanguage(&running);
    runtime->SetDesigner(&designer);
    runtime->SetActive(true);
    EXPECT_TRUE(runtime->Active());
    EXPECT_EQ(designer.Opened, 2);
}

TEST_F(UiLanguage, ActiveLoadFromFileInDesignModeLoadsTheChosenFile)
{
    WriteBytes(Platform.PathOf(u"chosen.local"), LanguageFile({u"Config"}, {{u"JP", {u"Config=file JP"}}}));
    TMainForm form(nullptr);
    form.SetDesigning(true);
    TuiLanguage* language = MakeLanguage(&form);
    TRecordingDesigner designer;
    language->SetDesigner(&designer);

    language->SetActiveLoadFromFile(true); // the user picked nothing
    EXPECT_EQ(Lines(language->Resources()), (std::vector<std::u16string>{u"CH", u"US"}));
    designer.Chosen = Platform.PathOf(u"chosen.local");
    language->SetActiveLoadFromFile(false);
    EXPECT_EQ(Lines(language->Resources()), (std::vector<std::u16string>{u"CH", u"US"}));
    language->SetActiveLoadFromFile(true);
    EXPECT_EQ(Lines(language->Resources()), (std::vector<std::u16string>{u"JP"}));
    EXPECT_EQ(Lines(language->Original()), (std::vector<std::u16string>{u"Config"}));
    EXPECT_FALSE(language->ActiveLoadFromFile());
}

TEST_F(UiLanguage, FormsAreRegisteredOncePerComponentAndReleasedWithIt)
{
    const int before = TuiLanguage::uiParentFormCount();
    {
        TMainForm form(nullptr);
        auto* first = MakeLanguage(&form);
        EXPECT_EQ(TuiLanguage::uiParentFormCount(), before + 1);
        auto* second = MakeLanguage(&form);
        EXPECT_EQ(TuiLanguage::uiParentFormCount(), before + 2);
        TComponent notAForm(nullptr);
        MakeLanguage(&notAForm);
        TTestControl panel(nullptr, u"TPanel", u"");
        MakeLanguage(&panel);
        const std::unique_ptr<TuiLanguage> ownerless(MakeLanguage(nullptr));
        EXPECT_EQ(TuiLanguage::uiParentFormCount(), before + 2);
        delete second;
        EXPECT_EQ(TuiLanguage::uiParentFormCount(), before + 1);
        EXPECT_EQ(first->uiParentFormCount(), before + 1);
    }
    EXPECT_EQ(TuiLanguage::uiParentFormCount(), before);
}

TEST_F(UiLanguage, OneComponentSelectsForTheFormsOfAll)
{
    TMainForm main(nullptr);
    TMainForm other(nullptr);
    auto* mainLabel = new TTestControl(&main, u"TLabel", u"Config");
    auto* otherLabel = new TTestControl(&other, u"TLabel", u"Exit");
    TuiLanguage* language = MakeLanguage(&main);
    MakeLanguage(&other);
    language->SetLang(u"CH");
    EXPECT_EQ(mainLabel->Caption(), kConfigCH);
    EXPECT_EQ(otherLabel->Caption(), kExitCH);
}

TEST_F(UiLanguage, LocaleTablesAreBuiltOnceAndLiveWhileAnyComponentDoes)
{
    auto* first = new TuiLanguage(nullptr, Platform);
    auto* second = new TuiLanguage(nullptr, Platform);
    EXPECT_EQ(Platform.EnumerationCount, 1);
    delete first;
    EXPECT_EQ(second->GetLanguageLongNameByLangID(u"0804"), u"Chinese (PRC)");
    delete second;
    Platform.Locales = {{u"0411", u"Japanese", u"JPN"}};
    // A component in design mode makes empty tables; the next one at run time fills them.
    TComponent designer(nullptr);
    designer.SetDesigning(true);
    auto* designed = new TuiLanguage(&designer, Platform);
    EXPECT_EQ(designed->GetLanguageLongNameByShortID(u"0411"), u"");
    TuiLanguage third(nullptr, Platform);
    EXPECT_EQ(Platform.EnumerationCount, 2);
    EXPECT_EQ(designed->GetLanguageLongNameByShortID(u"0411"), u"Japanese");
    EXPECT_EQ(third.GetLanguageLongNameByLangID(u"0804"), u"");
    EXPECT_EQ(third.GetLanguageLongNameByShortID(u"0411"), u"Japanese");
}

TEST_F(UiLanguage, AutoSelectSelectsTheUsersLanguage)
{
    Platform.UserAbbreviation = u"ENU";
    TMainForm form(nullptr);
    TuiLanguage* language = MakeLanguage(&form);
    EXPECT_FALSE(language->AutoSelect());
    Platform.UserAbbreviation = u"CHS";
    language->SetAutoSelect(true);
    EXPECT_TRUE(language->AutoSelect());
    EXPECT_EQ(language->Lang(), u"ch");
    EXPECT_EQ(TranslateText(u"Config"), kConfigCH);
    Platform.UserAbbreviation = u"ENU";
    language->SetAutoSelect(false);
    EXPECT_EQ(language->Lang(), u"ch");
}

TEST_F(UiLanguage, FilesRoundTripAndAFileNameIsLoadedWhenLoadingCompletes)
{
    TuiLanguage language(nullptr, Platform);
    language.LoadFromFile(Platform.PathOf(u"missing.local"));
    EXPECT_EQ(language.Resources().Count(), 0);

    WriteBytes(Platform.PathOf(u"extra.local"), LanguageFile({u"Only"}, {{u"JP", {u"Only=file JP"}}}));
    language.SetFileName(u"extra.local"); // taken from the program's folder
    language.LoadStoredData(BuiltInLanguageData());
    EXPECT_EQ(Lines(language.Resources()), (std::vector<std::u16string>{u"CH", u"US", u"JP"}));
    EXPECT_EQ(Lines(language.Original()), (std::vector<std::u16string>{u"Only"}));

    language.AddLang(u"jp"); // present already, without case
    language.AddLang(u"KO");
    EXPECT_EQ(Lines(language.Resources()), (std::vector<std::u16string>{u"CH", u"US", u"JP", u"KO"}));
    EXPECT_EQ(language.FindLanguageTable(u"ko")->Count(), 0);
    EXPECT_EQ(language.FindLanguageTable(u"FR"), nullptr);

    const std::u16string saved = Platform.PathOf(u"saved.local");
    language.SaveToFile(saved);
    std::vector<uint8_t> stored;
    ASSERT_TRUE(language.WriteResourcesBin(stored));
    EXPECT_EQ(ReadBytes(saved), stored);
    TuiLanguage reread(nullptr, Platform);
    reread.LoadFromFile(saved);
    EXPECT_EQ(Lines(reread.Resources()), Lines(language.Resources()));
    EXPECT_EQ(reread.FindLanguageTable(u"JP")->Values(u"Only"), u"file JP");

    EXPECT_THROW(language.SaveToFile(Platform.PathOf(u"no such folder/x.local")), std::runtime_error);
}

TEST_F(UiLanguage, StoredDataIsWrittenOnlyWithALanguageAndWhenStoredWithTheForm)
{
    TuiLanguage language(nullptr, Platform);
    std::vector<uint8_t> stored;
    EXPECT_FALSE(language.WriteResourcesBin(stored));
    language.AddLang(u"CH");
    language.SetStoreInForm(false);
    EXPECT_FALSE(language.WriteResourcesBin(stored));
    EXPECT_TRUE(stored.empty());
    language.SetStoreInForm(true);
    EXPECT_TRUE(language.WriteResourcesBin(stored));
    EXPECT_FALSE(stored.empty());
}

} // namespace
