// The settings window's rules without a window: tab requests, the speed
// slider's snapping, hotkey text from key presses, the conflict notice's
// slide and the skin table.
#include "dialogs/settings_rules.h"

#include <gtest/gtest.h>

#include <set>

#include "dialogs/skin_table.h"

namespace pt {
namespace {

TEST(SettingsRulesTest, OpenRequestsPickTheirTab) {
    EXPECT_EQ(InitialSettingsTab(0), kPageAbout);
    EXPECT_EQ(InitialSettingsTab(4), kPageHotkeys);
    EXPECT_EQ(InitialSettingsTab(6), kPageAbout);
    EXPECT_EQ(InitialSettingsTab(-1), kPageAbout);
    EXPECT_EQ(SwitchedSettingsTab(0), 0);
    EXPECT_EQ(SwitchedSettingsTab(5), kPageMore);
    EXPECT_EQ(SwitchedSettingsTab(6), 0);
}

TEST(SettingsRulesTest, SpeedSliderSnapsToFives) {
    const int expected[kSpeedSliderMax + 1] = {0,  0,  0,  5,  5,  5,  5,  5,  10, 10, 10, 10, 10,
                                               15, 15, 15, 15, 15, 20, 20, 20, 20, 20, 25, 25, 25};
    for (int p = 0; p <= kSpeedSliderMax; ++p)
        EXPECT_EQ(SnapSpeedPosition(p), expected[p]) << p;
    EXPECT_EQ(SnapSpeedPosition(13) + kSpeedOffset, 20);
    EXPECT_EQ(SnapSpeedPosition(12) + kSpeedOffset, 15);
    EXPECT_EQ(SnapSpeedPosition(-3), 0);
    EXPECT_EQ(SnapSpeedPosition(99), kSpeedSliderMax);
    EXPECT_EQ(SpeedSliderPosition(20), 15);
    EXPECT_EQ(SpeedSliderPosition(1), 0);
    EXPECT_EQ(SpeedSliderPosition(99), kSpeedSliderMax);
    EXPECT_EQ(SpeedLevelText(20), "速度级别：20");
}

TEST(SettingsRulesTest, KeyPressesMakeHotkeyText) {
    const HeldModifiers none;
    const HeldModifiers ctrl{true, false, false};
    const HeldModifiers all{true, true, true};
    EXPECT_EQ(HotkeyTextAfterPress({true, true, false}, 'A'), "Ctrl + Shift + A");
    EXPECT_EQ(HotkeyTextAfterPress(all, 0x26), "Ctrl + Shift + Alt + Up");
    EXPECT_EQ(HotkeyTextAfterPress({false, false, true}, 0x73), "Alt + F4");
    EXPECT_EQ(HotkeyTextAfterPress(none, 0x73), "F4");
    // "@" keys need a modifier, "#" keys never name the key.
    EXPECT_EQ(HotkeyTextAfterPress(none, 0x20), "无");
    EXPECT_EQ(HotkeyTextAfterPress(ctrl, 0x20), "Ctrl + Space");
    EXPECT_EQ(HotkeyTextAfterPress(none, 0x09), "无");
    EXPECT_EQ(HotkeyTextAfterPress(none, 0x2E), "无");
    EXPECT_EQ(HotkeyTextAfterPress(ctrl, 0xBA), "Ctrl + ");
    // A modifier going down shows the prefix being typed.
    EXPECT_EQ(HotkeyTextAfterPress(ctrl, 0x11), "Ctrl + ");
    EXPECT_EQ(HotkeyTextAfterPress(ctrl, 0), "Ctrl + ");
    EXPECT_EQ(HotkeyTextAfterPress(none, 223), "无");

    EXPECT_EQ(HotkeyTextAfterRelease("Ctrl + "), "无");
    EXPECT_EQ(HotkeyTextAfterRelease("Ctrl + Shift + "), "无");
    EXPECT_EQ(HotkeyTextAfterRelease(""), "无");
    EXPECT_EQ(HotkeyTextAfterRelease("Ctrl + Space"), "Ctrl + Space");
    EXPECT_EQ(HotkeyTextAfterRelease("F4"), "F4");
}

TEST(SettingsRulesTest, ConflictNoticeRisesOutOfTheCorner) {
    const Rect work{0, 0, 1280, 760};
    const std::vector<Point> steps = ConflictSlideSteps(work, Size{350, 250});
    ASSERT_EQ(steps.size(), 30u);
    EXPECT_LT(steps.front().y, work.bottom);  // visible from the first step
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].x, 930);
        if (i > 0) {
            EXPECT_LE(steps[i].y, steps[i - 1].y);
        }
    }
    EXPECT_EQ(steps.back().y, 510);
}

TEST(SkinTableTest, EntriesSplitIntoNameAndColour) {
    std::set<Color> colors;
    for (const SkinChoice& c : SkinChoices()) {
        EXPECT_FALSE(c.name.empty());
        EXPECT_EQ(ColorAlpha(c.color), 0xFF) << c.name;
        colors.insert(c.color);
    }
    EXPECT_EQ(colors.size(), kSkinTable.size());
    EXPECT_EQ(SkinIndexOf(-657931), 0);
    EXPECT_EQ(SkinIndexOf(-11584460), 19);
    EXPECT_EQ(SkinChoices()[19].name, "暗黑无界");
    EXPECT_EQ(SkinIndexOf(MakeColor(1, 2, 3)), -1);

    EXPECT_EQ(ParseSkinEntry("名,12x").color, 0);
    EXPECT_EQ(ParseSkinEntry("名,99999999999").color, 0);
    EXPECT_EQ(ParseSkinEntry("名").name, "名");

    EXPECT_EQ(SwatchTextColor(SkinChoices()[19].color), MakeColor(255, 255, 255));
    EXPECT_NE(SwatchTextColor(SkinChoices()[0].color), MakeColor(255, 255, 255));
}

}  // namespace
}  // namespace pt
