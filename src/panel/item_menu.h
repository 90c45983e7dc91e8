// What the right-click menu of a grid cell holds for an item, and the small
// text rules its commands need (the desktop shortcut's file name, the item
// menu's question), as plain data so they are checked without a window.
// Which entries show and which are disabled depends only on the item's
// stored `type` and `path`.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "panel/content_menus.h"

namespace pt {

enum ItemCommand : int {
    kItemRunAsAdmin = 100,    // "以管理员身份运行"
    kItemOpenLocation = 200,  // "打开文件位置"
    kItemOpenWith = 300,      // "打开方式"
    kItemShellMenu = 400,     // "资源管理器菜单"
    kItemCopyPath = 500,      // "复制完整路径"
    kItemDesktopLink = 600,   // "创建桌面快捷方式"
    kItemCipher = 700,        // "加密数据" / "解密数据"
    kItemDelete = 800,        // "删除"
    kItemProperties = 900,    // "属性"
};

// The entries in menu order for an item of this kind text and path.
std::vector<ContentMenuEntry> ItemMenu(std::string_view type, std::string_view path);

// The item's name made fit for a file name: each of \ / : * ? " < > | and
// every control character becomes "_"; an empty result is "_".
std::string ShortcutBaseName(std::string_view name);

inline constexpr char kConfirmDeleteItem[] = "删除项目数据：";
inline constexpr char kWrongKey[] = "密钥错误！";
inline constexpr char kFileNotFound[] = "找不到指定的文件";
// Before the system's reason when a desktop shortcut cannot be written.
inline constexpr char kShortcutFailed[] = "创建桌面快捷方式失败：";

}  // namespace pt
