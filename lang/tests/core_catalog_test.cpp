#include "FakeLanguagePlatform.h"
#include "LanguageTestSupport.h"
#include "lang/LanguageCatalog.h"
#include "lang/uiLanguage.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

const TStringList& Table(const TLanguageData& AData, int AIndex)
{
    return *dynamic_cast<const TStringList*>(AData.Languages.Objects(AIndex));
}

TLanguageData BuiltIn()
{
    TLanguageData data(CompareOrdinal);
    std::u16string error;
    EXPECT_TRUE(ReadLanguageData(BuiltInLanguageData(), data, error));
    return data;
}

TEST(BuiltInCatalog, HoldsTheSourceTextsAndTwoLanguages)
{
    const TLanguageData data = BuiltIn();
    EXPECT_EQ(data.Original.Count(), 218);
    ASSERT_EQ(Lines(data.Languages), (std::vector<std::u16string>{u"CH", u"US"}));
    EXPECT_EQ(Table(data, 0).Count(), 145);
    EXPECT_EQ(Table(data, 1).Count(), 79);
    for (const char16_t* text : {u"       Only 2 DPI Mode switching", u"DPI  -", u"Mouse Left  Click", u" CLOSE",
                                 u"Memory Location #1", u"Y-AXIS"})
        EXPECT_GE(data.Original.IndexOf(text), 0) << std::string(text, text + 3);
}

TEST(BuiltInCatalog, HoldsTheMonitorsAndTheRecordingTexts)
{
    const TLanguageData data = BuiltIn();
    struct TRow {
        std::u16string Source;
        std::optional<std::u16string> CH;
        std::optional<std::u16string> US;
    };
    const TRow rows[] = {
        {u"Gaming Mouse Driver", u"\u6e38\u620f\u9f20\u6807\u9a71\u52a8", std::nullopt},
        {u"Config", u"\u6253\u5f00\u914d\u7f6e", std::nullopt},
        {u"About", u"\u5173\u4e8e\u8f6f\u4ef6", std::nullopt},
        {u"Exit", u"\u9000\u51fa\u8f6f\u4ef6", std::nullopt},
        {u"Down", u"\u6309\u4e0b", u"Down"},
        {u"Up", u"\u653e\u5f00", u"Up"},
        {u"ms", u"\u6beb\u79d2", u"ms"},
        {u"Mouse Click", u"\u5de6\u952e", u"Mouse Click"},
        {u"Mouse Right Click", u"  \u53f3\u952e", std::nullopt},
        {u"Mouse Middle Click", u"\u4e2d\u952e", u"Mouse Middle Click"},
        {u"Backward(Mouse)", u"\u540e\u9000", u"Backward(Mouse)"},
        {u"Forward(Mouse)", u"\u524d\u8fdb", u"Forward(Mouse)"},
        {u"Wheel up(Mouse)", u"\u5411\u4e0a\u6eda\u52a8", u"Wheel up(Mouse)"},
        {u"Wheel Down(Mouse)", u"\u5411\u4e0b\u6eda\u52a8", u"Wheel Down(Mouse)"},
        {u"Chinese", u"\u4e2d\u6587", std::nullopt},
        {u"English", u"\u82f1\u6587", std::nullopt},
    };
    for (const TRow& row : rows) {
        const std::string what(row.Source.begin(), row.Source.end());
        EXPECT_GE(data.Original.IndexOf(row.Source), 0) << what;
        for (int i = 0; i < 2; ++i) {
            const std::optional<std::u16string>& expected = i == 0 ? row.CH : row.US;
            const TStringList& table = Table(data, i);
            ASSERT_EQ(table.IndexOfName(row.Source) >= 0, expected.has_value()) << what << " in " << i;
            if (expected) {
                EXPECT_EQ(table.Values(row.Source), *expected) << what;
            }
        }
    }
}

TEST(BuiltInCatalog, EveryLineTranslatesASourceTextAndComesBackToIt)
{
    const TLanguageData data = BuiltIn();
    for (int t = 0; t < data.Languages.Count(); ++t) {
        const TStringList& table = Table(data, t);
        for (int i = 0; i < table.Count(); ++i) {
            const std::u16string name = table.Names(i);
            const std::string what(name.begin(), name.end());
            EXPECT_GE(data.Original.IndexOf(name), 0) << what;
            EXPECT_FALSE(table.ValueFromIndex(i).empty()) << what;
            // Undoing a translation takes the first line with that value: values must not repeat.
            for (int j = 0; j < i; ++j) EXPECT_NE(table.ValueFromIndex(j), table.ValueFromIndex(i)) << what;
        }
    }
}

TEST(BuiltInCatalog, SavedAndReadBackGivesTheSameBytes)
{
    TFakeLanguagePlatform platform;
    TuiLanguage language(nullptr, platform);
    language.LoadStoredData(BuiltInLanguageData());
    const std::u16string first = platform.PathOf(u"first.local");
    language.SaveToFile(first);

    TuiLanguage reread(nullptr, platform);
    reread.LoadFromFile(first);
    EXPECT_EQ(reread.Original().Count(), 218);
    EXPECT_EQ(reread.FindLanguageTable(u"CH")->Count(), 145);
    EXPECT_EQ(reread.FindLanguageTable(u"US")->Count(), 79);
    const std::u16string second = platform.PathOf(u"second.local");
    reread.SaveToFile(second);
    EXPECT_EQ(ReadBytes(second), ReadBytes(first));
    // The catalog is sorted by the Windows collation, not by code units: here the bytes match
    // in size only (the Windows tests compare them with the embedded data).
    EXPECT_EQ(ReadBytes(first).size(), BuiltInLanguageData().size());
}

} // namespace
