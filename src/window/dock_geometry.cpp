// Snap and slide positions of the docked panel; see dock_geometry.h.
#include "window/dock_geometry.h"

#include <algorithm>
#include <cmath>

#include "toolkit/easing.h"

namespace pt {
namespace {

int Round(double v) {
    return static_cast<int>(std::lround(v));
}

Point SlideOutStep(const Rect& r, const Rect& work, double e) {
    const double width = r.Width();
    const double height = r.Height();
    double left = r.left;
    double top = r.top;
    if (r.left < work.left)
        left = work.left - width + width * e;
    if (r.top < work.top + 1)
        top = work.top - height + height * e;
    if (work.right < r.right)
        left = work.right - width * e;
    return Point{Round(left), Round(top)};
}

Point SlideInStep(const Rect& r, const Rect& work, double e) {
    const double width = r.Width();
    const double height = r.Height();
    double left = r.left;
    double top = r.top;
    if (r.left < work.left + 1)
        left = work.left + kDockStrip - width * e;
    if (r.top < work.top + 1)
        top = work.top + kDockStrip - height * e;
    if (r.right >= work.right)
        left = work.right - width - kDockStrip + width * e;
    return Point{Round(left), Round(top)};
}

}  // namespace

bool IsAtDockEdge(const Rect& rect, const Rect& work) {
    return !(rect.left > work.left && rect.top > work.top && rect.right < work.right);
}

Rect SnapIntoWorkArea(const Rect& rect, const Rect& work) {
    const int width = rect.Width();
    const int height = rect.Height();
    int left = rect.left;
    int top = rect.top;
    if (left < work.left + 1)
        left = work.left;
    if (top < work.top + 1)
        top = work.top;
    if (rect.right >= work.right)
        left = work.right - width;
    if (rect.bottom >= work.bottom)
        top = work.bottom - height;
    return Rect::FromSize(left, top, width, height);
}

int DockSlideSteps(int speed) {
    return 35 - std::clamp(speed, 5, 30);
}

std::vector<Point> DockSlidePath(const Rect& rect, const Rect& work, int steps, bool out) {
    std::vector<Point> path;
    if (steps < 1)
        return path;
    path.reserve(static_cast<size_t>(steps));
    Rect at = rect;
    for (int i = 1; i <= steps; ++i) {
        const double e = EaseQuint(static_cast<double>(i) / steps, EaseMode::kOut);
        const Point p = out ? SlideOutStep(at, work, e) : SlideInStep(at, work, e);
        path.push_back(p);
        at = Rect::FromSize(p.x, p.y, rect.Width(), rect.Height());
    }
    return path;
}

Point DockParkedPosition(const Rect& rect, const Rect& work) {
    return SlideInStep(rect, work, 1.0);
}

bool ContainsInclusive(const Rect& rect, Point p) {
    return p.x >= rect.left && p.x <= rect.right && p.y >= rect.top && p.y <= rect.bottom;
}

}  // namespace pt
