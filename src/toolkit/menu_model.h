// What a popup menu holds and how the keyboard moves through it, apart from
// any window: items with ids, texts and flags in a tree (an item with
// children opens a submenu), the state flags an item is drawn with, and the
// step from one selectable item to the next that arrow keys take. Pure, so
// it is tested without a menu on screen.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pt {

// State flags of a menu item, as the item-drawing event hands them over.
enum MenuItemFlag : unsigned {
    kMenuItemSelected = 1,
    kMenuItemChecked = 2,
    kMenuItemPopup = 4,  // has a submenu
    kMenuItemSeparator = 8,
    kMenuItemDisabled = 16,
};

// The parent id of top-level items.
inline constexpr int kMenuRoot = 0;

struct MenuItemData {
    int id = 0;
    std::string text;
    unsigned flags = 0;  // kMenuItemChecked | kMenuItemSeparator | kMenuItemDisabled
    int parent = kMenuRoot;
};

class MenuModel {
  public:
    // Adds an item at the end of `parent`'s list. False (nothing added) when
    // the id is kMenuRoot or already used by another item, or `parent` is not
    // kMenuRoot and names no item or names a separator. A separator (flag
    // kMenuItemSeparator) needs no unique id.
    bool Add(int id, std::string_view text, int parent = kMenuRoot, unsigned flags = 0);
    bool AddSeparator(int parent = kMenuRoot);

    // Items by id; separators are not found this way.
    const MenuItemData* Find(int id) const;
    MenuItemData* Find(int id);
    bool SetText(int id, std::string_view text);
    bool SetFlag(int id, unsigned flag, bool on);

    // The items under `parent`, in order (indices into Items()).
    std::vector<size_t> Children(int parent) const;
    bool HasChildren(int id) const;
    const std::vector<MenuItemData>& Items() const { return items_; }
    bool Empty() const { return items_.empty(); }

    // The flags item `index` is drawn with: its own, kMenuItemPopup when it
    // has children, kMenuItemSelected when `selected`.
    unsigned StateFlags(size_t index, bool selected) const;

    // An item the user can move to: not a separator, not disabled.
    static bool Selectable(const MenuItemData& item);

    // The next selectable position in `siblings` (indices into Items())
    // after position `from` in direction `step` (+1 down, -1 up), wrapping
    // around; `from` = -1 starts before the first (or after the last, going
    // up). -1 when nothing there is selectable.
    int Step(const std::vector<size_t>& siblings, int from, int step) const;

  private:
    std::vector<MenuItemData> items_;
};

}  // namespace pt
