// The panel's start placement over a table of screens, scales and
// remembered values: the fit to the work area (size and minimum), the
// monitor that holds a remembered position, a screen that is gone, and the
// DPI reset.
#include "window/placement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace pt {
namespace {

MonitorArea Screen(Rect bounds, Rect work, bool primary = true) {
    return MonitorArea{bounds, work, primary};
}

// Taskbars at the bottom unless named otherwise.
const MonitorList kFullHd{Screen({0, 0, 1920, 1080}, {0, 0, 1920, 1040})};
const MonitorList kTaskbarTop{Screen({0, 0, 1920, 1080}, {0, 40, 1920, 1080})};
const MonitorList kTaskbarLeft{Screen({0, 0, 1920, 1080}, {60, 0, 1920, 1080})};
const MonitorList kLaptop{Screen({0, 0, 1366, 768}, {0, 0, 1366, 728})};
const MonitorList kWxga{Screen({0, 0, 1280, 800}, {0, 0, 1280, 760})};
const MonitorList kUhd{Screen({0, 0, 3840, 2160}, {0, 0, 3840, 2100})};
const MonitorList kTiny{Screen({0, 0, 800, 600}, {0, 0, 800, 560})};
// A second screen without a taskbar, right of or left of the primary one.
const MonitorList kTwoRight{kFullHd[0],
                            Screen({1920, 0, 3200, 1024}, {1920, 0, 3200, 1024}, false)};
const MonitorList kTwoLeft{Screen({-1280, 0, 0, 1024}, {-1280, 0, 0, 1024}, false), kFullHd[0]};

TEST(PlacementTest, FitsTheScreenAndOpensOnTheRememberedMonitor) {
    struct Case {
        const char* what;
        const MonitorList& screens;
        float scale;
        std::optional<Size> sizeLast;  // set: SizeRemember on
        std::optional<Point> posLast;  // set: PosRemember on
        bool dpiReset;
        Rect expected;
        Size wanted{};   // checked when set
        Size minimum{};  // checked when set
    } cases[] = {
        {"first start, 100 %", kFullHd, 1.0f, {}, {}, false, Rect::FromSize(555, 215, 810, 610)},
        {"first start, 150 %", kFullHd, 1.5f, {}, {}, false, Rect::FromSize(352, 62, 1215, 915)},
        {"first start, 200 % on 4K",
         kUhd,
         2.0f,
         {},
         {},
         false,
         Rect::FromSize(1110, 440, 1620, 1220)},
        {"taskbar at the top",
         kTaskbarTop,
         1.0f,
         {},
         {},
         false,
         Rect::FromSize(555, 255, 810, 610)},
        {"taskbar on the left",
         kTaskbarLeft,
         1.0f,
         {},
         {},
         false,
         Rect::FromSize(585, 235, 810, 610)},
        {"1280 x 800 at 150 %: height fitted",
         kWxga,
         1.5f,
         {},
         {},
         false,
         Rect::FromSize(32, 0, 1215, 760),
         {1215, 915}},
        {"1366 x 768 at 125 %: above the taskbar",
         kLaptop,
         1.25f,
         {},
         {},
         false,
         Rect::FromSize(176, 0, 1013, 728),
         {1013, 763},
         {460, 590}},
        {"1366 x 768 at 125 %: a larger remembered size stays wanted",
         kLaptop,
         1.25f,
         Size{1200, 900},
         {},
         false,
         Rect::FromSize(83, 0, 1200, 728),
         {1200, 900}},
        {"1366 x 768 at 125 %: position on a screen that is gone",
         kLaptop,
         1.25f,
         {},
         Point{1500, 100},
         false,
         Rect::FromSize(176, 0, 1013, 728)},
        {"800 x 600: the minimum shrinks to the screen",
         kTiny,
         1.0f,
         Size{100, 100},
         Point{10, 10},
         false,
         Rect::FromSize(10, 0, 460, 560),
         {460, 590},
         {460, 560}},
        {"remembered position kept",
         kFullHd,
         1.0f,
         {},
         Point{100, 80},
         false,
         Rect::FromSize(100, 80, 810, 610)},
        {"remembered size, centred",
         kFullHd,
         1.0f,
         Size{1000, 700},
         {},
         false,
         Rect::FromSize(460, 170, 1000, 700)},
        {"size below the minimum", kFullHd, 1.0f, Size{100, 100}, Point{10, 10}, false,
         Rect::FromSize(10, 10, 460, 590)},
        {"size never stored reads 0 x 0",
         kFullHd,
         1.0f,
         Size{0, 0},
         {},
         false,
         Rect::FromSize(555, 215, 810, 610)},
        {"overhanging the bottom: pulled up",
         kFullHd,
         1.0f,
         {},
         Point{300, 1000},
         false,
         Rect::FromSize(300, 430, 810, 610)},
        {"on the second screen",
         kTwoRight,
         1.0f,
         {},
         Point{2000, 100},
         false,
         Rect::FromSize(2000, 100, 810, 610)},
        {"overhanging the second screen: kept on it",
         kTwoRight,
         1.0f,
         {},
         Point{3000, 500},
         false,
         Rect::FromSize(2390, 414, 810, 610)},
        {"second screen left of the primary",
         kTwoLeft,
         1.0f,
         {},
         Point{-1000, 50},
         false,
         Rect::FromSize(-1000, 50, 810, 610)},
        {"beyond every screen: centred on the primary",
         kTwoRight,
         1.0f,
         {},
         Point{5000, 100},
         false,
         Rect::FromSize(555, 215, 810, 610)},
        {"DPI reset: created size on the primary",
         kTwoRight,
         1.5f,
         Size{600, 600},
         Point{2000, 100},
         true,
         Rect::FromSize(352, 62, 1215, 915),
         {1215, 915}},
    };
    for (const Case& c : cases) {
        PanelPlacementInput in;
        in.monitors = c.screens;
        in.created = Size{static_cast<int>(std::lround(810 * c.scale)),
                          static_cast<int>(std::lround(610 * c.scale))};
        in.minimum = {460, 590};
        in.sizeRemember = c.sizeLast.has_value();
        in.sizeLast = c.sizeLast.value_or(Size{});
        in.posRemember = c.posLast.has_value();
        in.posLast = c.posLast.value_or(Point{});
        in.dpiReset = c.dpiReset;
        const PanelPlacement placed = PlacePanel(in);
        EXPECT_EQ(placed.rect, c.expected) << c.what;
        if (c.wanted.width) {
            EXPECT_EQ(placed.wanted, c.wanted) << c.what;
        }
        if (c.minimum.width) {
            EXPECT_EQ(placed.minimum, c.minimum) << c.what;
        }
    }
}

TEST(PlacementTest, KeepInsideWorkAreaMovesButNeverResizes) {
    const Rect work{100, 50, 1100, 850};
    struct Case {
        Rect in;
        Rect out;
    } cases[] = {
        {Rect::FromSize(200, 100, 300, 200), Rect::FromSize(200, 100, 300, 200)},
        {Rect::FromSize(0, 0, 300, 200), Rect::FromSize(100, 50, 300, 200)},
        {Rect::FromSize(1000, 800, 300, 200), Rect::FromSize(800, 650, 300, 200)},
        {Rect::FromSize(500, 500, 1200, 900), Rect::FromSize(100, 50, 1200, 900)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeepInsideWorkArea(c.in, work), c.out);
}

}  // namespace
}  // namespace pt
