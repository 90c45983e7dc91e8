// Menu items in a flat list with parent ids, and keyboard stepping.
#include "toolkit/menu_model.h"

namespace pt {

bool MenuModel::Add(int id, std::string_view text, int parent, unsigned flags) {
    const bool separator = (flags & kMenuItemSeparator) != 0;
    if (!separator && (id == kMenuRoot || Find(id)))
        return false;
    if (parent != kMenuRoot && !Find(parent))
        return false;
    MenuItemData item;
    item.id = separator ? 0 : id;
    item.text = separator ? std::string() : std::string(text);
    item.flags = flags & (kMenuItemChecked | kMenuItemSeparator | kMenuItemDisabled);
    item.parent = parent;
    items_.push_back(std::move(item));
    return true;
}

bool MenuModel::AddSeparator(int parent) {
    return Add(0, {}, parent, kMenuItemSeparator);
}

const MenuItemData* MenuModel::Find(int id) const {
    for (const MenuItemData& item : items_) {
        if (item.id == id && !(item.flags & kMenuItemSeparator))
            return &item;
    }
    return nullptr;
}

MenuItemData* MenuModel::Find(int id) {
    return const_cast<MenuItemData*>(static_cast<const MenuModel*>(this)->Find(id));
}

bool MenuModel::SetText(int id, std::string_view text) {
    MenuItemData* item = Find(id);
    if (!item)
        return false;
    item->text = text;
    return true;
}

bool MenuModel::SetFlag(int id, unsigned flag, bool on) {
    MenuItemData* item = Find(id);
    flag &= kMenuItemChecked | kMenuItemDisabled;
    if (!item || flag == 0)
        return false;
    item->flags = on ? (item->flags | flag) : (item->flags & ~flag);
    return true;
}

std::vector<size_t> MenuModel::Children(int parent) const {
    std::vector<size_t> out;
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].parent == parent)
            out.push_back(i);
    }
    return out;
}

bool MenuModel::HasChildren(int id) const {
    if (id == kMenuRoot)
        return !items_.empty();
    for (const MenuItemData& item : items_) {
        if (item.parent == id)
            return true;
    }
    return false;
}

unsigned MenuModel::StateFlags(size_t index, bool selected) const {
    if (index >= items_.size())
        return 0;
    const MenuItemData& item = items_[index];
    unsigned flags = item.flags;
    if (!(flags & kMenuItemSeparator) && HasChildren(item.id))
        flags |= kMenuItemPopup;
    if (selected)
        flags |= kMenuItemSelected;
    return flags;
}

bool MenuModel::Selectable(const MenuItemData& item) {
    return !(item.flags & (kMenuItemSeparator | kMenuItemDisabled));
}

int MenuModel::Step(const std::vector<size_t>& siblings, int from, int step) const {
    const int n = static_cast<int>(siblings.size());
    if (n == 0 || step == 0)
        return -1;
    step = step > 0 ? 1 : -1;
    int at = from;
    if (at < 0 || at >= n)
        at = step > 0 ? -1 : n;
    for (int tried = 0; tried < n; ++tried) {
        at = ((at + step) % n + n) % n;
        const size_t index = siblings[static_cast<size_t>(at)];
        if (index < items_.size() && Selectable(items_[index]))
            return at;
    }
    return -1;
}

}  // namespace pt
