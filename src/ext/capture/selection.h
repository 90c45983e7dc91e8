// The capture overlay's rectangle: dragged out, then moved by its inside or
// resized by its edges and corners until the user confirms. Pure input logic
// in the overlay's client coordinates; the window only feeds it mouse points
// and paints what it holds.
#pragma once

namespace pt::capture {

struct Point {
    int x = 0;
    int y = 0;
};

// Right and bottom are exclusive: a rectangle dragged from (10, 10) to
// (30, 20) is 20 x 10 pixels.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
};

// Where a point lies relative to the selection; the edge zones reach
// kGrip pixels either side of the line.
enum class Zone {
    kOutside,
    kInside,
    kLeft,
    kTop,
    kRight,
    kBottom,
    kTopLeft,
    kTopRight,
    kBottomLeft,
    kBottomRight,
};

class Selection {
  public:
    static constexpr int kGrip = 5;

    // `bounds`: the screen the rectangle must stay on.
    explicit Selection(Rect bounds) : bounds_(bounds) {}

    bool Has() const { return has_; }
    Rect Current() const { return rect_; }
    bool Dragging() const { return op_ != Op::kNone; }
    Zone HitTest(Point p) const;

    // A press inside or on the edge of the selection moves or resizes it;
    // anywhere else starts a new one.
    void Press(Point p);
    void Drag(Point p);
    // Ends the drag; a rectangle without area is dropped.
    void Release(Point p);
    // Moves the selection by (dx, dy) as far as the screen allows (the
    // arrow keys); nothing while a drag runs.
    void Nudge(int dx, int dy);
    void Clear();

  private:
    enum class Op { kNone, kCreate, kMove, kResize };
    Point Clamp(Point p) const;

    Rect bounds_;
    Rect rect_;
    bool has_ = false;
    Op op_ = Op::kNone;
    Zone zone_ = Zone::kOutside;
    Point anchor_;  // the press
    Rect atPress_;  // the rectangle when the press came
};

}  // namespace pt::capture
