// Monitor choice and fitting rules; see screen_areas.h.
#include "toolkit/screen_areas.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "toolkit/popup_placement.h"

namespace pt {
namespace {

// Squared distance from `p` to the nearest point of `r` (0 inside).
int64_t DistanceSquared(const Rect& r, Point p) {
    const int64_t dx = p.x < r.left ? r.left - p.x : (p.x >= r.right ? p.x - (r.right - 1) : 0);
    const int64_t dy = p.y < r.top ? r.top - p.y : (p.y >= r.bottom ? p.y - (r.bottom - 1) : 0);
    return dx * dx + dy * dy;
}

}  // namespace

const MonitorArea* MonitorHolding(const MonitorList& monitors, Point p) {
    for (const MonitorArea& m : monitors) {
        if (m.bounds.Contains(p))
            return &m;
    }
    return nullptr;
}

const MonitorArea* MonitorNearest(const MonitorList& monitors, Point p) {
    const MonitorArea* best = nullptr;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (const MonitorArea& m : monitors) {
        const int64_t d = DistanceSquared(m.bounds, p);
        if (d < bestDistance) {
            best = &m;
            bestDistance = d;
        }
    }
    return best;
}

Rect PrimaryWorkArea(const MonitorList& monitors) {
    for (const MonitorArea& m : monitors) {
        if (m.primary)
            return m.work;
    }
    return monitors.empty() ? Rect{} : monitors.front().work;
}

Rect WorkAreaUnder(const MonitorList& monitors, const Rect& rect) {
    const Point centre{rect.left + rect.Width() / 2, rect.top + rect.Height() / 2};
    const MonitorArea* m = MonitorNearest(monitors, centre);
    return m ? m->work : Rect{};
}

Size FitSize(Size size, const Rect& work) {
    if (work.IsEmpty())
        return size;
    return Size{std::min(size.width, work.Width()), std::min(size.height, work.Height())};
}

Rect CentredInside(Size size, const Rect& over, const Rect& work) {
    const Size fitted = FitSize(size, work);
    const Rect centred =
        Rect::FromSize(over.left + (over.Width() - fitted.width) / 2,
                       over.top + (over.Height() - fitted.height) / 2, fitted.width, fitted.height);
    return work.IsEmpty() ? centred : KeepInside(centred, work);
}

}  // namespace pt
