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

// The JSON reader converts a text piece by piece, cut at ASCII characters;
// that must give what converting it whole gives, bad bytes included.
TEST(TextTest, PiecesCutAtAsciiConvertAsTheWhole) {
    const std::string text =
        "ab\xE4\xB8\xAD,\xE4\xB8|\xFF\xED\xA0\x80\xF0\x9F\x98\x80 "
        "\xC3\xA9\xEF\xBF\xBF\xE1\x80\"x\xE0\x80\x80";
    const std::u16string whole = Utf8ToWide(text);
    std::u16string pieces;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && static_cast<unsigned char>(text[i]) >= 0x80)
            continue;
        std::u16string part(i - start, u'\0');
        part.resize(Utf8ToWideInto(std::string_view(text).substr(start, i - start), part.data()));
        pieces += part;
        start = i;
    }
    EXPECT_EQ(pieces, whole);
    std::string back(whole.size() * 3, '\0');
    back.resize(WideToUtf8Into(whole, back.data()));
    EXPECT_EQ(back, WideToUtf8(whole));

    // Sequence lengths in bytes and in UTF-16 units; ED A0 80 is a lone
    // surrogate, which WTF-8 admits.
    const struct {
        const char* bytes;
        size_t length;
        size_t units;
    } sequences[] = {
        {"a", 1, 1},         {"\xC3\xA9", 2, 1}, {"\xE4\xB8\xAD", 3, 1}, {"\xF0\x9F\x98\x80", 4, 2},
        {"\xE4\xB8!", 2, 1}, {"\xFF", 1, 1},     {"\xED\xA0\x80", 3, 1},
    };
    for (const auto& q : sequences) {
        size_t units = 0;
        EXPECT_EQ(Utf8SequenceAt(q.bytes, 0, units), q.length) << q.bytes;
        EXPECT_EQ(units, q.units) << q.bytes;
    }
}

}  // namespace
}  // namespace pt
