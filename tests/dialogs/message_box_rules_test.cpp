// The message box's button sets, close rules, icons, title and size.
#include "dialogs/message_box_rules.h"

#include <gtest/gtest.h>

#include "dialogs/save_failure_report.h"

namespace pt {
namespace {

TEST(MessageBoxRulesTest, ButtonSets) {
    struct Case {
        unsigned flags;
        std::vector<std::pair<std::string_view, int>> buttons;
        bool closable;
        int closeResult;
    } cases[] = {
        {0, {{"确定", 0}}, true, 0},
        {1, {{"确定", 0}, {"取消", 1}}, true, 1},
        {2, {{"中止", 2}, {"重试", 3}, {"忽略", 4}}, false, 0},
        {3, {{"是", 5}, {"否", 6}, {"取消", 1}}, true, 1},
        {4, {{"是", 5}, {"否", 6}}, false, 0},
        {5, {{"重试", 3}, {"取消", 1}}, true, 1},
        {6, {{"确定", 0}}, true, 0},  // unknown sets act as 0
        {15, {{"确定", 0}}, true, 0},
        {0x41, {{"确定", 0}, {"取消", 1}}, true, 1},  // the icon does not change the set
    };
    for (const Case& c : cases) {
        const MessageBoxLayout box = DescribeMessageBox(c.flags);
        ASSERT_EQ(box.buttons.size(), c.buttons.size()) << c.flags;
        for (size_t i = 0; i < c.buttons.size(); ++i) {
            EXPECT_EQ(box.buttons[i].text, c.buttons[i].first) << c.flags << " " << i;
            EXPECT_EQ(box.buttons[i].result, c.buttons[i].second) << c.flags << " " << i;
        }
        EXPECT_EQ(box.closable, c.closable) << c.flags;
        if (c.closable) {
            EXPECT_EQ(box.closeResult, c.closeResult) << c.flags;
            EXPECT_EQ(box.forcedCloseResult, c.closeResult) << c.flags;
        }
    }
    // Closed by the system, the boxes without a close button give the
    // answer that changes nothing.
    EXPECT_EQ(DescribeMessageBox(2).forcedCloseResult, kMbAbort);
    EXPECT_EQ(DescribeMessageBox(4).forcedCloseResult, kMbNo);
}

TEST(MessageBoxRulesTest, IconsByFlags) {
    struct Case {
        unsigned flags;
        std::string_view entry;
    } cases[] = {
        {0x10, "res\\appframework\\MessageBox\\error.svg"},
        {0x20, "res\\appframework\\MessageBox\\question.svg"},
        {0x34, "res\\appframework\\MessageBox\\warning.svg"},
        {0x40, "res\\appframework\\MessageBox\\infor.svg"},
        {0x00, "res\\appframework\\MessageBox\\ok.svg"},
        {0x50, "res\\appframework\\MessageBox\\ok.svg"},
        {0xF0, "res\\appframework\\MessageBox\\ok.svg"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DescribeMessageBox(c.flags).iconEntry, c.entry) << c.flags;
}

TEST(MessageBoxRulesTest, TitleAndSize) {
    EXPECT_EQ(MessageBoxTitle(""), "提示");
    EXPECT_EQ(MessageBoxTitle("错误"), "错误");
    struct Case {
        int textHeight;
        float scale;
        Size expected;
    } cases[] = {
        {17, 1.0f, {450, 180}},                           // one line
        {45, 1.0f, {450, 180}},                           // not taller than 45
        {46, 1.0f, {450, 181}},                           // 135 + 46
        {102, 1.0f, {450, 237}}, {25, 1.5f, {675, 270}},  // one line at 150 %
        {68, 1.5f, {675, 270}},                           // 67.5 rounds to 68: still one box height
        {69, 1.5f, {675, 272}},                           // 203 + 69
    };
    for (const Case& c : cases)
        EXPECT_EQ(MessageBoxSize(c.textHeight, c.scale), c.expected)
            << c.textHeight << " @" << c.scale;
}

TEST(MessageBoxRulesTest, SaveFailureTextNamesFileAndReason) {
    const std::string text = SaveFailureText("D:\\工具\\data\\Settings", "拒绝访问。 (5)");
    EXPECT_NE(text.find("保存失败"), std::string::npos);
    EXPECT_NE(text.find("D:\\工具\\data\\Settings"), std::string::npos);
    EXPECT_NE(text.find("拒绝访问。 (5)"), std::string::npos);
    EXPECT_NE(SaveFailureText("x", "").find("未知错误"), std::string::npos);
}

}  // namespace
}  // namespace pt
