// The open popup menu (Menu::Current) driven as a user drives it: messages
// to the menu window that shows an item, at the item's centre.
#pragma once

#include <windows.h>

#include "support/ui_input.h"
#include "toolkit/menu.h"

namespace pt::test {

// The window of the open menu that shows item `id`, with the item's centre
// in its client coordinates in `client`; null when no open menu shows it.
inline HWND MenuItemWindow(int id, Point* client) {
    auto menu = Menu::Current();
    Rect r;
    if (!menu || !menu->ItemScreenRect(id, r))
        return nullptr;
    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    for (Window* w : menu->OpenWindows()) {
        RECT wr;
        ::GetWindowRect(w->Hwnd(), &wr);
        if (!::PtInRect(&wr, centre))
            continue;
        POINT p = centre;
        ::ScreenToClient(w->Hwnd(), &p);
        *client = Point{p.x, p.y};
        return w->Hwnd();
    }
    return nullptr;
}

// The mouse moved onto item `id`; false when no open menu shows it.
inline bool HoverMenuItem(int id) {
    Point p{};
    HWND h = MenuItemWindow(id, &p);
    if (h)
        MouseMove(h, p);
    return h != nullptr;
}

// Item `id` clicked; false when no open menu shows it.
inline bool PickMenuItem(int id) {
    Point p{};
    HWND h = MenuItemWindow(id, &p);
    if (h)
        Click(h, p);
    return h != nullptr;
}

}  // namespace pt::test
