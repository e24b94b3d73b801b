#include "framework/core/StringList.h"
#include "framework/core/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::u16string> Lines(const TStringList& AList)
{
    std::vector<std::u16string> out;
    for (int i = 0; i < AList.Count(); ++i) out.push_back(AList.Strings(i));
    return out;
}

struct TTextCase {
    std::u16string Text;
    std::vector<std::u16string> Lines;
};

TEST(StringList, SetTextBreaksAtEveryLineBreakAndStopsAtNul)
{
    const TTextCase cases[] = {
        {u"", {}},
        {u"a", {u"a"}},
        {u"a\r\n", {u"a"}},
        {u"\r\n", {u""}},
        {u"a\r\nb", {u"a", u"b"}},
        {u"a\rb", {u"a", u"b"}},
        {u"a\nb", {u"a", u"b"}},
        {u"a\vb", {u"a", u"b"}},
        {u"a\fb", {u"a", u"b"}},
        {u"a\u2028b", {u"a", u"b"}},
        {u"a\u2029b", {u"a", u"b"}},
        {u"a\r\n\r\nb", {u"a", u"", u"b"}},
        {u"a\n\rb", {u"a", u"", u"b"}},  // LF then CR is two breaks
        {u"a\r\r\nb", {u"a", u"", u"b"}},
        {u"a\r", {u"a"}},
        {std::u16string(u"a\r\nb\0c\r\n", 8), {u"a", u"b"}},
        {std::u16string(u"\0a", 2), {}},
        {u"  lead and trail  \r\n", {u"  lead and trail  "}},
    };
    for (const TTextCase& c : cases) {
        TStringList list;
        list.Add(u"previous content");
        list.SetText(c.Text);
        EXPECT_EQ(Lines(list), c.Lines) << "text of " << c.Text.size() << " units";
    }
}

TEST(StringList, SetTextOfASortedListEqualsAddingTheLinesInOrder)
{
    const std::u16string text = u"d\r\nb\r\nD\r\na\r\nb\r\n\r\nc\r\nB\r\n";
    for (const TDuplicates duplicates : {TDuplicates::Ignore, TDuplicates::Accept}) {
        for (const TCase sensitivity : {TCase::Sensitive, TCase::Insensitive}) {
            TStringList bulk(CompareOrdinal, TListOrder::Sorted, sensitivity, duplicates);
            bulk.SetText(text);
            TStringList oneByOne(CompareOrdinal, TListOrder::Sorted, sensitivity, duplicates);
            TStringList lines;
            lines.SetText(text);
            for (int i = 0; i < lines.Count(); ++i) oneByOne.Add(lines.Strings(i));
            EXPECT_EQ(Lines(bulk), Lines(oneByOne))
                << (duplicates == TDuplicates::Ignore) << (sensitivity == TCase::Sensitive);
        }
    }

    // Many lines in reverse order come out sorted, each once.
    std::u16string reversed;
    for (int i = 20000; i > 0; --i) reversed += std::u16string(5 - std::to_string(i).size(), u'0') + IntToStr(i) + u"\n";
    TStringList sorted(CompareOrdinal, TListOrder::Sorted, TCase::Sensitive, TDuplicates::Ignore);
    sorted.SetText(reversed + reversed);
    ASSERT_EQ(sorted.Count(), 20000);
    EXPECT_EQ(sorted.Strings(0), u"00001");
    EXPECT_EQ(sorted.Strings(19999), u"20000");
    EXPECT_EQ(sorted.IndexOf(u"12345"), 12344);
}

TEST(StringList, TextEndsEveryLineWithCrLf)
{
    TStringList list;
    EXPECT_EQ(list.Text(), u"");
    list.Add(u"a");
    list.Add(u"");
    list.Add(u"b c");
    EXPECT_EQ(list.Text(), u"a\r\n\r\nb c\r\n");
    TStringList back;
    back.SetText(list.Text());
    EXPECT_EQ(Lines(back), Lines(list));
}

TEST(StringList, SortedListDropsOnlyIdenticalTextsWhenCaseSensitive)
{
    TStringList list(CompareOrdinal, TListOrder::Sorted, TCase::Sensitive, TDuplicates::Ignore);
    for (const char16_t* s : {u"b", u"B", u"a", u"b", u"c", u"a"}) list.Add(s);
    EXPECT_EQ(Lines(list), (std::vector<std::u16string>{u"B", u"a", u"b", u"c"}));
    EXPECT_EQ(list.Add(u"b"), 2); // the position of the text already there
    EXPECT_EQ(list.IndexOf(u"c"), 3);
    EXPECT_EQ(list.IndexOf(u"C"), -1);
}

