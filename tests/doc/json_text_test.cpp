// The reader and writer: text in, text out or an error code and position.
#include "doc/json_document.h"

#include <gtest/gtest.h>

#include <string>

#include "base/codepage.h"
#include "base/text.h"

namespace pt {
namespace {

std::string RoundTrip(std::string_view text) {
    JsonDocument doc;
    EXPECT_TRUE(doc.ParseText(text)) << text << " code " << doc.LastError().code;
    return doc.SerializeText();
}

TEST(JsonTextTest, ReadsAndWritesBack) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {R"({"a":[1,"x\ty"],"b":{}})", R"({"a":[1,"x\ty"],"b":{}})"},
        {"{'k':'v'}", R"({"k":"v"})"},
        {R"({k:"v"})", R"({"k":"v"})"},
        {R"({ k y :"v"})", R"({"ky":"v"})"},  // whitespace in a bare key does not count
        {R"({"n":1.50,"m":+7,"e":1E3,"z":-0})", R"({"n":1.50,"m":+7,"e":1E3,"z":-0})"},
        {R"({"a":1,"b":3,"a":2})", R"({"a":2,"b":3})"},  // last wins, first position kept
        {"[1,2]", "[1,2]"},
        {"\"abc\"", "\"abc\""},
        {"  42  ", "42"},
        {"true", "true"},
        {" \r\n\t", "{}"},
        {R"({"a":1}{"b":2})", R"({"a":1,"b":2})"},  // a second object merges
        {R"([[1][2]])", "[[1],[2]]"},                // missing comma after a container
        {R"([1,2,])", "[1,2]"},
        {R"({"a":1,})", R"({"a":1})"},
        {R"({"a" : [ 1 , 2 ] , "b" : null })", R"({"a":[1,2],"b":null})"},
        {R"({"s":"a/b\/c\u4E2D"})", R"({"s":"a/b/c\\u4E2D"})"},  // \u kept as six characters
        {R"({"s":"\q\b\f\r"})", R"({"s":"\\q\b\f\r"})"},          // unknown escape kept
        {R"({"s":'it"s'})", R"({"s":"it\"s"})"},
        {R"({"":1})", R"({"":1})"},  // an empty quoted key reads back
        {"{\"中文\":\"微软雅黑\"}", "{\"中文\":\"微软雅黑\"}"},
    };
    for (const auto& c : cases) EXPECT_EQ(RoundTrip(c.in), c.out) << c.in;
}

TEST(JsonTextTest, ReportsErrorsWithCodeAndPosition) {
    const struct {
        const char* in;
        int code;
        size_t position;
    } cases[] = {
        {"", kJsonEmptyText, 0},
        {R"({"a":1)", kJsonUnclosed, 6},
        {R"([[[)", kJsonUnclosed, 3},
        {R"({"a":"x})", kJsonUnclosedQuote, 5},
        {R"({"a":nul})", kJsonBadValue, 5},
        {R"({"a"})", kJsonBadValue, 1},
        {R"({"a":})", kJsonBadValue, 5},
        {R"({"a" "b":1})", kJsonObjectSyntax, 5},
        {R"({"a"x:1})", kJsonObjectSyntax, 4},
        {R"({:1})", kJsonObjectSyntax, 1},
        {R"({[1]})", kJsonObjectSyntax, 1},
        {R"({} x)", kJsonBadValue, 3},
        {R"([1x{}])", kJsonBadValue, 1},
        {R"([1.2.3])", kJsonBadValue, 1},
        {R"({"k":"中文"x})", kJsonBadValue, 5},
        {R"({"中":bad})", kJsonBadValue, 5},  // positions count UTF-16 units
        {"\"abc", kJsonUnclosedQuote, 0},
        {"{'a:1}", kJsonUnclosedQuote, 1},
    };
    for (const auto& c : cases) {
        JsonDocument doc;
        EXPECT_FALSE(doc.ParseText(c.in)) << c.in;
        EXPECT_EQ(doc.LastError().code, c.code) << c.in;
        EXPECT_EQ(doc.LastError().position, c.position) << c.in;
    }
}

TEST(JsonTextTest, FailedParseLeavesEmptyRootOfItsKind) {
    JsonDocument doc;
    ASSERT_TRUE(doc.ParseText(R"({"keep":1})"));
    EXPECT_FALSE(doc.ParseText(R"([1,2,{"a":)"));
    EXPECT_EQ(doc.GetKind(""), JsonKind::kArray);
    EXPECT_EQ(doc.GetCount(""), 0);
    EXPECT_FALSE(doc.ParseText(R"({"a":1,"b":[)"));
    EXPECT_EQ(doc.SerializeText(), "{}");
    EXPECT_TRUE(doc.ParseText("{}"));
    EXPECT_EQ(doc.LastError().code, kJsonOk);
}

