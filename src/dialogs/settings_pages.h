// The pieces the settings window's pages are made of: section headings,
// option lines (one check box or radio button, or two side by side), and
// the builders of the five pages. Inside the settings window only.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/element.h"
#include "toolkit/widgets.h"

namespace pt {

class SettingsStore;

// Heading and option text colours of the pages.
inline constexpr Color kSettingsTextColor = MakeColor(130, 130, 130);
inline constexpr Color kSettingsTabColor = MakeColor(100, 100, 100);
inline constexpr Color kVersionColor = MakeColor(150, 150, 150);

struct PageContext {
    SettingsStore* settings = nullptr;
    std::shared_ptr<Font> font;  // may be null: the toolkit's default
    HWND window = nullptr;       // the settings window
};

// A section heading.
TextElement* AddHeading(Element& page, std::string_view text, const PageContext& context);
// A line of options, 25 high, indented 30.
Element* AddOptionLine(Element& page);
// A check box on `line` showing `checked`; `changed` gets each new state.
// The first of two options on a line takes a 150-pixel column.
CheckBox* AddCheckOption(Element& line, std::string_view text, bool checked, bool firstOfTwo,
                         const PageContext& context, std::function<void(bool)> changed = {});
// A radio button of `group` on `line`.
RadioButton* AddRadioOption(Element& line, std::string_view text, int group, bool checked,
                            bool firstOfTwo, const PageContext& context);

void BuildAboutPage(Element& page, const PageContext& context,
                    const std::vector<std::string>& pluginNames);
void BuildGeneralPage(Element& page, const PageContext& context);
void BuildActionPage(Element& page, const PageContext& context);
void BuildMorePage(Element& page, const PageContext& context);
// The hotkey rows (hotkey_rows_win.cpp); registers the enabled hotkeys.
void BuildHotkeyPage(Element& page, const PageContext& context);

}  // namespace pt
