// The rules of the settings window and the hotkey conflict notice that need
// no window: which tab a request to open the settings selects, how the easing
// speed slider snaps, how a hotkey box turns key presses into hotkey text,
// and where the conflict notice stands on each step of its slide. Pure.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/geometry.h"

namespace pt {

// The pages of the settings window; a tab's identifier is its page number.
enum SettingsPage : int {
    kPageAbout = 1,
    kPageGeneral = 2,
    kPageAction = 3,
    kPageHotkeys = 4,
    kPageMore = 5,
};
inline constexpr int kSettingsPageCount = 5;
// The tab labels, page 1 first.
inline constexpr std::string_view kSettingsTabLabels[kSettingsPageCount] = {"关于", "常规", "动作",
                                                                            "热键", "更多"};

// The tab a newly built window opens on: `page` when it names one, else About.
int InitialSettingsTab(int page);
// The tab an open window switches to; 0 when the request leaves it alone.
int SwitchedSettingsTab(int page);

// The easing speed slider runs over positions 0 to 25, speed = position + 5.
inline constexpr int kSpeedSliderMax = 25;
inline constexpr int kSpeedOffset = 5;
// Where the thumb settles: the nearest multiple of 5, a remainder of 3 or
// more rounding up (12 -> 10, 13 -> 15). Clamped to the slider's range.
int SnapSpeedPosition(int position);
// The slider position of a stored speed (clamped to 5..30 first).
int SpeedSliderPosition(int speed);
// "速度级别：" followed by the speed.
std::string SpeedLevelText(int speed);

// The modifier keys held while a key goes down in a hotkey box.
struct HeldModifiers {
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
    bool Any() const { return ctrl || shift || alt; }
};

// The working text after virtual key `vk` went down: "Ctrl + ", "Shift + ",
// "Alt + " in that order for the held modifiers, then the key's name from
// the key-name table, where a "#" name counts as none and an "@" name only
// with a modifier held; "无" when nothing is left at all. A modifier alone
// leaves the text ending in " + ".
std::string HotkeyTextAfterPress(HeldModifiers held, int vk);
// The working text after a key went up: a text of modifiers only, or an
// empty one, becomes "无"; any other stays.
std::string HotkeyTextAfterRelease(std::string_view working);

// The hotkey conflict notice rises out of the bottom-right corner of the
// work area in this many steps, one every kConflictSlideStepMs, starting
// kConflictDelayMs after it was asked for.
inline constexpr int kConflictSlideSteps = 30;
inline constexpr int kConflictSlideStepMs = 10;
inline constexpr unsigned kConflictDelayMs = 500;
// The notice's top-left corner on steps 1 to kConflictSlideSteps: its right
// edge on the work area's, its top at bottom - ease(i / steps) x height
// (quintic, decelerating), so the last step shows it whole.
std::vector<Point> ConflictSlideSteps(const Rect& workArea, Size notice);

}  // namespace pt
