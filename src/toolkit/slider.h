// A horizontal slider bar: a track with a thumb that the mouse drags or a
// click on the track moves. Its behaviour lives in SliderLogic; this element
// maps it to the mouse, to kSliderChange events and to painting. Setting the
// position from code fires no event, so a change handler may move the thumb
// (to snap it) without feeding itself.
#pragma once

#include <memory>

#include "toolkit/element.h"
#include "toolkit/slider_logic.h"

namespace pt {

class Slider : public Element {
  public:
    Slider();

    void SetRange(int minimum, int maximum);
    int Minimum() const { return logic_.Minimum(); }
    int Maximum() const { return logic_.Maximum(); }
    void SetPosition(int position);
    int Position() const { return logic_.Position(); }
    void SetThumbSize(int width, int height);
    Size ThumbSize() const { return thumbSize_; }
    // Thumb images per state (kNormal, kHover, kPressed); a missing one falls
    // back as a button's does. Without images a round thumb is drawn.
    void SetThumbImage(VisualState state, std::shared_ptr<Image> image);
    void SetTrackColors(Color track, Color filled);
    void SetTrackThickness(int pixels) { trackThickness_ = std::max(pixels, 1); }

    // The thumb's rectangle in window coordinates.
    Rect ThumbRect() const;
    VisualState ThumbState() const;
    const SliderLogic& Logic() const { return logic_; }

    void SetEnabled(bool on) override;
    bool IsInteractive() const override { return true; }
    void OnHover(bool on) override;
    bool OnPress() override;
    void OnRelease(bool inside) override;
    void OnCaptureLost() override;
    Size ContentSize() const override;
    void PaintContent(Canvas& canvas, const Rect& box) override;

  private:
    void SyncGeometry();
    void Changed();
    int AxisX(int elementX) const;

    SliderLogic logic_;
    Size thumbSize_{16, 16};
    std::shared_ptr<Image> images_[3];
    Color trackColor_ = MakeColor(222, 222, 222);
    Color filledColor_ = MakeColor(0, 136, 255);
    int trackThickness_ = 4;
    int lastX_ = 0;  // the last mouse x along the bar, element coordinates
};

}  // namespace pt
