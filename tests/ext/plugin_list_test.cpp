// The plug-in list: which descriptions are kept and the names shown.
#include "ext/plugin_list.h"

#include <gtest/gtest.h>

namespace pt {
namespace {

TEST(PluginListTest, KeepsObjectsOnlyAndNamesThemByNameOrFile) {
    PluginList list;
    EXPECT_TRUE(list.Add("clock.dll", u"{\"name\":\"时钟\",\"version\":\"1.0\"}"));
    EXPECT_TRUE(list.Add("plain.dll", u"{\"version\":\"2\"}"));
    EXPECT_TRUE(list.Add("empty.dll", u"{\"name\":\"\"}"));
    EXPECT_TRUE(list.Add("number.dll", u"{\"name\":7}"));
    EXPECT_TRUE(list.Add("escaped.dll", u"{\"name\":\"caf\\u00e9\"}"));
    EXPECT_FALSE(list.Add("broken.dll", u"{\"name\":"));
    EXPECT_FALSE(list.Add("scalar.dll", u"\"text\""));
    EXPECT_FALSE(list.Add("array.dll", u"[1]"));
    EXPECT_FALSE(list.Add("blank.dll", u""));
    EXPECT_EQ(list.DisplayNames(),
              (std::vector<std::string>{"时钟", "plain.dll", "empty.dll", "number.dll", "café"}));
    // The copies are kept in load order, whole.
    EXPECT_EQ(list.Descriptions().GetText("[0].version"), "1.0");
    list.Reset();
    EXPECT_EQ(list.Size(), 0u);
    EXPECT_TRUE(list.DisplayNames().empty());
}

}  // namespace
}  // namespace pt
