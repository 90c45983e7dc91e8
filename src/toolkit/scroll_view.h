// A vertical scrolling container (the settings pages): the program fills
// Content() like any vertical box; when it is taller than the view, the
// wheel (anywhere over it, unless an inner list scrolls first) and a thin
// scroll bar move it. Children outside the view are clipped and cannot be
// hit.
#pragma once

#include "toolkit/element.h"

namespace pt {

class ScrollBar;

class ScrollView : public Element {
  public:
    ScrollView();

    // The scrolled box. Its height is the scroll view's to set (what its
    // children need, at least the view's height); its width is the view's.
    Element& Content() { return *content_; }
    int ScrollY() const { return scroll_; }
    int MaxScrollY() const;
    int ContentHeight() const { return contentHeight_; }
    void SetScrollY(int offset);
    // Scrolls as little as needed to show the element (a descendant).
    void ScrollIntoView(const Element& element);
    void SetWheelStep(int pixels) { wheelStep_ = pixels; }
    ScrollBar* Bar() const { return bar_; }

    void LayoutChildren() override;

  protected:
    bool DefaultAction(const ElementEventArgs& args) override;

  private:
    Element* content_ = nullptr;
    ScrollBar* bar_ = nullptr;
    int scroll_ = 0;
    int contentHeight_ = 0;
    int wheelStep_ = 0;
};

}  // namespace pt
