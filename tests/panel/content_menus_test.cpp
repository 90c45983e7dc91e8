// The category and group menus: which entries show and which are enabled
// for a selection, the "移动到" id range, and the text fields' edit menu.
#include "panel/content_menus.h"

#include <gtest/gtest.h>

#include <string>

namespace pt {
namespace {

// "id:text" or "id:text(off)" per entry, "-" for a separator; submenus in [].
std::string Describe(const std::vector<ContentMenuEntry>& menu) {
    std::string out;
    for (const ContentMenuEntry& e : menu) {
        if (!out.empty())
            out += " ";
        if (e.IsSeparator()) {
            out += "-";
            continue;
        }
        out += std::to_string(e.id) + ":" + e.text + (e.enabled ? "" : "(off)");
        if (!e.children.empty())
            out += "[" + Describe(e.children) + "]";
    }
    return out;
}

TEST(ContentMenusTest, SidebarEnableRules) {
    struct Case {
        const char* what;
        bool onEntry;
        int current, count;
        const char* expected;
    } cases[] = {
        {"free area", false, 0, 3, "100:新建分类"},
        {"only category", true, 0, 1,
         "100:新建分类 - 200:上移分类(off) 300:下移分类(off) - 400:重命名 500:删除(off)"},
        {"first of three", true, 0, 3,
         "100:新建分类 - 200:上移分类(off) 300:下移分类 - 400:重命名 500:删除"},
        {"middle", true, 1, 3, "100:新建分类 - 200:上移分类 300:下移分类 - 400:重命名 500:删除"},
        {"last", true, 2, 3, "100:新建分类 - 200:上移分类 300:下移分类(off) - 400:重命名 500:删除"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Describe(SidebarMenu(c.onEntry, c.current, c.count)), c.expected) << c.what;
}

TEST(ContentMenusTest, TabEnableRulesAndTheMoveToSubmenu) {
    const std::vector<std::string> one{"A"};
    const std::vector<std::string> three{"A", "B", "C"};
    struct Case {
        const char* what;
        const std::vector<std::string>* classes;
        int current, groups, group;
        const char* expected;
    } cases[] = {
        {"one category: only left/right", &one, 0, 3, 1,
         "100:新建分组 200:清空分组 - 300:移动到[301:左移分组 302:右移分组] - 400:重命名 "
         "500:删除"},
        {"only group: nowhere to go, no delete", &three, 1, 1, 0,
         "100:新建分组 200:清空分组 - 300:移动到[301:左移分组(off) 302:右移分组(off)] - "
         "400:重命名 500:删除(off)"},
        {"other categories offered, current left out", &three, 1, 2, 1,
         "100:新建分组 200:清空分组 - 300:移动到[301:左移分组 302:右移分组(off) - 10000:A "
         "10002:C] - 400:重命名 500:删除"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Describe(TabMenu(true, *c.classes, c.current, c.groups, c.group)), c.expected)
            << c.what;
    EXPECT_EQ(Describe(TabMenu(false, three, 0, 2, 0)), "100:新建分组");
}

TEST(ContentMenusTest, MoveToIdsNeverMeetOtherCommands) {
    // 120 categories: with ids 310 + c the 91st would have answered as 400 (rename).
    std::vector<std::string> many;
    for (int c = 0; c < 120; ++c)
        many.push_back("C" + std::to_string(c));
    const auto menu = TabMenu(true, many, 0, 2, 0);
    const auto& sub = menu[3].children;
    ASSERT_EQ(sub.size(), 2u + 1u + 119u);
    for (const ContentMenuEntry& e : sub) {
        if (e.id == kCmdMoveLeft || e.id == kCmdMoveRight || e.IsSeparator())
            continue;
        const int target = MoveToClassIndex(e.id);
        ASSERT_GE(target, 1) << e.id;
        EXPECT_EQ(many[target], e.text);
    }
    for (int id :
         std::initializer_list<int>{0, kCmdNew, kCmdClear, kCmdMoveTo, kCmdMoveLeft, kCmdMoveRight,
                                    kCmdRename, kCmdDelete, 399, 1000000000})
        EXPECT_EQ(MoveToClassIndex(id), -1) << id;
}

TEST(ContentMenusTest, EditMenuEnableRules) {
    struct Case {
        const char* what;
        EditMenuState state;
        const char* expected;
    } cases[] = {
        {"selection, clipboard text",
         {true, false, true, false},
         "1000000000:剪切(T) 1000000001:复制(C) 1000000002:粘贴(P) 1000000003:删除(D) - "
         "1000000004:全部选择(A)"},
        {"no selection, empty clipboard",
         {false, false, false, false},
         "1000000000:剪切(T)(off) 1000000001:复制(C)(off) 1000000002:粘贴(P)(off) "
         "1000000003:删除(D)(off) - 1000000004:全部选择(A)"},
        {"read-only with selection",
         {true, true, true, false},
         "1000000000:剪切(T)(off) 1000000001:复制(C) 1000000002:粘贴(P)(off) "
         "1000000003:删除(D)(off) - 1000000004:全部选择(A)"},
        {"empty field",
         {false, false, true, true},
         "1000000000:剪切(T)(off) 1000000001:复制(C)(off) 1000000002:粘贴(P) "
         "1000000003:删除(D)(off) - 1000000004:全部选择(A)(off)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Describe(EditMenu(c.state)), c.expected) << c.what;
}

}  // namespace
}  // namespace pt
