// Opens the panel's own popup menus (the category, group and edit menus)
// from their data lists, all dressed alike: owner-drawn white background,
// the shared item drawing, a soft shadow (round-cornered with the skin's
// border radius) and slight transparency. The menu
// reports to an owner element, not to the panel window, so its ids (100,
// 200, ...) never meet those of a menu the window owns itself (the tray's).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "panel/content_menus.h"
#include "toolkit/element.h"
#include "toolkit/menu.h"

namespace pt {

// Builds a toolkit menu from `entries` (submenus included), styled as every
// panel menu: item height 28, borders 5, 10, 5, 10, grey border, owner
// drawing on.
std::shared_ptr<Menu> BuildPanelMenu(const std::vector<ContentMenuEntry>& entries);

// Opens `entries` at `screen` for `owner` (an element of a toolkit window)
// and runs `chosen` with the picked id once the menu has gone. Nothing runs
// when the menu is dismissed or replaced by another. False when it could
// not open.
bool ShowPanelMenu(Element& owner, const std::vector<ContentMenuEntry>& entries, POINT screen,
                   std::function<void(int id)> chosen);

}  // namespace pt
