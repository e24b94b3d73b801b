// The language component on Windows under the user locale Chinese (PRC), abbreviation "CHS".
#include "WinLanguageTestSupport.h"
#include "lang/uiScene.h"

#include <gtest/gtest.h>

namespace {

TEST(WinLanguageChs, LoadCompletionAppliesCH)
{
    ASSERT_EQ(UserAbbreviation(), u"CHS");
    TComponent owner(nullptr);
    auto* scene = new TuiScene(&owner);
    scene->AddText(u"Config");
    scene->AddText(u"Mouse Right Click");
    auto* language = new TuiLanguage(&owner, TWinLanguagePlatform::Instance());
    language->LoadStoredData(BuiltInLanguageData());
    EXPECT_EQ(language->BaseLang(), u"ch");
    EXPECT_EQ(language->Lang(), u""); // the owner still selects the profile's language
    EXPECT_EQ(language->GetOSDefaultLang(), u"0804");
    EXPECT_EQ(scene->Text(0), u"\u6253\u5f00\u914d\u7f6e");
    EXPECT_EQ(scene->Text(1), u"  \u53f3\u952e");
    EXPECT_EQ(TranslateText(u"Exit"), u"\u9000\u51fa\u8f6f\u4ef6");
    TranslationService::Reset();
    EXPECT_EQ(scene->Text(0), u"Config");
}

TEST(WinLanguageChs, BuiltInDataWrittenBackIsTheSameBytes)
{
    const std::vector<uint8_t> saved = SavedBuiltInData(std::filesystem::temp_directory_path() / "qel-builtin-chs.local");
    const auto builtIn = BuiltInLanguageData();
    EXPECT_EQ(saved, std::vector<uint8_t>(builtIn.begin(), builtIn.end()));
}

} // namespace
