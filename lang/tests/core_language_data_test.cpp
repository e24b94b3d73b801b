#include "lang/LanguageData.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using TBytes = std::vector<uint8_t>;

void PutCount(TBytes& AOut, int32_t AValue)
{
    for (int i = 0; i < 4; ++i) AOut.push_back(static_cast<uint8_t>(static_cast<uint32_t>(AValue) >> (8 * i)));
}

void PutWide(TBytes& AOut, const std::u16string& AText)
{
    PutCount(AOut, static_cast<int32_t>(AText.size()));
    for (const char16_t c : AText) {
        AOut.push_back(static_cast<uint8_t>(c & 0xFF));
        AOut.push_back(static_cast<uint8_t>(c >> 8));
    }
}

struct TDamage {
    const char* What;
    TBytes Bytes;
};

// Source texts "Config" and "Exit"; "CH" with two lines, "US" with one.
TBytes SmallData()
{
    TBytes out;
    PutWide(out, u"Exit\r\nConfig\r\n");
    PutCount(out, 2);
    PutWide(out, u"CH");
    PutWide(out, u"Exit=\u9000\u51fa\r\nConfig=\u6253\u5f00\u914d\u7f6e\r\n");
    PutWide(out, u"US");
    PutWide(out, u"Exit=Exit\r\n");
    return out;
}

const TStringList& TableOf(const TLanguageData& AData, int AIndex)
{
    return *dynamic_cast<const TStringList*>(AData.Languages.Objects(AIndex));
}

