// Round trips of the WTF-8 conversion, including text that is not valid
// Unicode: file names and document strings must survive unchanged.
#include "base/text.h"

#include <gtest/gtest.h>

namespace pt {
namespace {

TEST(TextTest, RoundTripsEveryPlaneAndLoneSurrogates) {
    const std::u16string samples[] = {
        u"", u"plain", u"微软雅黑", u"\U0001F600 emoji", u"a\0b", 
        std::u16string(1, char16_t(0xD800)), std::u16string(1, char16_t(0xDFFF)),
        std::u16string{char16_t(0xDC00), char16_t(0xD800)},  // reversed pair stays two units
        std::u16string{u'x', char16_t(0xD83D)},              // high surrogate at the end
    };
    for (const auto& s : samples) {
        EXPECT_EQ(Utf8ToWide(WideToUtf8(s)), s);
        EXPECT_TRUE(IsValidUtf8(WideToUtf8(s)));
    }
    EXPECT_EQ(WideToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(WideToUtf8(std::u16string(1, char16_t(0xD800))), "\xED\xA0\x80");
}

TEST(TextTest, MalformedBytesBecomeReplacementCharacters) {
    EXPECT_EQ(Utf8ToWide("a\xFFz"), u"a\uFFFDz");
    EXPECT_EQ(Utf8ToWide("\xC0\xAF"), u"\uFFFD\uFFFD");        // overlong
    EXPECT_EQ(Utf8ToWide("\xE4\xB8"), u"\uFFFD");              // truncated at the end
    EXPECT_EQ(Utf8ToWide("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // past U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\xBD\xED\xB8\x80"));     // pair spelt as two surrogates
    EXPECT_FALSE(IsValidUtf8("\x80"));
}

}  // namespace
}  // namespace pt
