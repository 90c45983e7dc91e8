// Path access: read resolution that never creates, write resolution that
// creates and converts, views against copies, and the structural edits.
#include "doc/json_document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace pt {
namespace {

JsonDocument Parsed(std::string_view text) {
    JsonDocument doc;
    EXPECT_TRUE(doc.ParseText(text)) << text;
    return doc;
}

TEST(JsonPathTest, ReadingMissingOrMismatchedValues) {
    JsonDocument doc = Parsed(
        R"({"General":{"On":true,"R":1.50,"N":null,"S":"12abc","Big":4294967297,"Neg":-2.9},)"
        R"("a.b":7,"list":[10,20],"Shortcutkey":{"Pinatrove":"Ctrl + `","Camera":"F4"}})");
    const std::string before = doc.SerializeText();
    EXPECT_EQ(doc.GetInt("General.TopMost"), 0);
    EXPECT_EQ(doc.GetText("General.TopMost"), "");
    EXPECT_FALSE(doc.GetBool("General.TopMost"));
    EXPECT_EQ(doc.GetKind("General.TopMost"), JsonKind::kNone);
    EXPECT_EQ(doc.GetKind("General.On.x"), JsonKind::kNone);
    EXPECT_EQ(doc.GetText("General.On"), "true");
    EXPECT_EQ(doc.GetText("General.R"), "1.50");
    EXPECT_EQ(doc.GetText("General.N"), "");
    EXPECT_EQ(doc.GetText("General"), "");
    EXPECT_EQ(doc.GetInt("General.S"), 12);
    EXPECT_FALSE(doc.GetBool("General.S"));
    EXPECT_EQ(doc.GetInt("General.Big"), 1);  // the low 32 bits
    EXPECT_EQ(doc.GetInt64("General.Big"), 4294967297);
    EXPECT_EQ(doc.GetInt("General.Neg"), -2);
    EXPECT_DOUBLE_EQ(doc.GetReal("General.R"), 1.5);
    EXPECT_TRUE(doc.GetBool("General.R"));
    // Reals beyond double's range read as the standard conversion reads them.
    JsonDocument extreme = Parsed(R"({"big":1e999,"neg":-1e999,"tiny":1e-999,"s":"2e400"})");
    EXPECT_EQ(extreme.GetReal("big"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(extreme.GetReal("neg"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(extreme.GetReal("s"), std::numeric_limits<double>::infinity());
    EXPECT_TRUE(extreme.GetBool("big"));
    EXPECT_FALSE(extreme.GetBool("tiny"));
    EXPECT_EQ(extreme.GetInt64("big"), INT64_MAX);
    EXPECT_EQ(doc.GetInt("a\\.b"), 7);
    EXPECT_EQ(doc.GetInt("list[1]"), 20);
    EXPECT_EQ(doc.GetKind("list[2]"), JsonKind::kNone);
    EXPECT_EQ(doc.GetKind("list[]"), JsonKind::kNone);
    EXPECT_EQ(doc.GetKind("list[-1]"), JsonKind::kNone);
    EXPECT_EQ(doc.GetText("Shortcutkey[1]"), "F4");  // an object indexed by position
    EXPECT_EQ(doc.GetKey("Shortcutkey[0]"), "Pinatrove");
    EXPECT_EQ(doc.GetKey("list[0]"), "");
    EXPECT_EQ(doc.GetCount("Shortcutkey"), 2);
    EXPECT_EQ(doc.GetCount("list"), 2);
    EXPECT_EQ(doc.GetCount(".General..S."), 0);  // empty segments are no segments
    EXPECT_EQ(doc.GetInt(".General..S."), 12);
    EXPECT_EQ(doc.SerializeText(), before);  // reading created nothing
}

TEST(JsonPathTest, WritingCreatesAndConverts) {
    const struct {
        const char* start;
        const char* path;
        const char* expected;
    } cases[] = {
        {R"({"a":5})", "a.b", R"({"a":{"b":"v"}})"},
        {R"({"list":[1]})", "list[3]", R"({"list":[1,null,null,"v"]})"},
        {R"({})", "class[]name", R"({"class":[{"name":"v"}]})"},
        {R"({"class":[{"name":"x"}]})", "class[]name", R"({"class":[{"name":"x"},{"name":"v"}]})"},
        {R"({"a":{"x":1}})", "a[0]", R"({"a":["v"]})"},  // an object in the way of an index
        {R"({})", "G.P.L.x", R"({"G":{"P":{"L":{"x":"v"}}}})"},
        {R"({"k":1})", "", R"("v")"},
        {R"({})", "a\\.b\\[c\\]\\\\", R"({"a.b[c]\\":"v"})"},
    };
    for (const auto& c : cases) {
        JsonDocument doc = Parsed(c.start);
        ASSERT_TRUE(doc.SetText(c.path, "v")) << c.path;
        EXPECT_EQ(doc.SerializeText(), c.expected) << c.start << " " << c.path;
    }
    JsonDocument doc;
    ASSERT_TRUE(doc.SetInt("n", -5));
    ASSERT_TRUE(doc.SetInt64("big", INT64_MIN));
    ASSERT_TRUE(doc.SetBool("b", true));
    ASSERT_TRUE(doc.SetReal("r", 0.1));
    ASSERT_TRUE(doc.SetReal("inf", 1.0 / 0.0));
    ASSERT_TRUE(doc.SetNull("z"));
    EXPECT_EQ(doc.SerializeText(),
              R"({"n":-5,"big":-9223372036854775808,"b":true,"r":0.1,"inf":null,"z":null})");
    EXPECT_EQ(doc.GetKind("n"), JsonKind::kInteger);
    EXPECT_EQ(doc.GetKind("r"), JsonKind::kReal);
    // A runaway index is refused instead of filling memory with nulls.
    EXPECT_FALSE(doc.SetInt("huge[2000000000]", 1));
}

TEST(JsonPathTest, ViewsShareAndCopiesDoNot) {
    JsonDocument doc = Parsed(R"({"class":[{"name":"a"},{"name":"b"}]})");
    JsonDocument view = doc.GetView("class", 1);
    JsonDocument copy = doc.GetCopy("class[1]");
    ASSERT_TRUE(view.SetText("name", "changed"));
    ASSERT_TRUE(copy.SetText("name", "copy"));
    EXPECT_EQ(doc.GetText("class[1].name"), "changed");
    JsonDocument member = doc.GetMemberView("class[0]", "name");
    ASSERT_TRUE(member.SetInt("", 3));
    EXPECT_EQ(doc.SerializeText(), R"({"class":[{"name":3},{"name":"changed"}]})");
    EXPECT_EQ(member.GetKey(""), "name");

    // The view keeps its node alive when the source moves on.
    ASSERT_TRUE(doc.RemoveElement("class", 1));
    EXPECT_EQ(view.SerializeText(), R"({"name":"changed"})");
    ASSERT_TRUE(doc.ParseText("{}"));
    EXPECT_EQ(member.GetInt(""), 3);
    EXPECT_EQ(member.GetKey(""), "");  // held by no object any more
    EXPECT_EQ(doc.GetView("nothing", 0).SerializeText(), "{}");
    EXPECT_EQ(doc.GetMemberView("", "nothing").GetKind(""), JsonKind::kObject);

    // A copy of a missing path creates it as null (write resolution).
    JsonDocument created = doc.GetCopy("x.y");
    EXPECT_EQ(created.GetKind(""), JsonKind::kNull);
    EXPECT_EQ(doc.SerializeText(), R"({"x":{"y":null}})");
}

TEST(JsonPathTest, CopyInsertsCheckTheirRanges) {
    JsonDocument doc = Parsed(R"({"a":[1,2],"o":{"x":1,"y":2}})");
    JsonDocument item = Parsed(R"({"n":"新"})");
    EXPECT_TRUE(doc.InsertCopy("a", 2, item));  // count appends
    EXPECT_FALSE(doc.InsertCopy("a", 4, item));  // count + 1 fails
    EXPECT_FALSE(doc.InsertCopy("a", -1, item));
    EXPECT_TRUE(doc.InsertCopy("a", 0, item));
    EXPECT_TRUE(doc.AppendCopy("fresh", item));
    EXPECT_TRUE(doc.InsertMemberCopy("o", 1, "m", item));
    EXPECT_TRUE(doc.InsertMemberCopy("o", 99, "x", item));  // existing key: position ignored
    EXPECT_FALSE(doc.InsertMemberCopy("o", 4, "q", item));
    EXPECT_TRUE(doc.InsertMemberCopy("o", 3, "last", Parsed("0")));
    EXPECT_TRUE(doc.SetMemberCopy("o", "y", Parsed("[]")));
    EXPECT_EQ(doc.SerializeText(),
              R"({"a":[{"n":"新"},1,2,{"n":"新"}],"o":{"x":{"n":"新"},"m":{"n":"新"},"y":[],)"
              R"("last":0},"fresh":[{"n":"新"}]})");
    // A refused insert changes nothing, not even what stands in its way.
    JsonDocument small = Parsed(R"({"x":5})");
    EXPECT_FALSE(small.InsertCopy("list", 1, item));
    EXPECT_FALSE(small.InsertCopy("x", 1, item));
    EXPECT_FALSE(small.InsertMemberCopy("x", 1, "k", item));
    EXPECT_FALSE(small.InsertMemberCopy("m.n", -1, "k", item));
    EXPECT_EQ(small.SerializeText(), R"({"x":5})");
    EXPECT_TRUE(small.InsertCopy("x", 0, item));  // 0 is in range once x becomes an array
    EXPECT_EQ(small.SerializeText(), R"({"x":[{"n":"新"}]})");
    // Copying a document into itself copies the state before the insert.
    JsonDocument self = Parsed("[1]");
    EXPECT_TRUE(self.AppendCopy("", self));
    EXPECT_EQ(self.SerializeText(), "[1,[1]]");
}

TEST(JsonPathTest, RemovalsRenameClearAndSort) {
    JsonDocument doc = Parsed(R"({"a":1,"b":2,"c":3,"s":"text","arr":[3,1,2],"n":7})");
    EXPECT_TRUE(doc.RenameMember("", "b", "B"));
    EXPECT_TRUE(doc.RenameMember("", "a", "a"));  // its own name: nothing lost
    EXPECT_FALSE(doc.RenameMember("", "zz", "y"));
    EXPECT_TRUE(doc.RemoveMember("", "c"));
    EXPECT_FALSE(doc.RemoveMember("", "c"));
    EXPECT_FALSE(doc.RemoveMember("s", "x"));  // a failed removal changes nothing
    EXPECT_FALSE(doc.RemoveElement("arr", 3));
    EXPECT_FALSE(doc.RemoveElement("missing.path", 0));
    EXPECT_EQ(doc.SerializeText(), R"({"a":1,"B":2,"s":"text","arr":[3,1,2],"n":7})");
    EXPECT_TRUE(doc.RemoveElement("arr", 0));
    EXPECT_TRUE(doc.RenameMember("", "B", "n"));  // takes the other member's place
    EXPECT_EQ(doc.SerializeText(), R"({"a":1,"s":"text","arr":[1,2],"n":2})");

    EXPECT_TRUE(doc.Clear("s"));
    EXPECT_TRUE(doc.Clear("arr"));
    EXPECT_EQ(doc.SerializeText(), R"({"a":1,"s":"","arr":[],"n":2})");

    JsonDocument list = Parsed(R"([{"k":3,"t":"x"},{"k":1,"t":"y"},{"k":3,"t":"z"},{"k":2}])");
    ASSERT_TRUE(list.Sort("", [](const JsonValue& a, const JsonValue& b) {
        return a.GetInt("k") - b.GetInt("k");
    }));
    EXPECT_EQ(list.SerializeText(),
              R"([{"k":1,"t":"y"},{"k":2},{"k":3,"t":"x"},{"k":3,"t":"z"}])");  // stable
    JsonDocument object = Parsed(R"({"b":1,"c":2,"a":3})");
    ASSERT_TRUE(object.Sort("", [](const JsonValue& a, const JsonValue& b) {
        return a.Key().compare(b.Key());
    }));
    EXPECT_EQ(object.SerializeText(), R"({"a":3,"b":1,"c":2})");
    EXPECT_EQ(object.GetInt("c"), 2);  // lookup still works after reordering
    // An inconsistent comparison must not break anything.
    std::mt19937 random(7);
    JsonDocument many;
    for (int i = 0; i < 100; ++i) many.SetInt("[]", i);
    EXPECT_TRUE(many.Sort("", [&](const JsonValue&, const JsonValue&) {
        return static_cast<int>(random() % 3) - 1;
    }));
    EXPECT_EQ(many.GetCount(""), 100);
    EXPECT_FALSE(many.Sort("[0]", [](const JsonValue&, const JsonValue&) { return 0; }));
}

TEST(JsonPathTest, MemberLookupDoesNotDependOnInsertionOrder) {
    // Enough members to pass through every growth of the hash table.
    std::vector<std::string> keys;
    for (int i = 0; i < 300; ++i) keys.push_back("k" + std::to_string(i * 7919 % 1000) + "名");
    std::vector<std::string> shuffled = keys;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(1));
    JsonDocument a, b;
    for (size_t i = 0; i < keys.size(); ++i) {
        ASSERT_TRUE(a.SetText(keys[i], keys[i]));
        ASSERT_TRUE(b.SetText(shuffled[i], shuffled[i]));
    }
    for (const std::string& key : keys) {
        EXPECT_EQ(a.GetText(key), key);
        EXPECT_EQ(b.GetText(key), key);
    }
    EXPECT_EQ(a.GetKey("[299]"), keys[299]);
    EXPECT_EQ(b.GetKey("[0]"), shuffled[0]);
    for (size_t i = 0; i < keys.size(); i += 2) ASSERT_TRUE(a.RemoveMember("", keys[i]));
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(a.GetKind(keys[i]), i % 2 ? JsonKind::kString : JsonKind::kNone);
    }
    JsonDocument copy = a.GetCopy("");
    EXPECT_EQ(copy.GetText(keys[1]), keys[1]);
    EXPECT_EQ(copy.SerializeText(), a.SerializeText());
}

// The reader stores a member name once for all the members that carry it;
// editing one of them must leave the others' names alone.
TEST(JsonPathTest, EditsOfOneMemberLeaveNamesReadForOthersAlone) {
    JsonDocument doc = Parsed(R"([{"name":1,"path":"a"},{"name":2,"path":"b"},{"name":3}])");
    ASSERT_TRUE(doc.RemoveMember("[0]", "name"));
    ASSERT_TRUE(doc.RenameMember("[1]", "path", "dir"));
    // New names of the same length, which would reuse freed blocks.
    ASSERT_TRUE(doc.SetText("[0].zzzz", "new"));
    ASSERT_TRUE(doc.SetText("[0].pppp", "new"));
    doc.GetView("", 2).RemoveMember("", "name");
    ASSERT_TRUE(doc.SetInt("[2].qqqq", 5));
    EXPECT_EQ(doc.SerializeText(),
              R"([{"path":"a","zzzz":"new","pppp":"new"},{"name":2,"dir":"b"},{"qqqq":5}])");
    EXPECT_EQ(doc.GetInt("[1].name"), 2);
}

TEST(JsonPathTest, MovedFromDocumentReadsEmptyAndRecovers) {
    JsonDocument doc = Parsed(R"({"a":1})");
    JsonDocument other = std::move(doc);
    EXPECT_EQ(other.GetInt("a"), 1);
    EXPECT_EQ(doc.GetKind(""), JsonKind::kObject);  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(doc.SerializeText(), "{}");
    EXPECT_TRUE(doc.SetInt("b", 2));
    EXPECT_EQ(doc.SerializeText(), R"({"b":2})");
}

}  // namespace
}  // namespace pt
