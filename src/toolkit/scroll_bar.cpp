// The thin scroll bar: thumb dragging, track paging, painting.
#include "toolkit/scroll_bar.h"

#include "toolkit/dpi.h"

namespace pt {

ScrollBar::ScrollBar() {
    SetName("scrollbar");
    SetFloating(true);
    SetVisible(false);
}

int ScrollBar::MinThumb() const {
    return Dpi(24);
}

void ScrollBar::SetRange(int content, int view) {
    content_ = std::max(content, 0);
    view_ = std::max(view, 0);
    pos_ = ClampScroll(pos_, content_, view_);
    const bool show = MaxScrollPos() > 0;
    if (!show)
        dragging_ = false;
    SetVisible(show);
    Redraw();
}

void ScrollBar::SetScrollPos(int offset) {
    const int clamped = ClampScroll(offset, content_, view_);
    if (clamped == pos_)
        return;
    pos_ = clamped;
    Redraw();
}

void ScrollBar::MoveTo(int offset) {
    const int clamped = ClampScroll(offset, content_, view_);
    if (clamped == pos_)
        return;
    pos_ = clamped;
    Redraw();
    if (onScroll_)
        onScroll_(pos_);
}

Rect ScrollBar::ThumbRect() const {
    if (!IsVisible())
        return {};
    const Rect r = WindowRect();
    const ThumbSpan t = ThumbFor(r.Height(), content_, view_, pos_, MinThumb());
    if (t.length == 0)
        return {};
    return Rect{r.left, r.top + t.offset, r.right, r.top + t.offset + t.length};
}

bool ScrollBar::DefaultAction(const ElementEventArgs& args) {
    const int track = WindowRect().Height();
    switch (args.event) {
        case ElementEvent::kLButtonDown: {
            const ThumbSpan t = ThumbFor(track, content_, view_, pos_, MinThumb());
            if (t.length == 0)
                return false;
            const int y = args.point.y;
            if (y >= t.offset && y < t.offset + t.length) {
                dragging_ = true;
                grab_ = y - t.offset;
            } else {
                // A press on the track pages towards it.
                MoveTo(y < t.offset ? pos_ - view_ : pos_ + view_);
            }
            Redraw();
            return false;  // the window captures the mouse for the drag
        }
        case ElementEvent::kMouseMove:
            if (!dragging_ || !(args.wParam & MK_LBUTTON))
                return false;
            MoveTo(ScrollForThumb(args.point.y - grab_, track, content_, view_, MinThumb()));
            return true;
        case ElementEvent::kLButtonUp:
            dragging_ = false;
            Redraw();
            return false;
        default:
            return false;
    }
}

void ScrollBar::OnHover(bool on) {
    hover_ = on;
    Redraw();
}

void ScrollBar::OnRelease(bool) {
    dragging_ = false;
    Redraw();
}

void ScrollBar::OnCaptureLost() {
    dragging_ = false;
    Redraw();
}

void ScrollBar::PaintContent(Canvas& canvas, const Rect& box) {
    const int radius = box.Width() / 2;
    canvas.FillRoundRect(box, radius, MakeColor(0, 0, 0, hover_ || dragging_ ? 18 : 8));
    const Rect thumb = ThumbRect();
    if (!thumb.IsEmpty()) {
        canvas.FillRoundRect(thumb, radius, MakeColor(0, 0, 0, dragging_ ? 120 : hover_ ? 95 : 60));
    }
}

}  // namespace pt
