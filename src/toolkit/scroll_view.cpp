// The scroll view: a floating content box moved up by the offset.
#include "toolkit/scroll_view.h"

#include "toolkit/dpi.h"
#include "toolkit/scroll_bar.h"

namespace pt {

ScrollView::ScrollView() {
    SetName("scrollview");
    content_ = Add<Element>();
    content_->SetName("scrollview.content");
    content_->SetFloating(true);
    content_->SetWidth(SizeSpec::Fill());
    bar_ = Add<ScrollBar>();  // after the content: drawn over it, hit first
    bar_->SetOnScroll([this](int offset) { SetScrollY(offset); });
}

int ScrollView::MaxScrollY() const {
    return MaxScroll(contentHeight_, WindowRect().Height());
}

void ScrollView::LayoutChildren() {
    const Rect r = WindowRect();
    // The content's height was set here last time; measure what it needs now.
    content_->SetHeight(SizeSpec::Auto());
    contentHeight_ = content_->ContentSize().height;
    scroll_ = ClampScroll(scroll_, contentHeight_, r.Height());
    content_->SetPosition(0, -scroll_);
    content_->SetHeight(SizeSpec::Fixed(std::max(contentHeight_, r.Height())));
    const int width = Dpi(6);
    const int margin = Dpi(2);
    bar_->SetPosition(r.Width() - width - margin, margin);
    bar_->SetFixedSize(width, std::max(r.Height() - 2 * margin, 0));
    bar_->SetRange(contentHeight_, r.Height());
    bar_->SetScrollPos(scroll_);
    Element::LayoutChildren();
}

void ScrollView::SetScrollY(int offset) {
    const int clamped = ClampScroll(offset, contentHeight_, WindowRect().Height());
    if (clamped == scroll_)
        return;
    scroll_ = clamped;
    LayoutChildren();
    Redraw();
}

void ScrollView::ScrollIntoView(const Element& element) {
    const Rect view = WindowRect();
    const Rect e = element.WindowRect();
    if (e.top < view.top) {
        SetScrollY(scroll_ - (view.top - e.top));
    } else if (e.bottom > view.bottom) {
        SetScrollY(scroll_ + std::min(e.bottom - view.bottom, e.top - view.top));
    }
}

bool ScrollView::DefaultAction(const ElementEventArgs& args) {
    if (args.event != ElementEvent::kMouseWheel)
        return false;
    const int delta = GET_WHEEL_DELTA_WPARAM(args.wParam);
    const int step = wheelStep_ > 0 ? wheelStep_ : Dpi(48);
    const int before = scroll_;
    SetScrollY(scroll_ - delta * step / WHEEL_DELTA);
    return scroll_ != before;  // at an end the wheel goes on to a scrolling parent
}

}  // namespace pt
