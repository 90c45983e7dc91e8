// What the panel's right-click menus on the category column and the group
// tab row hold: command ids, texts, separators and which entries are
// enabled for the current selection, as plain data. The popup menu builds
// itself from these lists, and the command handlers read the ids back.
//
// The "移动到" submenu names every other category. Its ids start at
// kMoveToClassFirst and run over a range of their own (up to
// kMaxMoveToClassEntries categories), so a panel with many categories never
// produces an id that another command answers to.
#pragma once

#include <string>
#include <vector>

namespace pt {

enum ContentCommand : int {
    kCmdNew = 100,     // "新建分类" / "新建分组"
    kCmdUp = 200,      // "上移分类"
    kCmdClear = 200,   // "清空分组" (tab menu)
    kCmdDown = 300,    // "下移分类"
    kCmdMoveTo = 300,  // the "移动到" submenu (tab menu)
    kCmdMoveLeft = 301,
    kCmdMoveRight = 302,
    kCmdRename = 400,
    kCmdDelete = 500,
};

inline constexpr int kMoveToClassFirst = 10000;
inline constexpr int kMaxMoveToClassEntries = 100000;

// The category a "移动到" id names, or -1 for any other id.
int MoveToClassIndex(int id);
int MoveToClassId(int classIndex);

struct ContentMenuEntry {
    int id = 0;  // 0 for a separator
    std::string text;
    bool enabled = true;
    std::vector<ContentMenuEntry> children;  // a submenu when not empty

    bool IsSeparator() const { return id == 0; }
};

// The category column's menu: on the free area only "新建分类"; on an entry
// the full menu for the current category `current` of `count`.
std::vector<ContentMenuEntry> SidebarMenu(bool onEntry, int current, int count);

// The tab row's menu. `classNames` are all categories, `current` the current
// one, `groupCount` and `currentGroup` its groups.
std::vector<ContentMenuEntry> TabMenu(bool onTab, const std::vector<std::string>& classNames,
                                      int current, int groupCount, int currentGroup);

// The text fields' edit menu.
enum EditMenuCommand : int {
    kCmdEditCut = 1000000000,
    kCmdEditCopy = 1000000001,
    kCmdEditPaste = 1000000002,
    kCmdEditDelete = 1000000003,
    kCmdEditSelectAll = 1000000004,
};

struct EditMenuState {
    bool hasSelection = false;  // a selection of at least one character
    bool readOnly = false;
    bool clipboardHasText = false;
    bool empty = true;
};
std::vector<ContentMenuEntry> EditMenu(const EditMenuState& state);

// Confirmation texts of the destructive commands.
inline constexpr char kConfirmDeleteClass[] = "删除分类，将同时删除该分类下的所有分组和项目数据。";
inline constexpr char kConfirmClearGroup[] = "清空分组，将同时删除该分组下的所有项目数据。";
inline constexpr char kConfirmDeleteGroup[] = "删除分组，将同时删除该分组下的所有项目数据。";
// The name given for an empty rename.
inline constexpr char kUnnamed[] = "未命名";

}  // namespace pt
