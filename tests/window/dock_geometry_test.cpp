// Snap and slide positions of the docked panel at each edge and corner.
#include <gtest/gtest.h>

#include "window/dock_geometry.h"

namespace pt {
namespace {

const Rect kWork{0, 0, 1280, 760};
constexpr int kW = 810;
constexpr int kH = 610;

Rect At(int x, int y) {
    return Rect::FromSize(x, y, kW, kH);
}

TEST(DockGeometryTest, SnapPullsInsideAndOnlyLeftTopRightPark) {
    // Half off the left edge: exactly on it, and parked.
    EXPECT_EQ(SnapIntoWorkArea(At(-400, 50), kWork), At(0, 50));
    EXPECT_TRUE(IsAtDockEdge(At(0, 50), kWork));
    EXPECT_EQ(SnapIntoWorkArea(At(100, -30), kWork), At(100, 0));
    EXPECT_TRUE(IsAtDockEdge(At(100, 0), kWork));
    EXPECT_EQ(SnapIntoWorkArea(At(900, 60), kWork), At(1280 - kW, 60));
    EXPECT_TRUE(IsAtDockEdge(At(1280 - kW, 60), kWork));
    // Below the work area: pulled up to the bottom edge, which never parks.
    const Rect bottom = SnapIntoWorkArea(At(100, 500), kWork);
    EXPECT_EQ(bottom, At(100, 760 - kH));
    EXPECT_FALSE(IsAtDockEdge(bottom, kWork));
    // In the middle nothing moves and nothing parks.
    EXPECT_EQ(SnapIntoWorkArea(At(100, 60), kWork), At(100, 60));
    EXPECT_FALSE(IsAtDockEdge(At(100, 60), kWork));
    // A work area that does not start at 0 (a taskbar on the left).
    const Rect shifted{40, 0, 1280, 760};
    EXPECT_EQ(SnapIntoWorkArea(At(20, 50), shifted), At(40, 50));
    EXPECT_TRUE(IsAtDockEdge(At(40, 50), shifted));
}

TEST(DockGeometryTest, StepsFollowTheSpeedLevel) {
    EXPECT_EQ(DockSlideSteps(25), 10);
    EXPECT_EQ(DockSlideSteps(30), 5);
    EXPECT_EQ(DockSlideSteps(5), 30);
    EXPECT_EQ(DockSlideSteps(99), 5);  // clamped as read
    EXPECT_EQ(DockSlidePath(At(0, 50), kWork, 10, false).size(), 10u);
}

TEST(DockGeometryTest, LeftEdgeSlidesToTheStripAndBack) {
    const std::vector<Point> in = DockSlidePath(At(0, 50), kWork, 10, false);
    ASSERT_EQ(in.size(), 10u);
    // The first step already passes the 1-pixel test that every later step
    // re-reads, and the panel never turns back on its way to the strip.
    EXPECT_LT(in.front().x, -kW / 4);
    for (size_t i = 1; i < in.size(); ++i)
        EXPECT_LE(in[i].x, in[i - 1].x);
    EXPECT_EQ(in.back(), (Point{kDockStrip - kW, 50}));
    EXPECT_EQ(DockParkedPosition(At(0, 50), kWork), in.back());

    const std::vector<Point> out = DockSlidePath(At(in.back().x, in.back().y), kWork, 10, true);
    EXPECT_GT(out.front().x, in.back().x + kW / 4);
    for (size_t i = 1; i < out.size(); ++i)
        EXPECT_GE(out[i].x, out[i - 1].x);
    EXPECT_EQ(out.back(), (Point{0, 50}));
}

TEST(DockGeometryTest, TopAndRightEdgesAndTheTopRightCorner) {
    EXPECT_EQ(DockSlidePath(At(100, 0), kWork, 10, false).back(), (Point{100, kDockStrip - kH}));
    EXPECT_EQ(DockSlidePath(At(100, kDockStrip - kH), kWork, 10, true).back(), (Point{100, 0}));
    EXPECT_EQ(DockSlidePath(At(1280 - kW, 60), kWork, 10, false).back(),
              (Point{1280 - kDockStrip, 60}));
    EXPECT_EQ(DockSlidePath(At(1280 - kDockStrip, 60), kWork, 10, true).back(),
              (Point{1280 - kW, 60}));

    // The corner: left moves right and top moves up in the same steps.
    const std::vector<Point> in = DockSlidePath(At(1280 - kW, 0), kWork, 5, false);
    EXPECT_GT(in.front().x, 1280 - kW);
    EXPECT_LT(in.front().y, 0);
    Point last{1280 - kW, 0};
    for (const Point& p : in) {
        EXPECT_GE(p.x, last.x);
        EXPECT_LE(p.y, last.y);
        last = p;
    }
    EXPECT_EQ(last, (Point{1280 - kDockStrip, kDockStrip - kH}));
    const std::vector<Point> out = DockSlidePath(At(last.x, last.y), kWork, 5, true);
    EXPECT_EQ(out.back(), (Point{1280 - kW, 0}));
}

TEST(DockGeometryTest, TheStripCountsItsBorders) {
    const Rect parked = At(kDockStrip - kW, 50);
    EXPECT_TRUE(ContainsInclusive(parked, Point{0, 60}));
    EXPECT_TRUE(ContainsInclusive(parked, Point{kDockStrip, 50 + kH}));
    EXPECT_FALSE(ContainsInclusive(parked, Point{kDockStrip + 1, 60}));
}

}  // namespace
}  // namespace pt
