// Where popups go on the screen: menus at a point, submenus beside their
// item, tooltips next to a rectangle, each kept inside the work area of the
// monitor it appears on. Pure rectangle arithmetic in screen coordinates.
#pragma once

#include "toolkit/geometry.h"

namespace pt {

// Moves `r` (keeping its size) the least distance that puts it inside
// `area`; a rectangle larger than the area keeps its left or top edge on
// the area's.
Rect KeepInside(const Rect& r, const Rect& area);

// A menu of `size` with its top-left corner at `at`; where it would run past
// the right or bottom edge of `work` it opens to the left of or above the
// point instead, as a menu at the cursor does, then is kept inside.
Rect PlaceMenu(Point at, Size size, const Rect& work);

// A submenu of `size` beside the parent's item `item` (screen), its top
// `topInset` above the item's top so the first entries line up: on the right
// of `parentFrame`, else on its left, overlapping it by `overlap`.
Rect PlaceSubmenu(const Rect& item, const Rect& parentFrame, Size size, const Rect& work,
                  int topInset = 0, int overlap = 0);

// A tooltip of `size` below `anchor`, `gap` pixels away, starting at its
// left edge; above it when there is no room below; then kept inside.
Rect PlaceTooltip(const Rect& anchor, Size size, const Rect& work, int gap = 2);

}  // namespace pt
