// Slider arithmetic: positions to thumb offsets and back, and dragging.
#include "toolkit/slider_logic.h"

#include <algorithm>
#include <cmath>

namespace pt {

void SliderLogic::SetRange(int minimum, int maximum) {
    min_ = std::min(minimum, maximum);
    max_ = std::max(minimum, maximum);
    pos_ = std::clamp(pos_, min_, max_);
}

bool SliderLogic::SetPosition(int position) {
    const int p = std::clamp(position, min_, max_);
    const bool changed = p != pos_;
    pos_ = p;
    return changed;
}

void SliderLogic::SetGeometry(int trackLength, int thumbLength) {
    track_ = std::max(trackLength, 0);
    thumb_ = std::clamp(thumbLength, 0, track_);
}

int SliderLogic::Travel() const {
    return std::max(track_ - thumb_, 0);
}

int SliderLogic::ThumbOffset() const {
    if (max_ == min_)
        return 0;
    // 64-bit: a wide range times a long track must not overflow.
    const long long span = static_cast<long long>(max_) - min_;
    const long long done = static_cast<long long>(pos_) - min_;
    return static_cast<int>(std::llround(static_cast<double>(done) * Travel() / span));
}

bool SliderLogic::OnThumb(int x) const {
    const int start = ThumbOffset();
    return x >= start && x < start + std::max(thumb_, 1);
}

int SliderLogic::PositionForStart(double start) const {
    const int travel = Travel();
    if (travel == 0 || max_ == min_)
        return min_;
    const double along = std::clamp(start, 0.0, static_cast<double>(travel));
    const long long span = static_cast<long long>(max_) - min_;
    return static_cast<int>(min_ + std::llround(along * span / travel));
}

int SliderLogic::PositionAt(int x) const {
    return PositionForStart(x - thumb_ / 2.0);
}

bool SliderLogic::Press(int x) {
    dragging_ = true;
    if (OnThumb(x)) {
        grab_ = x - ThumbOffset();
        return false;
    }
    // A press on the track brings the thumb's centre under the mouse.
    const bool changed = SetPosition(PositionAt(x));
    grab_ = x - ThumbOffset();
    return changed;
}

bool SliderLogic::Drag(int x) {
    if (!dragging_)
        return false;
    return SetPosition(PositionForStart(x - grab_));
}

void SliderLogic::Release() {
    dragging_ = false;
}

}  // namespace pt
