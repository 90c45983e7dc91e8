// Where the panel goes when it parks at a screen edge: the snap into the
// work area at the end of a move, the test for "at an edge", and the
// positions of the eased slides out of and into the 2-pixel strip that a
// parked panel leaves on the screen. Pure arithmetic, so every edge and
// corner is checked without a display.
#pragma once

#include <vector>

#include "toolkit/geometry.h"

namespace pt {

// The strip of a slid-away panel that stays inside the work area.
inline constexpr int kDockStrip = 2;

// The left, top and right edges park the panel; the bottom edge never does.
bool IsAtDockEdge(const Rect& rect, const Rect& work);

// `rect` after a move ended: pulled inside the work area edge by edge, so
// a panel released half off the left edge lands exactly on it.
Rect SnapIntoWorkArea(const Rect& rect, const Rect& work);

// Steps of a slide at a speed level (clamped to 5..30): 35 - speed.
int DockSlideSteps(int speed);

// The top-left corners of an eased slide of `rect`, one per step, the last
// one the end position. Sliding out brings a parked panel fully back onto
// the screen; sliding in leaves the strip. Each step is derived from the
// previous position, so a panel in a corner moves along both edges at once.
std::vector<Point> DockSlidePath(const Rect& rect, const Rect& work, int steps, bool out);

// The top-left corner of `rect` parked at its edge (the slide's end, taken
// in one jump when easing is off).
Point DockParkedPosition(const Rect& rect, const Rect& work);

// Whether `p` lies in `rect`, its right and bottom borders included: the
// strip of a panel parked at the left edge is then the columns 0..2.
bool ContainsInclusive(const Rect& rect, Point p);

}  // namespace pt
