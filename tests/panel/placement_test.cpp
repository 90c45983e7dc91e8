// The panel's start placement: sizes, centring, remembered values, the
// DPI reset and the clamp into the work area.
#include "panel/placement.h"

#include <gtest/gtest.h>

namespace pt {
namespace {

constexpr Rect kWork{0, 0, 1920, 1040};  // a 1080p screen, taskbar at the bottom

PanelPlacementInput Input(Size created = {810, 610}) {
    PanelPlacementInput in;
    in.work = kWork;
    in.created = created;
    in.minimum = {460, 590};
    return in;
}

TEST(PlacementTest, FirstStartIsCentredAtTheCreatedSize) {
    struct Case {
        const char* what;
        Size created;
        Rect expected;
    } cases[] = {
        {"100 %", {810, 610}, Rect::FromSize(555, 215, 810, 610)},
        {"150 %", {1215, 915}, Rect::FromSize(352, 62, 1215, 915)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlacePanel(Input(c.created)), c.expected) << c.what;
}

TEST(PlacementTest, CentresInAWorkAreaThatDoesNotStartAtTheOrigin) {
    PanelPlacementInput in = Input();
    in.work = Rect{0, 40, 1920, 1080};  // taskbar at the top
    EXPECT_EQ(PlacePanel(in), Rect::FromSize(555, 255, 810, 610));
    in.work = Rect{60, 0, 1920, 1080};  // taskbar on the left
    EXPECT_EQ(PlacePanel(in), Rect::FromSize(585, 235, 810, 610));
}

TEST(PlacementTest, RememberedValuesAndTheirClamps) {
    struct Case {
        const char* what;
        bool posRemember;
        Point pos;
        bool sizeRemember;
        Size size;
        Rect expected;
    } cases[] = {
        {"position kept", true, {100, 80}, false, {}, Rect::FromSize(100, 80, 810, 610)},
        {"size kept, centred", false, {}, true, {1000, 700}, Rect::FromSize(460, 170, 1000, 700)},
        {"both", true, {5, 6}, true, {900, 800}, Rect::FromSize(5, 6, 900, 800)},
        {"left of the screen (a removed monitor)",
         true,
         {-1500, 100},
         false,
         {},
         Rect::FromSize(0, 100, 810, 610)},
        {"right of the screen", true, {2500, 300}, false, {}, Rect::FromSize(1110, 300, 810, 610)},
        {"below the screen", true, {300, 1200}, false, {}, Rect::FromSize(300, 430, 810, 610)},
        {"above and right", true, {1800, -50}, false, {}, Rect::FromSize(1110, 0, 810, 610)},
        {"remembered off, stale position ignored",
         false,
         {-1500, 100},
         false,
         {},
         Rect::FromSize(555, 215, 810, 610)},
        {"size never stored reads 0 x 0",
         false,
         {},
         true,
         {0, 0},
         Rect::FromSize(555, 215, 810, 610)},
        {"size below the minimum",
         true,
         {10, 10},
         true,
         {100, 100},
         Rect::FromSize(10, 10, 460, 590)},
        {"larger than the work area: top-left stays visible",
         true,
         {300, 300},
         true,
         {2500, 1200},
         Rect::FromSize(0, 0, 2500, 1200)},
    };
    for (const Case& c : cases) {
        PanelPlacementInput in = Input();
        in.posRemember = c.posRemember;
        in.posLast = c.pos;
        in.sizeRemember = c.sizeRemember;
        in.sizeLast = c.size;
        EXPECT_EQ(PlacePanel(in), c.expected) << c.what;
    }
}

TEST(PlacementTest, DpiResetIgnoresWhatWasRemembered) {
    PanelPlacementInput in = Input({1215, 915});
    in.posRemember = true;
    in.posLast = {10, 10};
    in.sizeRemember = true;
    in.sizeLast = {600, 600};
    in.dpiReset = true;
    EXPECT_EQ(PlacePanel(in), Rect::FromSize(352, 62, 1215, 915));
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
