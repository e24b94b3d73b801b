#include "lang/LanguageData.h"
#include "lang/TranslationService.h"
#include "lang/uiScene.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<TStringList> Table(std::initializer_list<const char16_t*> ALines)
{
    auto table = NewTranslationTable(CompareOrdinal);
    for (const char16_t* line : ALines) table->Add(line);
    return table;
}

// Every test leaves the process-wide service as it found it: no table, no hook.
class TranslationTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        CustomTranslateHook = nullptr;
        TranslationService::EndCollecting();
        TranslationService::Reset();
    }
};

TEST_F(TranslationTest, TranslateTextUnderTheCurrentTable)
{
    TranslationService::Apply(*Table({u"Config=\u6253\u5f00\u914d\u7f6e", u"X=", u"A=B=C", u"Plain"}));
    struct TCase {
        std::u16string Text;
        std::u16string Expected;
    };
    const TCase cases[] = {
        {u"", u""},
        {u"Nothing", u"Nothing"},                         // no line
        {u"Config", u"\u6253\u5f00\u914d\u7f6e"},
        {u"config", u"config"},                           // names compare with case
        {u"X", u"X"},                                     // a line with an empty value
        {u"A", u"B=C"},                                   // the value is all after the first "="
        {u"A=B", u"A=B"},                                 // a text with "=" is never a name
        {u"Config=\u6253\u5f00\u914d\u7f6e", u"Config=\u6253\u5f00\u914d\u7f6e"},
        {u"Plain", u"Plain"},                             // a line without "=" has no name
    };
    for (const TCase& c : cases) EXPECT_EQ(TranslateText(c.Text), c.Expected) << std::string(c.Text.begin(), c.Text.end());
}

TEST_F(TranslationTest, WithoutTableTextsStayAsTheyAre)
{
    EXPECT_FALSE(TranslationService::HasCurrentTable());
    EXPECT_EQ(TranslateText(u"Config"), u"Config");
}

TEST_F(TranslationTest, ApplyTakesAPrivateCopy)
{
    auto table = Table({u"Config=A"});
    TranslationService::Apply(*table);
    table->Clear();
    table.reset();
    EXPECT_EQ(TranslateText(u"Config"), u"A");
}

TEST_F(TranslationTest, ScenesTranslateForwardAndResetMapsThemBack)
{
    TuiScene scene(nullptr);
    scene.AddText(u"Config");
    scene.AddText(u"Untranslated");
    scene.AddText(u"Down");
    TranslationService::Apply(*Table({u"Config=C1", u"Down=D1"}));
    EXPECT_EQ(scene.Text(0), u"C1");
    EXPECT_EQ(scene.Text(1), u"Untranslated");
    EXPECT_EQ(scene.Text(2), u"D1");

    // A second table first undoes the first, then translates the source texts.
    TranslationService::Apply(*Table({u"Config=C2"}));
    EXPECT_EQ(scene.Text(0), u"C2");
    EXPECT_EQ(scene.Text(2), u"Down");

    TranslationService::Reset();
    EXPECT_FALSE(TranslationService::HasCurrentTable());
    EXPECT_EQ(scene.Text(0), u"Config");
    EXPECT_EQ(TranslateText(u"Config"), u"Config"); // the reverse flag ends with the reset
}

TEST_F(TranslationTest, ReverseTakesTheFirstLineWithThatValue)
{
    TuiScene scene(nullptr);
    scene.AddText(u"B");
    TranslationService::Apply(*Table({u"A=X", u"B=X"}));
    EXPECT_EQ(scene.Text(0), u"X");
    TranslationService::Reset();
    EXPECT_EQ(scene.Text(0), u"A"); // two sources with one translation cannot both come back
}

TEST_F(TranslationTest, DestroyedScenesAreNoLongerAsked)
{
    TuiScene kept(nullptr);
    kept.AddText(u"Config");
    {
        auto alone = std::make_unique<TuiScene>(nullptr);
        alone->AddText(u"Config");
        TComponent owner(nullptr);
        (new TuiScene(&owner))->AddText(u"Config");
    }
    // Asking a freed scene would be a use after free (AddressSanitizer in the native build).
    TranslationService::Apply(*Table({u"Config=C1"}));
    EXPECT_EQ(kept.Text(0), u"C1");
}

TEST_F(TranslationTest, CustomHookReplacesTheLookup)
{
    int calls = 0;
    CustomTranslateHook = [&calls](const std::u16string& AText) {
        ++calls;
        return AText == u"Config" ? std::u16string(u"hooked") : std::u16string();
    };
    TranslationService::Apply(*Table({u"Config=C1", u"Exit=E1"}));
    TranslationService::BeginCollecting();
    EXPECT_EQ(TranslateText(u"Config"), u"hooked");
    EXPECT_EQ(calls, 2); // asked again when it answers
    EXPECT_EQ(TranslateText(u"Exit"), u"Exit"); // an empty answer keeps the text, not the table's
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(TranslateText(u""), u"");
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(TranslationService::EndCollecting()->Count(), 0);
}

TEST_F(TranslationTest, CollectingGathersEveryTextAskedFor)
{
    TranslationService::BeginCollecting();
    TranslateText(u"One");
    TranslateText(u"");
    TranslateText(u"Two");
    const auto collected = TranslationService::EndCollecting();
    ASSERT_NE(collected, nullptr);
    EXPECT_EQ(collected->Text(), u"One\r\nTwo\r\n");
    TranslateText(u"Three");
    EXPECT_EQ(TranslationService::EndCollecting(), nullptr);
}

} // namespace