TEST(JsonTextTest, LineFeedsAndCarriageReturns) {
    JsonDocument doc;
    ASSERT_TRUE(doc.SetText("lf", "a\nb"));
    ASSERT_TRUE(doc.SetText("crlf", "a\r\nb"));
    ASSERT_TRUE(doc.SetText("lead", "\nx"));
    const std::string text = doc.SerializeText();
    EXPECT_EQ(text, R"({"lf":"a\nb","crlf":"a\r\nb","lead":"\nx"})");
    JsonDocument back;
    ASSERT_TRUE(back.ParseText(text));
    EXPECT_EQ(back.GetText("lf"), "a\r\nb");    // a lone LF reads back as CR LF
    EXPECT_EQ(back.GetText("crlf"), "a\r\nb");  // and CR LF stays CR LF
    EXPECT_EQ(back.GetText("lead"), "\nx");     // at the start it stays alone
}

TEST(JsonTextTest, DecodeFlagAndTopLevelScalarFlag) {
    JsonDocument doc;
    ASSERT_TRUE(doc.ParseText(R"({"s":"\u4E2D\u0000!","\u0041":1})", true));
    EXPECT_EQ(doc.GetText("s"), "中!");
    EXPECT_EQ(doc.GetInt("A"), 1);
    ASSERT_TRUE(doc.ParseText(R"({"s":"\u4E2G"})", true));  // not four hex digits: kept
    EXPECT_EQ(doc.GetText("s"), "\\u4E2G");
    ASSERT_TRUE(doc.ParseText(R"(junk {"a":1})", false, true));
    EXPECT_EQ(doc.GetInt("a"), 1);
    EXPECT_FALSE(doc.ParseText(R"(junk {"a":1})"));
}

TEST(JsonTextTest, BytesFormIsUtf16LeWithTwoZeroBytes) {
    JsonDocument doc;
    ASSERT_TRUE(doc.SetText("名", "值"));
    const std::string bytes = doc.Serialize();
    const std::string expected("{\0\"\0\x0D\x54\"\0:\0\"\0\x3C\x50\"\0}\0\0\0", 20);
    EXPECT_EQ(bytes, expected);
    JsonDocument back;
    ASSERT_TRUE(back.ParseBytes(bytes));
    EXPECT_EQ(back.GetText("名"), "值");
    // Reading stops at the first U+0000; an odd last byte is ignored.
    ASSERT_TRUE(back.ParseBytes(std::string("1\0\0\0x\0y", 7)));
    EXPECT_EQ(back.GetInt(""), 1);
    EXPECT_EQ(doc.Serialize("missing"), std::string(2, '\0'));
    EXPECT_EQ(doc.SerializeText("missing"), "");
}

// A UTF-16LE file of odd length (a stray byte appended by some tool) reads
// as its whole units: the last byte is dropped, never joined with a zero.
// The settings and data loaders rely on it to keep such a file.
TEST(JsonTextTest, AStrayOddByteAfterTheLastUnitIsDropped) {
    // {"a":1} and a stray "!", behind one more byte for the unaligned road.
    const std::string buffer("x{\0\"\0a\0\"\0:\0" "1\0}\0!", 16);
    const std::string own(buffer, 1);
    for (std::string_view bytes : {std::string_view(own), std::string_view(buffer).substr(1)}) {
        JsonDocument doc;
        ASSERT_TRUE(doc.ParseBytes(bytes));
        EXPECT_EQ(doc.GetInt("a"), 1);
    }
    // The odd byte is not the low half of a unit: "[1]" cut inside its last unit is unclosed.
    JsonDocument cut;
    EXPECT_FALSE(cut.ParseBytes(std::string("[\0" "1\0]", 5)));
}

TEST(JsonTextTest, LoneSurrogatesSurviveBothForms) {
    const std::u16string odd = {u'a', char16_t(0xD800), u'b', char16_t(0xDC01)};
    JsonDocument doc;
    ASSERT_TRUE(doc.SetWideText("k", odd));
    JsonDocument viaBytes, viaText;
    ASSERT_TRUE(viaBytes.ParseBytes(doc.Serialize()));
    ASSERT_TRUE(viaText.ParseText(doc.SerializeText()));
    EXPECT_EQ(viaBytes.GetWideText("k"), odd);
    EXPECT_EQ(viaText.GetWideText("k"), odd);
}

