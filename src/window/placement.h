// Where the main panel opens: the remembered or the created size, the
// remembered position or the centre of a work area, and the fit that keeps
// the whole panel on one monitor's work area, however small the screen or
// large the scale. Pure arithmetic (no system calls), so every rule is
// tested without a display.
#pragma once

#include "toolkit/geometry.h"
#include "toolkit/screen_areas.h"

namespace pt {

struct PanelPlacementInput {
    MonitorList monitors;  // the desktop's monitors now
    Size created;          // the window as created (the design size, scaled)
    Size minimum;          // the window's minimum size
    bool sizeRemember = false;
    Size sizeLast;  // General.SizeRemember.SizeLast; 0 x 0 when never stored
    bool posRemember = false;
    Point posLast;  // General.PosRemember.PosLast
    bool dpiReset = false;
};

struct PanelPlacement {
    Rect rect;     // the window, inside one monitor's work area
    Size minimum;  // the minimum size, no larger than that work area
    // The size asked for before the fit: what stays remembered while the
    // panel shows smaller on a small screen.
    Size wanted;
};

// The panel's window at start. A remembered position opens on the monitor
// that holds it; one on no monitor any more, or none remembered, opens
// centred on the primary monitor's work area.
PanelPlacement PlacePanel(const PanelPlacementInput& in);

// `rect` moved, size kept, so that it lies inside `work`. When it is larger
// than the work area its left and top edges win, so the caption stays
// reachable.
Rect KeepInsideWorkArea(const Rect& rect, const Rect& work);

// `size` centred in `work`.
Point CentreIn(const Rect& work, Size size);

}  // namespace pt
