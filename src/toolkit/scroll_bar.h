// The thin vertical scroll bar of the list view and the scroll view: a
// rounded thumb on a faint track, dragged with the mouse, with a press on
// the track paging towards it. It hides itself while there is nothing to
// scroll. Its owner places it (floating, over its own right edge), tells it
// the range and hears from it through a callback when the user moves it.
#pragma once

#include <functional>

#include "toolkit/element.h"
#include "toolkit/scroll_logic.h"

namespace pt {

class ScrollBar : public Element {
  public:
    ScrollBar();

    // `content` pixels seen through `view` pixels; the position is clamped.
    void SetRange(int content, int view);
    // Moves the thumb without telling the owner.
    void SetScrollPos(int offset);
    int ScrollPos() const { return pos_; }
    int MaxScrollPos() const { return MaxScroll(content_, view_); }
    // Called with the new offset whenever the user moves the bar.
    void SetOnScroll(std::function<void(int)> onScroll) { onScroll_ = std::move(onScroll); }
    bool Dragging() const { return dragging_; }
    // The thumb in window coordinates (empty when hidden).
    Rect ThumbRect() const;

    bool IsInteractive() const override { return true; }
    void OnHover(bool on) override;
    bool OnPress() override { return IsShown(); }
    void OnRelease(bool) override;
    void OnCaptureLost() override;
    void PaintContent(Canvas& canvas, const Rect& box) override;

  protected:
    bool DefaultAction(const ElementEventArgs& args) override;

  private:
    int MinThumb() const;
    void MoveTo(int offset);

    int content_ = 0;
    int view_ = 0;
    int pos_ = 0;
    bool hover_ = false;
    bool dragging_ = false;
    int grab_ = 0;  // where on the thumb the drag took hold
    std::function<void(int)> onScroll_;
};

}  // namespace pt
