// The one look of every popup menu of the program: the window dressing when
// a menu window is created (per-pixel alpha, a soft shadow that follows the
// skin's corner style, slight transparency) and the drawing of its items
// (selection band, submenu arrow, check dot, grey text).
#pragma once

#include "toolkit/menu.h"

namespace pt {

class Window;

// `roundCorners`: the skin's border radius is on.
void DressMenuWindow(Window& menuWindow, bool roundCorners);
void DrawMenuItem(const MenuDrawInfo& info);

}  // namespace pt