TEST(JsonTextTest, EscapesExactlyTheListedCharacters) {
    JsonDocument doc;
    ASSERT_TRUE(doc.SetWideText("s", u"\\\"\b\t\n\r\f/\x01\u00E9中"));
    EXPECT_EQ(doc.SerializeWide("s"), u"\"\\\\\\\"\\b\\t\\n\\r\\f/\x01\u00E9中\"");
    EXPECT_EQ(doc.SerializeWide("s", false, false), u"\"\\\"\b\t\n\r\f/\x01\u00E9中\"");
    // Text cannot carry U+0000 into the file form.
    ASSERT_TRUE(doc.SetWideText("z", std::u16string(u"ab\0cd", 5)));
    EXPECT_EQ(doc.GetText("z"), "ab");
}

TEST(JsonTextTest, PrettyModeIndentsObjectsOnly) {
    JsonDocument doc;
    ASSERT_TRUE(doc.ParseText(R"({"a":1,"b":{"c":[{"d":2}],"e":{}}})"));
    EXPECT_EQ(doc.SerializeText("", true),
              "{\r\n\t\"a\":1,\r\n\t\"b\":{\r\n\t\t\"c\":[{\r\n\t\t\t\t\"d\":2\r\n\t\t\t}],\r\n"
              "\t\t\"e\":{\r\n\t\t}\r\n\t}\r\n}");
    JsonDocument back;
    ASSERT_TRUE(back.ParseText(doc.SerializeText("", true)));
    EXPECT_EQ(back.SerializeText(), doc.SerializeText());
}

TEST(JsonTextTest, HugeNestingAndUnclosedInputsAreHarmless) {
    JsonDocument doc;
    EXPECT_FALSE(doc.ParseText(std::string(100000, '[')));
    EXPECT_EQ(doc.LastError().code, kJsonUnclosed);
    EXPECT_EQ(doc.LastError().position, 100000u);
    EXPECT_FALSE(doc.ParseText(std::string(250000, '{')));
    EXPECT_EQ(doc.LastError().code, kJsonObjectSyntax);
    EXPECT_FALSE(doc.ParseText("[" + std::string(250000, 'x')));
    EXPECT_FALSE(doc.ParseText("{\"a\":\"" + std::string(250000, 'x')));
    EXPECT_EQ(doc.LastError().code, kJsonUnclosedQuote);

    // A deep tree that parses is written, copied and freed without recursion.
    const size_t depth = 200000;
    std::string deep = std::string(depth, '[') + std::string(depth, ']');
    ASSERT_TRUE(doc.ParseText(deep));
    EXPECT_EQ(doc.SerializeText(), deep);
    JsonDocument copy = doc.GetCopy("");
    JsonDocument view = doc.GetView("", 0);
    doc = JsonDocument();
    EXPECT_EQ(view.SerializeText().size(), deep.size() - 2);
    EXPECT_EQ(copy.SerializeText(), deep);
}

// The reader works on UTF-8 bytes and on UTF-16 units directly; both must
// read a text exactly as its UTF-16 conversion reads, errors included, and
// file bytes at any address alike.
TEST(JsonTextTest, EveryInputFormReadsTheSame) {
    const std::string cases[] = {
        R"({"a":[1,"x\ty"],"b":{}})",
        "{\"k\":\"\\u00\xA9\x30\"}",      // a stray continuation byte inside an escape
        "[\"\\\xF0\x9F\x98\x80\"]",       // an escape that takes half of a surrogate pair
        "[\"\\u\xF0\x9F\x98\x80\x41\"]",  // \u counting characters, not bytes
        "{\xE4 \xB8\xAD:1}",              // broken sequences apart stay apart in a bare key
        "[\"a\" \"\xE4\" ,2]",            // a token with gaps
        "[1 2, 3]",
        "{'\xE4\xB8\xAD':\"\xFF\xFE\",\"\xED\xA0\x80\":1}",
        "{\"\xF0\x9F\x98\x80\":bad}",  // error position after a surrogate pair
        "[\"\xF0\x9F\x98\x80\"x]",
        "  \"\xE4\xB8\xAD\\n\"  ",
        "[\"\\u4E2D\\u0000\\n\",'\\'']",
        std::string("{\"a\":1}\0{\"b\":2}", 15),  // the text ends at U+0000
    };
    for (const std::string& text : cases) {
        for (const bool decode : {false, true}) {
            JsonDocument wide, utf8, aligned, unaligned;
            const std::u16string units = Utf8ToWide(text);
            const bool ok = wide.ParseWide(units, decode);
            EXPECT_EQ(utf8.ParseText(text, decode), ok) << text;
            const std::string bytes(reinterpret_cast<const char*>(units.data()), units.size() * 2);
            const std::string shifted = "?" + bytes;
            EXPECT_EQ(aligned.ParseBytes(bytes, decode), ok) << text;
            EXPECT_EQ(unaligned.ParseBytes(std::string_view(shifted).substr(1), decode), ok);
            for (const JsonDocument* doc : {&utf8, &aligned, &unaligned}) {
                EXPECT_EQ(doc->LastError().code, wide.LastError().code) << text;
                EXPECT_EQ(doc->LastError().position, wide.LastError().position) << text;
                EXPECT_EQ(doc->SerializeWide(), wide.SerializeWide()) << text;
            }
        }
    }
    JsonDocument doc;
    EXPECT_FALSE(doc.ParseText("{\"\xF0\x9F\x98\x80\":bad}"));
    EXPECT_EQ(doc.LastError().position, 6u);  // the emoji is two UTF-16 units
}