TEST(LanguageData, WritesTheDocumentedLayout)
{
    TStringList original = NewSourceTextList(CompareOrdinal);
    original.Add(u"A");
    TStringList languages = NewLanguageList(CompareOrdinal);
    auto table = NewTranslationTable(CompareOrdinal);
    table->Add(u"A=\u4e2d");
    languages.AddObject(u"CH", std::move(table));
    const TBytes expected = {
        0x03, 0x00, 0x00, 0x00, 'A', 0, '\r', 0, '\n', 0,                       // source texts
        0x01, 0x00, 0x00, 0x00,                                                 // one language
        0x02, 0x00, 0x00, 0x00, 'C', 0, 'H', 0,                                 // its name
        0x05, 0x00, 0x00, 0x00, 'A', 0, '=', 0, 0x2d, 0x4e, '\r', 0, '\n', 0}; // its table
    EXPECT_EQ(WriteLanguageData(original, languages), expected);

    const TBytes empty = {0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(WriteLanguageData(NewSourceTextList(CompareOrdinal), NewLanguageList(CompareOrdinal)), empty);
}

TEST(LanguageData, ReadsSortedListsAndLanguagesInFileOrder)
{
    TLanguageData data(CompareOrdinal);
    std::u16string error;
    ASSERT_TRUE(ReadLanguageData(SmallData(), data, error)) << std::string(error.begin(), error.end());
    ASSERT_EQ(data.Original.Count(), 2);
    EXPECT_EQ(data.Original.Strings(0), u"Config");
    ASSERT_EQ(data.Languages.Count(), 2);
    EXPECT_EQ(data.Languages.Strings(0), u"CH");
    EXPECT_EQ(data.Languages.Strings(1), u"US");
    EXPECT_EQ(TableOf(data, 0).Strings(0), u"Config=\u6253\u5f00\u914d\u7f6e");
    EXPECT_EQ(TableOf(data, 1).Values(u"Exit"), u"Exit");

    // Written again, the sorted lists give the same data whatever order they came in.
    const TBytes once = WriteLanguageData(data.Original, data.Languages);
    TLanguageData again(CompareOrdinal);
    ASSERT_TRUE(ReadLanguageData(once, again, error));
    EXPECT_EQ(WriteLanguageData(again.Original, again.Languages), once);
}

TEST(LanguageData, ReadsNoLanguagesAndTextsCutAtNul)
{
    TBytes bytes;
    PutWide(bytes, std::u16string(u"a\r\nb\0hidden\r\n", 13));
    PutCount(bytes, 0);
    TLanguageData data(CompareOrdinal);
    std::u16string error;
    ASSERT_TRUE(ReadLanguageData(bytes, data, error));
    EXPECT_EQ(data.Original.Text(), u"a\r\nb\r\n");
    EXPECT_EQ(data.Languages.Count(), 0);
}

TBytes Cut(TBytes ABytes, size_t AKeep)
{
    ABytes.resize(AKeep);
    return ABytes;
}

TBytes With(TBytes ABytes, size_t AAt, int32_t ACount)
{
    for (int i = 0; i < 4; ++i) ABytes[AAt + static_cast<size_t>(i)] = static_cast<uint8_t>(static_cast<uint32_t>(ACount) >> (8 * i));
    return ABytes;
}

TEST(LanguageData, RejectsDamagedDataWhole)
{
    const TBytes good = SmallData();
    const size_t sourceEnd = 4 + 2 * 14; // the source texts: a count and 14 units
    TBytes trailing = good;
    trailing.insert(trailing.end(), {0, 0});
    const TDamage cases[] = {
        {"empty", {}},
        {"shorter than a count", {1, 0}},
        {"odd length", Cut(good, good.size() - 1)},
        {"source text longer than the data", With(good, 0, 1000)},
        {"source text length near the 32-bit limit", With(good, 0, 0x7FFFFFFF)},
        {"negative source text length", With(good, 0, -1)},
        {"no language count", Cut(good, sourceEnd)},
        {"language count cut short", Cut(good, sourceEnd + 2)},
        {"more languages than the bytes can hold", With(good, sourceEnd, 0x10000000)},
        {"language name cut short", Cut(good, sourceEnd + 4 + 6)},
        {"last table cut short", Cut(good, good.size() - 2)},
        {"last table missing", Cut(good, good.size() - (4 + 2 * 11))},
        {"bytes after the last language", trailing},
    };
    for (const TDamage& c : cases) {
        TLanguageData data(CompareOrdinal);
        std::u16string error;
        EXPECT_FALSE(ReadLanguageData(c.Bytes, data, error)) << c.What;
        EXPECT_FALSE(error.empty()) << c.What;
        EXPECT_EQ(data.Original.Count(), 0) << c.What;
        EXPECT_EQ(data.Languages.Count(), 0) << c.What;
    }
}

TEST(LanguageData, ACountOfZeroOrLessAddsNoLanguageAndKeepsTheSourceTexts)
{
    const TBytes good = SmallData();
    const size_t languagesStart = 4 + 2 * 14 + 4; // after the source texts and the count
    // The source texts of SmallData, a count, and SmallData's languages after it or nothing.
    const auto withCount = [&](int32_t ACount, bool AFollowing) {
        TBytes bytes;
        PutWide(bytes, u"Exit\r\nConfig\r\n");
        PutCount(bytes, ACount);
        if (AFollowing) bytes.insert(bytes.end(), good.begin() + static_cast<std::ptrdiff_t>(languagesStart), good.end());
        return bytes;
    };
    const TDamage cases[] = {
        {"zero, languages following", withCount(0, true)},
        {"-1, languages following", withCount(-1, true)},
        {"most negative, languages following", withCount(INT32_MIN, true)},
        {"-2, nothing following", withCount(-2, false)},
    };
    for (const TDamage& c : cases) {
        TLanguageData data(CompareOrdinal);
        std::u16string error;
        ASSERT_TRUE(ReadLanguageData(c.Bytes, data, error)) << c.What << ": " << std::string(error.begin(), error.end());
        EXPECT_EQ(data.Original.Text(), u"Config\r\nExit\r\n") << c.What;
        EXPECT_EQ(data.Languages.Count(), 0) << c.What;
    }
}

} // namespace
