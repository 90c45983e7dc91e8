// The item menu as data; see item_menu.h.
#include "panel/item_menu.h"

#include "launcher/target.h"

namespace pt {
namespace {

ContentMenuEntry Command(int id, const char* text, bool enabled = true) {
    return ContentMenuEntry{id, text, enabled, {}};
}

}  // namespace

std::vector<ContentMenuEntry> ItemMenu(std::string_view type, std::string_view path) {
    const bool exe = type == ".exe";
    const bool local = IsLocalPath(path);
    const bool hidden = type == "shell" || type == "encrypt";
    const bool openWith = !exe && type != "folder" && type != "unc" && type != "url" && !hidden;
    std::vector<ContentMenuEntry> menu;
    if (exe) {
        menu.push_back(Command(kItemRunAsAdmin, "以管理员身份运行"));
        menu.push_back(ContentMenuEntry{});
    }
    menu.push_back(Command(kItemOpenLocation, "打开文件位置", local));
    if (openWith)
        menu.push_back(Command(kItemOpenWith, "打开方式"));
    menu.push_back(Command(kItemShellMenu, "资源管理器菜单", local));
    menu.push_back(Command(kItemCopyPath, "复制完整路径", !hidden));
    menu.push_back(Command(kItemDesktopLink, "创建桌面快捷方式", !hidden));
    menu.push_back(ContentMenuEntry{});
    menu.push_back(Command(kItemCipher, type == "encrypt" ? "解密数据" : "加密数据"));
    menu.push_back(ContentMenuEntry{});
    menu.push_back(Command(kItemDelete, "删除"));
    menu.push_back(Command(kItemProperties, "属性"));
    return menu;
}

std::string ShortcutBaseName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        const bool reserved = std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
        const bool control = static_cast<unsigned char>(c) < 0x20;
        out.push_back(reserved || control ? '_' : c);
    }
    return out.empty() ? "_" : out;
}

}  // namespace pt