TEST(JsonTextTest, RepeatedKeysInLargeObjectsKeepTheFirstPosition) {
    std::string many = "{";
    for (int i = 0; i < 20; ++i)
        many += "\"k" + std::to_string(i) + "\":" + std::to_string(i) + ",";
    const struct {
        std::string in;
        const char* key;
        int value;
        int position;
        int count;
    } cases[] = {
        {many + "\"k3\":99}", "k3", 99, 3, 20},
        {many + "\"k3\":98,\"k3\":99,\"new\":1}", "k3", 99, 3, 21},
        {many + "\"k19\":7}{\"k0\":5,\"x\":1}", "k0", 5, 0, 21},  // merged into the root
        {R"({"a":1,"b":2,"a":3,"b":4})", "b", 4, 1, 2},
    };
    for (const auto& c : cases) {
        JsonDocument doc;
        ASSERT_TRUE(doc.ParseText(c.in)) << c.in;
        EXPECT_EQ(doc.GetInt(c.key), c.value) << c.in;
        EXPECT_EQ(doc.GetKey("[" + std::to_string(c.position) + "]"), c.key) << c.in;
        EXPECT_EQ(doc.GetCount(""), c.count) << c.in;
        // Every member is still found by name (the large ones through their table).
        for (int i = 0; i < doc.GetCount(""); ++i) {
            const std::string key = doc.GetKey("[" + std::to_string(i) + "]");
            EXPECT_EQ(doc.GetKind(key), doc.GetKind("[" + std::to_string(i) + "]")) << key;
        }
    }
}

TEST(JsonTextTest, PrettyOutputOfDeepNestingStaysLinear) {
    const int depth = 20000;
    std::string deep;
    for (int i = 0; i < depth; ++i)
        deep += "{\"a\":";
    deep += "1" + std::string(depth, '}');
    JsonDocument doc;
    ASSERT_TRUE(doc.ParseText(deep));
    const std::string pretty = doc.SerializeText("", true);
    // Indentation by depth alone would need some 200 million tabs.
    EXPECT_LT(pretty.size(), static_cast<size_t>(depth) * 200);
    JsonDocument back;
    ASSERT_TRUE(back.ParseText(pretty));
    EXPECT_EQ(back.SerializeText(), deep);
    // Shallow documents keep their indentation by depth.
    ASSERT_TRUE(doc.ParseText(R"({"a":{"b":{"c":1}}})"));
    EXPECT_EQ(doc.SerializeText("", true),
              "{\r\n\t\"a\":{\r\n\t\t\"b\":{\r\n\t\t\t\"c\":1\r\n\t\t}\r\n\t}\r\n}");
}

TEST(JsonTextTest, AnsiDocumentInCodePage936ReadsThroughTheConversion) {
    const std::string gbk = "\xBF\xEC\xBD\xDD\xC6\xF4\xB6\xAF";  // 快捷启动
    const std::string ansi = "{\"name\":\"" + gbk + "\",\"path\":\"C:\\\\" + gbk + "\"}";
    JsonDocument doc;
    ASSERT_TRUE(doc.ParseText(Cp936ToUtf8(ansi)));
    EXPECT_EQ(doc.GetText("name"), "快捷启动");
    EXPECT_EQ(doc.GetText("path"), "C:\\快捷启动");
}

}  // namespace
}  // namespace pt
