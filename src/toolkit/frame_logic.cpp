// The borderless frame's mouse arithmetic.
#include "toolkit/frame_logic.h"

namespace pt {

FrameZone HitFrame(const FrameMetrics& m, Point p) {
    if (!m.frame.Contains(p))
        return FrameZone::kNone;
    if (m.dragBorderOn) {
        const bool l = m.dragBorder.left > 0 && p.x < m.frame.left + m.dragBorder.left;
        const bool r = m.dragBorder.right > 0 && p.x >= m.frame.right - m.dragBorder.right;
        const bool t = m.dragBorder.top > 0 && p.y < m.frame.top + m.dragBorder.top;
        const bool b = m.dragBorder.bottom > 0 && p.y >= m.frame.bottom - m.dragBorder.bottom;
        if (t && l)
            return FrameZone::kTopLeft;
        if (t && r)
            return FrameZone::kTopRight;
        if (b && l)
            return FrameZone::kBottomLeft;
        if (b && r)
            return FrameZone::kBottomRight;
        if (l)
            return FrameZone::kLeft;
        if (r)
            return FrameZone::kRight;
        if (t)
            return FrameZone::kTop;
        if (b)
            return FrameZone::kBottom;
    }
    if (m.dragCaptionOn && p.y < m.frame.top + m.captionHeight)
        return FrameZone::kCaption;
    return FrameZone::kClient;
}

bool IsResizeZone(FrameZone zone) {
    return zone != FrameZone::kNone && zone != FrameZone::kClient && zone != FrameZone::kCaption;
}

Rect DragRect(const Rect& start, FrameZone zone, int dx, int dy, Size minSize) {
    if (zone == FrameZone::kCaption)
        return start.Offset(dx, dy);
    Rect r = start;
    const bool left =
        zone == FrameZone::kLeft || zone == FrameZone::kTopLeft || zone == FrameZone::kBottomLeft;
    const bool right = zone == FrameZone::kRight || zone == FrameZone::kTopRight ||
                       zone == FrameZone::kBottomRight;
    const bool top =
        zone == FrameZone::kTop || zone == FrameZone::kTopLeft || zone == FrameZone::kTopRight;
    const bool bottom = zone == FrameZone::kBottom || zone == FrameZone::kBottomLeft ||
                        zone == FrameZone::kBottomRight;
    const int minW = minSize.width > 0 ? minSize.width : 1;
    const int minH = minSize.height > 0 ? minSize.height : 1;
    if (left)
        r.left = std::min(start.left + dx, start.right - minW);
    if (right)
        r.right = std::max(start.right + dx, start.left + minW);
    if (top)
        r.top = std::min(start.top + dy, start.bottom - minH);
    if (bottom)
        r.bottom = std::max(start.bottom + dy, start.top + minH);
    return r;
}

}  // namespace pt
