// The capture rectangle: dragged in any direction, moved and resized by
// its edges, kept on the screen.
#include "ext/capture/selection.h"

#include <gtest/gtest.h>

namespace pt::capture {
namespace {

void DragFromTo(Selection& s, Point from, Point to) {
    s.Press(from);
    s.Drag(Point{(from.x + to.x) / 2, (from.y + to.y) / 2});
    s.Release(to);
}

bool Equal(Rect a, Rect b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(CaptureSelectionTest, DragMakesTheRectangleInAnyDirectionAndAClickMakesNone) {
    Selection s(Rect{0, 0, 800, 600});
    DragFromTo(s, {300, 250}, {100, 100});
    ASSERT_TRUE(s.Has());
    EXPECT_TRUE(Equal(s.Current(), Rect{100, 100, 300, 250}));
    EXPECT_EQ(s.Current().Width(), 200);
    // Past the screen's edge the rectangle stops at it.
    DragFromTo(s, {700, 500}, {900, 700});
    EXPECT_TRUE(Equal(s.Current(), Rect{700, 500, 800, 600}));
    // A click outside without a drag leaves no selection behind.
    s.Press({10, 10});
    s.Release({10, 10});
    EXPECT_FALSE(s.Has());
}

TEST(CaptureSelectionTest, InsideMovesEdgesResizeAndAnEdgeMayCrossOver) {
    Selection s(Rect{0, 0, 800, 600});
    DragFromTo(s, {100, 100}, {300, 250});
    EXPECT_EQ(s.HitTest({200, 180}), Zone::kInside);
    EXPECT_EQ(s.HitTest({100, 100}), Zone::kTopLeft);
    EXPECT_EQ(s.HitTest({301, 180}), Zone::kRight);
    EXPECT_EQ(s.HitTest({400, 400}), Zone::kOutside);

    DragFromTo(s, {200, 180}, {250, 200});  // moved by (50, 20)
    EXPECT_TRUE(Equal(s.Current(), Rect{150, 120, 350, 270}));
    s.Nudge(-1, 10);  // the arrow keys
    EXPECT_TRUE(Equal(s.Current(), Rect{149, 130, 349, 280}));
    DragFromTo(s, {200, 180}, {900, 900});  // moved as far as the screen allows
    EXPECT_TRUE(Equal(s.Current(), Rect{600, 450, 800, 600}));
    s.Nudge(10, 10);
    EXPECT_TRUE(Equal(s.Current(), Rect{600, 450, 800, 600}));

    DragFromTo(s, {600, 500}, {650, 500});  // the left edge, dragged right
    EXPECT_TRUE(Equal(s.Current(), Rect{650, 450, 800, 600}));
    DragFromTo(s, {650, 500}, {500, 500});  // ... and back out past where it started
    EXPECT_TRUE(Equal(s.Current(), Rect{500, 450, 800, 600}));
    DragFromTo(s, {800, 600}, {400, 400});  // the bottom-right corner over the top-left
    EXPECT_TRUE(Equal(s.Current(), Rect{400, 400, 500, 450}));
}

}  // namespace
}  // namespace pt::capture
