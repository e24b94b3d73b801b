// The language files the catalog generator writes: the shipped "ui.local" and, as the check of
// the file writer itself, the built-in catalog written as a file.
#include "LanguageTestSupport.h"
#include "lang/LanguageCatalog.h"

#include <gtest/gtest.h>

namespace {

std::u16string Generated(const char* AName)
{
    return (std::filesystem::path(QEL_LANG_BINARY_DIR) / AName).u16string();
}

TEST(GeneratedLanguageFile, TheBuiltInCatalogAsAFileIsTheCompiledBytes)
{
    const auto builtIn = BuiltInLanguageData();
    EXPECT_EQ(ReadBytes(Generated("builtin.local")), std::vector<uint8_t>(builtIn.begin(), builtIn.end()));
}

TEST(GeneratedLanguageFile, TheShippedFileTranslatesEveryTextOfTheMonitor)
{
    TLanguageData data(CompareOrdinal);
    std::u16string error;
    ASSERT_TRUE(ReadLanguageData(ReadBytes(Generated("shipped.local")), data, error)) << std::string(error.begin(), error.end());
    // The factory language indexes 0, 1 and 2 name English, Simplified and Traditional Chinese.
    ASSERT_EQ(Lines(data.Languages), (std::vector<std::u16string>{u"0409", u"0804", u"0404"}));
    const std::u16string texts[] = {u"Gaming Mouse Driver", u"QEL Skirmisher HV730 Gaming Mouse Monitor", u"Config", u"About", u"Exit",
                                    u"QEL Skirmisher HV730 Gaming Mouse Driver", u"Hardware & Software Information:",
                                    u"Hardware Core:1.00.00", u"Software Core:1.00.00", u"Software Update Website:", u"OK"};
    const auto table = [&](int AIndex) { return dynamic_cast<const TStringList*>(data.Languages.Objects(AIndex)); };
    for (const std::u16string& text : texts) {
        const std::string shown(text.begin(), text.end());
        EXPECT_GE(data.Original.IndexOf(text), 0) << shown;
        EXPECT_EQ(table(0)->Values(text), text) << shown;
        const std::u16string simplified = table(1)->Values(text), traditional = table(2)->Values(text);
        EXPECT_FALSE(simplified.empty()) << shown;
        EXPECT_NE(simplified, text) << shown;
        EXPECT_FALSE(traditional.empty()) << shown;
        EXPECT_NE(traditional, simplified) << shown;
    }
    EXPECT_EQ(table(1)->Values(u"Config"), u"\u6253\u5f00\u914d\u7f6e"); // 打开配置, as the built-in "CH"
    EXPECT_EQ(table(2)->Values(u"Exit"), u"\u7d50\u675f\u8edf\u9ad4");   // 結束軟體
}

} // namespace