TEST(StringList, SortedListFollowsTheGivenCollationAndKeepsTextsItRanksAlike)
{
    // A collation that ranks every text alike: texts that differ must still both be kept.
    auto alike = [](std::u16string_view, std::u16string_view, bool) { return 0; };
    TStringList same(alike, TListOrder::Sorted, TCase::Sensitive, TDuplicates::Ignore);
    for (const char16_t* s : {u"x", u"y", u"x"}) same.Add(s);
    EXPECT_EQ(Lines(same), (std::vector<std::u16string>{u"x", u"y"}));

    auto reversed = [](std::u16string_view a, std::u16string_view b, bool cs) { return CompareOrdinal(b, a, cs); };
    TStringList list(reversed, TListOrder::Sorted, TCase::Sensitive, TDuplicates::Ignore);
    for (const char16_t* s : {u"a", u"c", u"b"}) list.Add(s);
    EXPECT_EQ(Lines(list), (std::vector<std::u16string>{u"c", u"b", u"a"}));
    EXPECT_EQ(list.IndexOf(u"b"), 1);
}

TEST(StringList, InsertionOrderKeepsDuplicatesAndFindsTheFirstMatch)
{
    TStringList list; // insertion order, without case, duplicates kept
    for (const char16_t* s : {u"CH", u"JP", u"ch", u"US"}) list.Add(s);
    EXPECT_EQ(Lines(list), (std::vector<std::u16string>{u"CH", u"JP", u"ch", u"US"}));
    EXPECT_EQ(list.IndexOf(u"ch"), 0);
    EXPECT_EQ(list.IndexOf(u"us"), 3);
    EXPECT_EQ(list.IndexOf(u"EN"), -1);

    TStringList exact(CompareOrdinal, TListOrder::Insertion, TCase::Sensitive);
    for (const char16_t* s : {u"CH", u"ch"}) exact.Add(s);
    EXPECT_EQ(exact.IndexOf(u"ch"), 1);
}

TEST(StringList, NamesAndValuesSplitAtTheFirstEqualsSign)
{
    TStringList list(CompareOrdinal, TListOrder::Insertion, TCase::Sensitive);
    for (const char16_t* s : {u"Ab=c", u"A", u"a=lower", u"A=1=2", u"A=second", u"X=", u"=nameless"}) list.Add(s);
    EXPECT_EQ(list.IndexOfName(u"A"), 3); // "A" alone has no name; "a" differs in case
    EXPECT_EQ(list.Values(u"A"), u"1=2");
    EXPECT_EQ(list.Values(u"X"), u"");
    EXPECT_EQ(list.IndexOfName(u"X"), 5);
    EXPECT_EQ(list.IndexOfName(u"B"), -1);
    EXPECT_EQ(list.Names(1), u"");
    EXPECT_EQ(list.ValueFromIndex(1), u"");
    EXPECT_EQ(list.Names(6), u"");
    EXPECT_EQ(list.ValueFromIndex(6), u"nameless");

    TStringList caseless;
    caseless.Add(u"KEY=v");
    EXPECT_EQ(caseless.Values(u"key"), u"v");
}

class TCounted : public TStringsObject {
public:
    explicit TCounted(int& ALive) : FLive(ALive) { ++FLive; }
    ~TCounted() override { --FLive; }

private:
    int& FLive;
};

TEST(StringList, OwnsItsObjects)
{
    int live = 0;
    {
        TStringList list(CompareOrdinal, TListOrder::Sorted, TCase::Sensitive, TDuplicates::Ignore);
        list.AddObject(u"b", std::make_unique<TCounted>(live));
        list.AddObject(u"a", std::make_unique<TCounted>(live));
        EXPECT_EQ(live, 2);
        list.AddObject(u"a", std::make_unique<TCounted>(live)); // dropped with its object
        EXPECT_EQ(live, 2);
        EXPECT_NE(list.Objects(0), nullptr);
        list.Delete(0);
        EXPECT_EQ(live, 1);
        auto taken = list.TakeObject(0);
        EXPECT_EQ(list.Objects(0), nullptr);
        list.Clear();
        EXPECT_EQ(live, 1);
        taken.reset();
        EXPECT_EQ(live, 0);
        list.AddObject(u"c", std::make_unique<TCounted>(live));
        EXPECT_THROW(list.Delete(1), std::out_of_range);
    }
    EXPECT_EQ(live, 0);
}

TEST(StringList, AddStringsAddsTheTextsInTheTargetsOwnOrder)
{
    TStringList source;
    for (const char16_t* s : {u"c", u"a", u"c"}) source.Add(s);
    TStringList target(CompareOrdinal, TListOrder::Sorted, TCase::Sensitive, TDuplicates::Ignore);
    target.AddStrings(source);
    EXPECT_EQ(Lines(target), (std::vector<std::u16string>{u"a", u"c"}));
}

TEST(StringList, CompareOrdinalFoldsOnlyAsciiLetters)
{
    EXPECT_EQ(CompareOrdinal(u"abc", u"ABC", false), 0);
    EXPECT_LT(CompareOrdinal(u"ABC", u"abc", true), 0);
    EXPECT_LT(CompareOrdinal(u"ab", u"abc", false), 0);
    EXPECT_GT(CompareOrdinal(u"b", u"A", false), 0);
    EXPECT_NE(CompareOrdinal(u"\u00e9", u"\u00c9", false), 0);
}

} // namespace
