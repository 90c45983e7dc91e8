// The monitors of the desktop as windows are placed on them: each one's
// bounds and work area (the part the taskbar leaves free), and the rules
// that pick a monitor for a point or a window and fit a window into a work
// area. The rules are pure arithmetic; QueryMonitors reads the system.
#pragma once

#include <vector>

#include "toolkit/geometry.h"

namespace pt {

struct MonitorArea {
    Rect bounds;  // the whole screen, in virtual-screen coordinates
    Rect work;    // the screen less the taskbar and docked bars
    bool primary = false;
    friend bool operator==(const MonitorArea&, const MonitorArea&) = default;
};

using MonitorList = std::vector<MonitorArea>;

// The monitor whose bounds hold `p`; null when it lies on none (a screen that
// has been unplugged since the point was stored).
const MonitorArea* MonitorHolding(const MonitorList& monitors, Point p);

// The monitor holding `p`, else the one nearest to it; null only when the
// list is empty.
const MonitorArea* MonitorNearest(const MonitorList& monitors, Point p);

// The primary monitor's work area (the first monitor's when none is marked;
// empty for an empty list).
Rect PrimaryWorkArea(const MonitorList& monitors);

// The work area of the monitor under the centre of `rect` (or nearest to it):
// where a window that is being moved belongs.
Rect WorkAreaUnder(const MonitorList& monitors, const Rect& rect);

// `size` made no larger than `work`; an empty work area leaves it alone.
Size FitSize(Size size, const Rect& work);

// A window of `size`, shrunk to fit `work`, centred over `over` and then
// moved the least distance that puts it inside `work`.
Rect CentredInside(Size size, const Rect& over, const Rect& work);

// Every monitor of the desktop now, the primary one marked. When the system
// lists none (no display yet), one monitor made of the primary work area.
MonitorList QueryMonitors();

}  // namespace pt
