// Placement of menus, submenus and tooltips inside a work area.
#include "toolkit/popup_placement.h"

namespace pt {

Rect KeepInside(const Rect& r, const Rect& area) {
    int dx = 0;
    int dy = 0;
    if (r.right > area.right)
        dx = area.right - r.right;
    if (r.left + dx < area.left)
        dx = area.left - r.left;
    if (r.bottom > area.bottom)
        dy = area.bottom - r.bottom;
    if (r.top + dy < area.top)
        dy = area.top - r.top;
    return r.Offset(dx, dy);
}

Rect PlaceMenu(Point at, Size size, const Rect& work) {
    int x = at.x;
    int y = at.y;
    if (x + size.width > work.right && at.x - size.width >= work.left)
        x = at.x - size.width;
    if (y + size.height > work.bottom && at.y - size.height >= work.top)
        y = at.y - size.height;
    return KeepInside(Rect::FromSize(x, y, size.width, size.height), work);
}

Rect PlaceSubmenu(const Rect& item, const Rect& parentFrame, Size size, const Rect& work,
                  int topInset, int overlap) {
    int x = parentFrame.right - overlap;
    if (x + size.width > work.right) {
        const int left = parentFrame.left + overlap - size.width;
        if (left >= work.left)
            x = left;
    }
    int y = item.top - topInset;
    if (y + size.height > work.bottom) {
        // Rather than cover the item, grow upwards from its bottom.
        const int up = item.bottom + topInset - size.height;
        if (up >= work.top)
            y = up;
    }
    return KeepInside(Rect::FromSize(x, y, size.width, size.height), work);
}

Rect PlaceTooltip(const Rect& anchor, Size size, const Rect& work, int gap) {
    int y = anchor.bottom + gap;
    if (y + size.height > work.bottom && anchor.top - gap - size.height >= work.top)
        y = anchor.top - gap - size.height;
    return KeepInside(Rect::FromSize(anchor.left, y, size.width, size.height), work);
}

}  // namespace pt
