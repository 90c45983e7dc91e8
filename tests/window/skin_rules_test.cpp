// The skin frame's colour rules: the dark test on its boundary and the
// system button colours per state.
#include "window/skin_rules.h"

#include <gtest/gtest.h>

namespace pt {
namespace {

TEST(SkinRulesTest, DarkBoundaryIs192) {
    struct Case {
        Color color;
        bool dark;
    } cases[] = {
        {MakeColor(192, 192, 192), true},
        {MakeColor(193, 193, 193), false},
        // Exactly 192 in real arithmetic, a hair above it in doubles.
        {MakeColor(110, 226, 232), true},
        {MakeColor(111, 226, 232), false},
        {static_cast<Color>(-657931), false},  // the default skin, RGB 245,245,245
        {MakeColor(0, 0, 0), true},
        {MakeColor(255, 0, 0), true},          // 76.2
        {MakeColor(0, 255, 255), true},        // 149.7 + 29.1
        {MakeColor(193, 193, 193, 0), false},  // alpha plays no part
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsDarkColor(c.color), c.dark) << std::hex << static_cast<uint32_t>(c.color);
}

TEST(SkinRulesTest, SysButtonColoursPerState) {
    const Color grey = MakeColor(115, 115, 115);
    const Color blue = MakeColor(0, 136, 255);
    const Color darkBlue = MakeColor(2, 96, 200);
    struct Case {
        const char* button;
        bool dark;
        SysButtonColors expected;
    } cases[] = {
        {"skin", false, {grey, blue, darkBlue}},
        {"menu", false, {grey, blue, darkBlue}},
        {"mini", false, {grey, blue, darkBlue}},
        {"close", false, {grey, MakeColor(249, 120, 102), MakeColor(242, 82, 44)}},
        {"close",
         true,
         {MakeColor(255, 255, 255, 225), MakeColor(255, 255, 255), MakeColor(255, 255, 255, 200)}},
        {"skin",
         true,
         {MakeColor(255, 255, 255, 225), MakeColor(255, 255, 255), MakeColor(255, 255, 255, 200)}},
    };
    for (const Case& c : cases) {
        const SysButtonColors got = SysButtonIconColors(c.button, c.dark);
        EXPECT_EQ(got.normal, c.expected.normal) << c.button << c.dark;
        EXPECT_EQ(got.hover, c.expected.hover) << c.button << c.dark;
        EXPECT_EQ(got.pressed, c.expected.pressed) << c.button << c.dark;
    }
    EXPECT_TRUE(SysButtonTurnsOnHover("menu"));
    EXPECT_FALSE(SysButtonTurnsOnHover("close"));
}

TEST(SkinRulesTest, MacDotsAndTitle) {
    EXPECT_EQ(MacDotColor("skin"), MakeColor(0, 151, 151));
    EXPECT_EQ(MacDotColor("menu"), MakeColor(236, 170, 43));
    EXPECT_EQ(MacDotColor("mini"), MakeColor(44, 205, 69));
    EXPECT_EQ(MacDotColor("close"), MakeColor(250, 86, 98));
    EXPECT_EQ(TitleColor(false), MakeColor(60, 60, 60));
    EXPECT_EQ(TitleColor(true), MakeColor(255, 255, 255));
}

}  // namespace
}  // namespace pt
