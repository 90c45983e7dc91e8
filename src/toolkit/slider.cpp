// The slider element: mouse to SliderLogic, changes to events, painting.
#include "toolkit/slider.h"

#include "toolkit/toolkit.h"

namespace pt {

Slider::Slider() {
    SetName("slider");
    SetCursor(IDC_HAND);
    // The press point and the drag come through the element's own events:
    // the window tells OnPress only that a press happened.
    On(ElementEvent::kLButtonDown, [](Element& e, const ElementEventArgs& a, bool&) {
        static_cast<Slider&>(e).lastX_ = a.point.x;
    });
    On(ElementEvent::kMouseMove, [](Element& e, const ElementEventArgs& a, bool&) {
        auto& self = static_cast<Slider&>(e);
        self.lastX_ = a.point.x;
        self.SyncGeometry();
        if (self.logic_.Dragging()) {
            if (self.logic_.Drag(self.AxisX(a.point.x)))
                self.Changed();
            return;
        }
        const bool before = self.logic_.ThumbHover();
        if (self.IsEnabled())
            self.logic_.Hover(self.AxisX(a.point.x));
        if (self.logic_.ThumbHover() != before)
            self.Redraw();
    });
}

void Slider::SetRange(int minimum, int maximum) {
    logic_.SetRange(minimum, maximum);
    Redraw();
}

void Slider::SetPosition(int position) {
    if (logic_.SetPosition(position))
        Redraw();
}

void Slider::SetThumbSize(int width, int height) {
    thumbSize_ = Size{std::max(width, 1), std::max(height, 1)};
    Redraw();
}

void Slider::SetThumbImage(VisualState state, std::shared_ptr<Image> image) {
    const int i = static_cast<int>(state);
    if (i >= 0 && i < 3)
        images_[i] = std::move(image);
}

void Slider::SetTrackColors(Color track, Color filled) {
    trackColor_ = track;
    filledColor_ = filled;
    Redraw();
}

int Slider::AxisX(int elementX) const {
    return elementX;
}

void Slider::SyncGeometry() {
    logic_.SetGeometry(WindowRect().Width(), thumbSize_.width);
}

void Slider::Changed() {
    Redraw();
    DispatchScope scope;
    ElementEventArgs a;
    a.event = ElementEvent::kSliderChange;
    a.wParam = static_cast<WPARAM>(logic_.Position());
    Fire(a);
}

Rect Slider::ThumbRect() const {
    SliderLogic l = logic_;
    const Rect r = WindowRect();
    l.SetGeometry(r.Width(), thumbSize_.width);
    const int top = r.top + (r.Height() - thumbSize_.height) / 2;
    return Rect::FromSize(r.left + l.ThumbOffset(), top, l.ThumbLength(), thumbSize_.height);
}

VisualState Slider::ThumbState() const {
    if (!IsEnabled())
        return VisualState::kDisabled;
    if (logic_.Dragging())
        return VisualState::kPressed;
    return logic_.ThumbHover() ? VisualState::kHover : VisualState::kNormal;
}

void Slider::SetEnabled(bool on) {
    Element::SetEnabled(on);
    if (!on) {
        logic_.Release();
        logic_.Leave();
    }
    Redraw();
}

void Slider::OnHover(bool on) {
    if (!on && !logic_.Dragging()) {
        logic_.Leave();
        Redraw();
    }
}

bool Slider::OnPress() {
    if (!IsEnabled())
        return false;
    SyncGeometry();
    if (logic_.Press(AxisX(lastX_)))
        Changed();
    // A change handler may have taken the slider away: no capture then.
    if (IsDestroyed() || !IsEnabled())
        return false;
    Redraw();
    return true;
}

void Slider::OnRelease(bool inside) {
    logic_.Release();
    if (inside) {
        logic_.Hover(AxisX(lastX_));
    } else {
        logic_.Leave();
    }
    Redraw();
}

void Slider::OnCaptureLost() {
    logic_.Release();
    logic_.Leave();
    Redraw();
}

Size Slider::ContentSize() const {
    const Insets p = Padding();
    return Size{100 + p.left + p.right,
                std::max(thumbSize_.height, trackThickness_) + p.top + p.bottom};
}

void Slider::PaintContent(Canvas& canvas, const Rect& box) {
    const Rect thumb = ThumbRect();
    const int half = thumbSize_.width / 2;
    const int midY = (box.top + box.bottom) / 2;
    const int t = trackThickness_;
    const Rect track{box.left + half, midY - t / 2, box.right - half, midY - t / 2 + t};
    const bool enabled = IsEnabled();
    canvas.FillRoundRect(track, t / 2, trackColor_);
    const int centre = (thumb.left + thumb.right) / 2;
    if (centre > track.left) {
        canvas.FillRoundRect(Rect{track.left, track.top, centre, track.bottom}, t / 2,
                             enabled ? filledColor_ : MakeColor(190, 190, 190));
    }
    const VisualState state = ThumbState();
    const Image* image = nullptr;
    if (state == VisualState::kPressed)
        image = images_[2] ? images_[2].get() : images_[1].get();
    else if (state == VisualState::kHover)
        image = images_[1].get();
    if (!image)
        image = images_[0].get();
    if (image) {
        canvas.DrawImage(*image, thumb);
        return;
    }
    // The default thumb: a ring in the bar's colour around a light centre.
    const Color fill = state == VisualState::kPressed ? MakeColor(225, 238, 252)
                       : state == VisualState::kHover ? MakeColor(242, 248, 255)
                                                      : MakeColor(255, 255, 255);
    const Rect ring = thumb.Inset(Insets{1, 1, 1, 1});
    canvas.FillEllipse(ring, enabled ? filledColor_ : MakeColor(190, 190, 190));
    canvas.FillEllipse(ring.Inset(Insets{2, 2, 2, 2}), fill);
}

}  // namespace pt
