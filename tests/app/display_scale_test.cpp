// The scale factor and font-size rules, with the screen described by numbers.
#include "app/display_scale.h"

#include <gtest/gtest.h>

namespace pt {
namespace {

int NeverAsked() {
    ADD_FAILURE() << "the applied DPI is only read when both ratios disagree";
    return 96;
}

TEST(DisplayScaleTest, LogicalDpiDecidesWhenTheScreenIsNotStretched) {
    const float s = MeasureScale({1920, 1920, 144}, NeverAsked);
    EXPECT_FLOAT_EQ(s, 1.5f);
    EXPECT_EQ(Scaled(810, ScaleFactor(false, s)), 1215);
    EXPECT_EQ(Scaled(610, ScaleFactor(false, s)), 915);
    EXPECT_FLOAT_EQ(MeasureScale({1280, 1280, 96}, NeverAsked), 1.0f);
}

TEST(DisplayScaleTest, StretchedScreenUsesTheResolutionRatio) {
    // A program the system stretches sees 96 DPI and a smaller width.
    EXPECT_FLOAT_EQ(MeasureScale({2560, 1280, 96}, NeverAsked), 2.0f);
    EXPECT_FLOAT_EQ(MeasureScale({1920, 1280, 144}, NeverAsked), 1.5f);  // both agree
}

TEST(DisplayScaleTest, DisagreementFallsBackToTheAppliedDpi) {
    EXPECT_FLOAT_EQ(MeasureScale({2560, 1280, 120}, [] { return 168; }), 1.75f);
    // Absent value: the reader answers 96.
    EXPECT_FLOAT_EQ(MeasureScale({2560, 1280, 120}, [] { return 96; }), 1.0f);
    EXPECT_FLOAT_EQ(MeasureScale({2560, 1280, 120}, [] { return 0; }), 1.0f);
}

TEST(DisplayScaleTest, BrokenDeviceCapsDoNotDivideByZero) {
    EXPECT_FLOAT_EQ(MeasureScale({0, 0, 0}, NeverAsked), 1.0f);
    EXPECT_FLOAT_EQ(MeasureScale({1920, 0, 120}, NeverAsked), 1.25f);
}

TEST(DisplayScaleTest, DpiAwareKeepsOneAndShrinksFonts) {
    EXPECT_FLOAT_EQ(ScaleFactor(true, 1.5f), 1.0f);
    EXPECT_EQ(AdjustFontSize(9, true, 1.5f), 6);
    EXPECT_EQ(AdjustFontSize(10, true, 1.5f), 7);
    EXPECT_EQ(AdjustFontSize(9, false, 1.5f), 9);
    EXPECT_EQ(Scaled(5, 1.25f), 6);  // 6.25 rounds down, .5 rounds away from zero
    EXPECT_EQ(Scaled(2, 1.25f), 3);
}

}  // namespace
}  // namespace pt
