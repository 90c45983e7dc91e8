// Where the main panel opens: the remembered or the created size, the
// remembered position or the centre of the work area, and the clamp that
// keeps the whole panel on the primary screen's work area. Pure arithmetic
// (no system calls), so every rule is tested without a display.
#pragma once

#include "toolkit/geometry.h"

namespace pt {

struct PanelPlacementInput {
    Rect work;     // the primary work area
    Size created;  // the window as created (the design size, scaled)
    Size minimum;  // the window's minimum size
    bool sizeRemember = false;
    Size sizeLast;  // General.SizeRemember.SizeLast; 0 x 0 when never stored
    bool posRemember = false;
    Point posLast;  // General.PosRemember.PosLast
    bool dpiReset = false;
};

// The panel's window rectangle at start.
Rect PlacePanel(const PanelPlacementInput& in);

// `rect` moved, size kept, so that it lies inside `work`. When it is larger
// than the work area its left and top edges win, so the caption stays
// reachable.
Rect KeepInsideWorkArea(const Rect& rect, const Rect& work);

// `size` centred in `work`.
Point CentreIn(const Rect& work, Size size);

}  // namespace pt
