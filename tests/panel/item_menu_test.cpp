// The item menu's entries and disabled states by the item's kind, and the
// desktop shortcut's file name.
#include "panel/item_menu.h"

#include <gtest/gtest.h>

#include <string>

namespace pt {
namespace {

// "id:text" or "id:text(off)" per entry, "-" for a separator.
std::string Describe(const std::vector<ContentMenuEntry>& menu) {
    std::string out;
    for (const ContentMenuEntry& e : menu) {
        if (!out.empty())
            out += " ";
        out += e.IsSeparator() ? "-"
                               : std::to_string(e.id) + ":" + e.text + (e.enabled ? "" : "(off)");
    }
    return out;
}

TEST(ItemMenuTest, EntriesAndDisabledStatesByKind) {
    constexpr char kTail[] = " - 700:加密数据 - 800:删除 900:属性";
    struct Case {
        const char* type;
        const char* path;
        std::string expected;
    } cases[] = {
        {".exe", "C:\\a\\b.exe",
         std::string("100:以管理员身份运行 - 200:打开文件位置 400:资源管理器菜单 500:复制完整路径 "
                     "600:创建桌面快捷方式") +
             kTail},
        {"folder", "C:\\a",
         std::string("200:打开文件位置 400:资源管理器菜单 500:复制完整路径 600:创建桌面快捷方式") +
             kTail},
        {".txt", "C:\\a\\b.txt",
         std::string("200:打开文件位置 300:打开方式 400:资源管理器菜单 500:复制完整路径 "
                     "600:创建桌面快捷方式") +
             kTail},
        {".EXE", "C:\\a\\B.EXE",  // kinds compare exactly: not ".exe"
         std::string("200:打开文件位置 300:打开方式 400:资源管理器菜单 500:复制完整路径 "
                     "600:创建桌面快捷方式") +
             kTail},
        {"url", "https://example.com/",
         std::string("200:打开文件位置(off) 400:资源管理器菜单(off) 500:复制完整路径 "
                     "600:创建桌面快捷方式") +
             kTail},
        {"unc", "\\\\server\\share",
         std::string("200:打开文件位置(off) 400:资源管理器菜单(off) 500:复制完整路径 "
                     "600:创建桌面快捷方式") +
             kTail},
        {"shell", "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}",
         std::string("200:打开文件位置(off) 400:资源管理器菜单(off) 500:复制完整路径(off) "
                     "600:创建桌面快捷方式(off)") +
             kTail},
        {"encrypt", "encrypt:abcdQUJD",
         "200:打开文件位置(off) 400:资源管理器菜单(off) 500:复制完整路径(off) "
         "600:创建桌面快捷方式(off) - 700:解密数据 - 800:删除 900:属性"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Describe(ItemMenu(c.type, c.path)), c.expected) << c.type;
}

TEST(ItemMenuTest, ShortcutNamesLoseWhatAFileNameCannotHold) {
    EXPECT_EQ(ShortcutBaseName("记事本"), "记事本");
    EXPECT_EQ(ShortcutBaseName("a\\b/c:d*e?f\"g<h>i|j"), "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(ShortcutBaseName("tab\there"), "tab_here");
    EXPECT_EQ(ShortcutBaseName(""), "_");
}

}  // namespace
}  // namespace pt
