// The settings window's pure rules; see settings_rules.h.
#include "dialogs/settings_rules.h"

#include <algorithm>
#include <cmath>

#include "base/hotkey_text.h"
#include "toolkit/easing.h"

namespace pt {
namespace {

bool IsPage(int page) {
    return page >= 1 && page <= kSettingsPageCount;
}

}  // namespace

int InitialSettingsTab(int page) {
    return IsPage(page) ? page : kPageAbout;
}

int SwitchedSettingsTab(int page) {
    return IsPage(page) ? page : 0;
}

int SnapSpeedPosition(int position) {
    position = std::clamp(position, 0, kSpeedSliderMax);
    const int base = position / 5 * 5;
    return std::min(position % 5 >= 3 ? base + 5 : base, kSpeedSliderMax);
}

int SpeedSliderPosition(int speed) {
    return std::clamp(speed, kSpeedOffset, kSpeedOffset + kSpeedSliderMax) - kSpeedOffset;
}

std::string SpeedLevelText(int speed) {
    return "速度级别：" + std::to_string(speed);
}

std::string HotkeyTextAfterPress(HeldModifiers held, int vk) {
    std::string text;
    if (held.ctrl)
        text += "Ctrl + ";
    if (held.shift)
        text += "Shift + ";
    if (held.alt)
        text += "Alt + ";
    std::string_view name = KeyNameEntry(vk);  // empty outside 1..222
    if (!name.empty() && name.front() == '#') {
        name = {};
    } else if (!name.empty() && name.front() == '@') {
        name = held.Any() ? name.substr(1) : std::string_view{};
    }
    text += name;
    if (text.empty())
        text = kNoHotkeyText;
    return text;
}

std::string HotkeyTextAfterRelease(std::string_view working) {
    if (working.empty() || working.ends_with(kHotkeySeparator))
        return std::string(kNoHotkeyText);
    return std::string(working);
}

std::vector<Point> ConflictSlideSteps(const Rect& workArea, Size notice) {
    std::vector<Point> steps;
    steps.reserve(kConflictSlideSteps);
    const int left = workArea.right - notice.width;
    for (int i = 1; i <= kConflictSlideSteps; ++i) {
        const double t = EaseQuint(static_cast<double>(i) / kConflictSlideSteps, EaseMode::kOut);
        const int top = workArea.bottom - static_cast<int>(std::lround(t * notice.height));
        steps.push_back(Point{left, top});
    }
    return steps;
}

}  // namespace pt
