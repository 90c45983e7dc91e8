// The borderless frame's mouse arithmetic: which zone of the frame a point
// is in (a resize edge or corner, the caption band, the client area), and
// the window rectangle while a move or a resize is dragged, minimum size
// included. Pure arithmetic, tested without a window.
#pragma once

#include "toolkit/geometry.h"

namespace pt {

enum class FrameZone {
    kNone,
    kClient,
    kCaption,
    kLeft,
    kTop,
    kRight,
    kBottom,
    kTopLeft,
    kTopRight,
    kBottomLeft,
    kBottomRight
};

struct FrameMetrics {
    Rect frame;         // the drawn frame in window coordinates (the shadow band excluded)
    Insets dragBorder;  // resize band widths inside the frame; 0 switches an edge off
    bool dragBorderOn = true;
    int captionHeight = 0;  // the caption band below the top of the frame
    bool dragCaptionOn = true;
};

// The zone under `p` (window coordinates). Corners are where two resize
// bands meet. Outside the frame (in the shadow): kNone.
FrameZone HitFrame(const FrameMetrics& m, Point p);

bool IsResizeZone(FrameZone zone);

// The window rectangle after dragging by (dx, dy) from `start`: a move for
// kCaption, a resize of the zone's edges otherwise, never smaller than
// `minSize` (the edge being dragged stops; the opposite edge stays put).
Rect DragRect(const Rect& start, FrameZone zone, int dx, int dy, Size minSize = {});

}  // namespace pt
