// The capture rectangle's drag, move and resize rules; see selection.h.
#include "ext/capture/selection.h"

#include <algorithm>
#include <cstdlib>

namespace pt::capture {
namespace {

Rect Normalized(int x1, int y1, int x2, int y2) {
    return Rect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

}  // namespace

Point Selection::Clamp(Point p) const {
    return Point{std::clamp(p.x, bounds_.left, bounds_.right),
                 std::clamp(p.y, bounds_.top, bounds_.bottom)};
}

Zone Selection::HitTest(Point p) const {
    if (!has_)
        return Zone::kOutside;
    const Rect& r = rect_;
    const bool inX = p.x > r.left - kGrip && p.x < r.right + kGrip;
    const bool inY = p.y > r.top - kGrip && p.y < r.bottom + kGrip;
    if (!inX || !inY)
        return Zone::kOutside;
    const bool left = std::abs(p.x - r.left) < kGrip;
    const bool right = !left && std::abs(p.x - r.right) < kGrip;
    const bool top = std::abs(p.y - r.top) < kGrip;
    const bool bottom = !top && std::abs(p.y - r.bottom) < kGrip;
    if (top)
        return left ? Zone::kTopLeft : right ? Zone::kTopRight : Zone::kTop;
    if (bottom)
        return left ? Zone::kBottomLeft : right ? Zone::kBottomRight : Zone::kBottom;
    if (left)
        return Zone::kLeft;
    if (right)
        return Zone::kRight;
    return Zone::kInside;
}

void Selection::Press(Point p) {
    p = Clamp(p);
    zone_ = HitTest(p);
    anchor_ = p;
    atPress_ = rect_;
    if (zone_ == Zone::kOutside) {
        op_ = Op::kCreate;
        rect_ = Rect{p.x, p.y, p.x, p.y};
        has_ = true;
    } else {
        op_ = zone_ == Zone::kInside ? Op::kMove : Op::kResize;
    }
}

void Selection::Drag(Point p) {
    p = Clamp(p);
    switch (op_) {
        case Op::kNone:
            return;
        case Op::kCreate:
            rect_ = Normalized(anchor_.x, anchor_.y, p.x, p.y);
            return;
        case Op::kMove: {
            const int w = atPress_.Width();
            const int h = atPress_.Height();
            const int left =
                std::clamp(atPress_.left + p.x - anchor_.x, bounds_.left, bounds_.right - w);
            const int top =
                std::clamp(atPress_.top + p.y - anchor_.y, bounds_.top, bounds_.bottom - h);
            rect_ = Rect{left, top, left + w, top + h};
            return;
        }
        case Op::kResize: {
            int x1 = atPress_.left, y1 = atPress_.top, x2 = atPress_.right, y2 = atPress_.bottom;
            const int dx = p.x - anchor_.x;
            const int dy = p.y - anchor_.y;
            if (zone_ == Zone::kLeft || zone_ == Zone::kTopLeft || zone_ == Zone::kBottomLeft)
                x1 += dx;
            if (zone_ == Zone::kRight || zone_ == Zone::kTopRight || zone_ == Zone::kBottomRight)
                x2 += dx;
            if (zone_ == Zone::kTop || zone_ == Zone::kTopLeft || zone_ == Zone::kTopRight)
                y1 += dy;
            if (zone_ == Zone::kBottom || zone_ == Zone::kBottomLeft || zone_ == Zone::kBottomRight)
                y2 += dy;
            // Dragging an edge across the opposite one turns the rectangle over.
            rect_ = Normalized(x1, y1, x2, y2);
            return;
        }
    }
}

void Selection::Release(Point p) {
    if (op_ == Op::kNone)
        return;
    Drag(p);
    op_ = Op::kNone;
    if (rect_.Empty())
        Clear();
}

void Selection::Nudge(int dx, int dy) {
    if (!has_ || op_ != Op::kNone)
        return;
    const int w = rect_.Width();
    const int h = rect_.Height();
    const int left = std::clamp(rect_.left + dx, bounds_.left, bounds_.right - w);
    const int top = std::clamp(rect_.top + dy, bounds_.top, bounds_.bottom - h);
    rect_ = Rect{left, top, left + w, top + h};
}

void Selection::Clear() {
    has_ = false;
    op_ = Op::kNone;
    rect_ = Rect{};
}

}  // namespace pt::capture
