// Which monitor a moved or secondary window belongs to, and how a window is
// fitted and centred on it.
#include "toolkit/screen_areas.h"

#include <gtest/gtest.h>

namespace pt {
namespace {

const MonitorArea kPrimary{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true};
const MonitorArea kSecond{{1920, 0, 3200, 1024}, {1920, 0, 3200, 1024}, false};
const MonitorList kTwo{kSecond, kPrimary};  // the primary need not come first

TEST(ScreenAreasTest, AMovedWindowBelongsToTheMonitorUnderItsCentre) {
    struct Case {
        const char* what;
        Rect window;
        Rect work;
    } cases[] = {
        {"inside the primary", Rect::FromSize(100, 100, 800, 600), kPrimary.work},
        {"straddling, centre on the second", Rect::FromSize(1700, 100, 800, 600), kSecond.work},
        {"straddling, centre on the primary", Rect::FromSize(1500, 100, 800, 600), kPrimary.work},
        {"below the second, on no monitor", Rect::FromSize(2500, 1500, 400, 300), kSecond.work},
        {"far left of everything", Rect::FromSize(-3000, 100, 400, 300), kPrimary.work},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WorkAreaUnder(kTwo, c.window), c.work) << c.what;
    EXPECT_EQ(PrimaryWorkArea(kTwo), kPrimary.work);
    EXPECT_EQ(MonitorHolding(kTwo, {3300, 10}), nullptr);
    EXPECT_EQ(WorkAreaUnder({}, Rect::FromSize(0, 0, 10, 10)), Rect{});
}

TEST(ScreenAreasTest, SecondaryWindowsAreFittedAndCentredInsideTheWorkArea) {
    struct Case {
        const char* what;
        Size size;
        Rect over;
        Rect work;
        Rect expected;
    } cases[] = {
        {"over its owner",
         {450, 180},
         Rect::FromSize(555, 215, 810, 610),
         kPrimary.work,
         Rect::FromSize(735, 430, 450, 180)},
        {"owner at the bottom edge",
         {450, 180},
         Rect::FromSize(0, 900, 400, 140),
         kPrimary.work,
         Rect::FromSize(0, 860, 450, 180)},
        {"owner on the second screen",
         {450, 180},
         Rect::FromSize(2000, 100, 810, 610),
         kSecond.work,
         Rect::FromSize(2180, 315, 450, 180)},
        {"taller than the screen",
         {450, 1500},
         kPrimary.work,
         kPrimary.work,
         Rect::FromSize(735, 0, 450, 1040)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CentredInside(c.size, c.over, c.work), c.expected) << c.what;
}

}  // namespace
}  // namespace pt
