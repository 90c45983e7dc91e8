// The panel's start placement; see placement.h.
#include "window/placement.h"

#include <algorithm>

namespace pt {

Point CentreIn(const Rect& work, Size size) {
    // Centred in the work area itself: a taskbar on the left or at the top
    // moves the work area's origin away from 0, 0.
    return Point{work.left + (work.Width() - size.width) / 2,
                 work.top + (work.Height() - size.height) / 2};
}

Rect KeepInsideWorkArea(const Rect& rect, const Rect& work) {
    int x = rect.left;
    int y = rect.top;
    const int width = rect.Width();
    const int height = rect.Height();
    if (x + width > work.right)
        x = work.right - width;
    if (y + height > work.bottom)
        y = work.bottom - height;
    x = std::max(x, work.left);
    y = std::max(y, work.top);
    return Rect::FromSize(x, y, width, height);
}

PanelPlacement PlacePanel(const PanelPlacementInput& in) {
    PanelPlacement out;
    Size wanted = in.created;
    // A remembered size that was never stored (the switch was just turned
    // on) reads as 0 x 0: keep the created size rather than open a panel
    // nobody can see.
    if (in.sizeRemember && in.sizeLast.width > 0 && in.sizeLast.height > 0 && !in.dpiReset) {
        wanted.width = std::max(in.sizeLast.width, in.minimum.width);
        wanted.height = std::max(in.sizeLast.height, in.minimum.height);
    }
    out.wanted = wanted;

    // The remembered values were measured at the old scale after a DPI
    // change; a position whose screen is gone has nothing to be kept on.
    const MonitorArea* remembered =
        in.posRemember && !in.dpiReset ? MonitorHolding(in.monitors, in.posLast) : nullptr;
    const Rect work = remembered ? remembered->work : PrimaryWorkArea(in.monitors);

    // A small screen at a large scale has less room than the design size,
    // and less than the minimum too: the whole panel, footer included, must
    // stay reachable.
    out.minimum = FitSize(in.minimum, work);
    Size size = FitSize(wanted, work);
    size.width = std::max(size.width, out.minimum.width);
    size.height = std::max(size.height, out.minimum.height);

    const Point pos = remembered ? in.posLast : CentreIn(work, size);
    out.rect = KeepInsideWorkArea(Rect::FromSize(pos.x, pos.y, size.width, size.height), work);
    return out;
}

}  // namespace pt
