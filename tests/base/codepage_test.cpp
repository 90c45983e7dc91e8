// Code page 936 conversion, the same bytes in every build: iconv natively,
// MultiByteToWideChar(936) on Windows (whatever the system code page is).
#include "base/codepage.h"

#include <gtest/gtest.h>

namespace pt {
namespace {

// "快捷启动" in code page 936.
const std::string kGbk = "\xBF\xEC\xBD\xDD\xC6\xF4\xB6\xAF";

TEST(CodepageTest, ConvertsBothWays) {
    EXPECT_EQ(Cp936ToWide(kGbk), u"快捷启动");
    EXPECT_EQ(Cp936ToUtf8("ab" + kGbk), "ab快捷启动");
    EXPECT_EQ(Cp936ToWide(""), u"");
    std::string bytes;
    ASSERT_TRUE(Utf8ToCp936("快捷启动", &bytes));
    EXPECT_EQ(bytes, kGbk);
    EXPECT_FALSE(Utf8ToCp936("\xF0\x9F\x98\x80", &bytes));  // an emoji has no form there
    EXPECT_TRUE(bytes.empty());
}

}  // namespace
}  // namespace pt
