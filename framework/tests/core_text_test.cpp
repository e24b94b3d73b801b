#include "framework/core/Text.h"

#include <gtest/gtest.h>

TEST(Text, Utf8AndUtf16RoundTripAndRepairBadInput)
{
    struct Case {
        std::string utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"", u""},
        {"Config", u"Config"},
        {"\xE6\x89\x93\xE5\xBC\x80\xE9\x85\x8D\xE7\xBD\xAE", u"打开配置"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf16FromUtf8(c.utf8), c.utf16);
        EXPECT_EQ(Utf8FromUtf16(c.utf16), c.utf8);
    }
    EXPECT_EQ(Utf16FromUtf8("a\xFF" "b"), u"a\uFFFDb");     // invalid lead byte
    EXPECT_EQ(Utf16FromUtf8("\xE6\x89"), u"\uFFFD\uFFFD");  // truncated sequence
    EXPECT_EQ(Utf16FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong form
    EXPECT_EQ(Utf8FromUtf16(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(IntToStr(-42), u"-42");
}
