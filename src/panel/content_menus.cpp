// The category and group menus as data; see content_menus.h.
#include "panel/content_menus.h"

namespace pt {

int MoveToClassIndex(int id) {
    if (id < kMoveToClassFirst || id >= kMoveToClassFirst + kMaxMoveToClassEntries)
        return -1;
    return id - kMoveToClassFirst;
}

int MoveToClassId(int classIndex) {
    return kMoveToClassFirst + classIndex;
}

namespace {
ContentMenuEntry Separator() {
    return ContentMenuEntry{};
}
ContentMenuEntry Command(int id, const char* text, bool enabled = true) {
    return ContentMenuEntry{id, text, enabled, {}};
}
}  // namespace

std::vector<ContentMenuEntry> SidebarMenu(bool onEntry, int current, int count) {
    if (!onEntry)
        return {Command(kCmdNew, "新建分类")};
    return {
        Command(kCmdNew, "新建分类"),
        Separator(),
        Command(kCmdUp, "上移分类", current > 0),
        Command(kCmdDown, "下移分类", current >= 0 && current < count - 1),
        Separator(),
        Command(kCmdRename, "重命名"),
        Command(kCmdDelete, "删除", count > 1),
    };
}

std::vector<ContentMenuEntry> TabMenu(bool onTab, const std::vector<std::string>& classNames,
                                      int current, int groupCount, int currentGroup) {
    if (!onTab)
        return {Command(kCmdNew, "新建分组")};
    ContentMenuEntry moveTo = Command(kCmdMoveTo, "移动到");
    moveTo.children.push_back(Command(kCmdMoveLeft, "左移分组", currentGroup > 0));
    moveTo.children.push_back(
        Command(kCmdMoveRight, "右移分组", currentGroup >= 0 && currentGroup < groupCount - 1));
    const int classCount = static_cast<int>(classNames.size());
    // A category's last group stays where it is: it can neither leave nor go.
    if (classCount >= 2 && groupCount >= 2) {
        moveTo.children.push_back(Separator());
        for (int c = 0; c < classCount && c < kMaxMoveToClassEntries; ++c) {
            if (c != current)
                moveTo.children.push_back(
                    ContentMenuEntry{MoveToClassId(c), classNames[c], true, {}});
        }
    }
    return {
        Command(kCmdNew, "新建分组"),
        Command(kCmdClear, "清空分组"),
        Separator(),
        moveTo,
        Separator(),
        Command(kCmdRename, "重命名"),
        Command(kCmdDelete, "删除", groupCount > 1),
    };
}

std::vector<ContentMenuEntry> EditMenu(const EditMenuState& s) {
    const bool writable = !s.readOnly;
    return {
        Command(kCmdEditCut, "剪切(T)", s.hasSelection && writable),
        Command(kCmdEditCopy, "复制(C)", s.hasSelection),
        Command(kCmdEditPaste, "粘贴(P)", writable && s.clipboardHasText),
        Command(kCmdEditDelete, "删除(D)", s.hasSelection && writable),
        Separator(),
        Command(kCmdEditSelectAll, "全部选择(A)", !s.empty),
    };
}

}  // namespace pt
