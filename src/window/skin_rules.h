// The colours of the skin frame: what the title bar, its text and the system
// buttons look like on a light or a dark background, and the Mac-like dots.
// Pure tables, shared by the panel and every dialog that wears the frame.
#pragma once

#include <string_view>

#include "toolkit/color.h"

namespace pt {

// The skin the user chose (Skin.* in the settings).
struct Skin {
    Color background = static_cast<Color>(0xFFF5F5F5);  // -657931
    bool styleMac = false;
    bool borderRadius = true;
};

// The system buttons of a frame, by role name.
inline constexpr std::string_view kSysButtons[] = {"skin", "menu", "mini", "close"};

struct SysButtonColors {
    Color normal;
    Color hover;
    Color pressed;
};

// Icon fills per state for "skin", "menu", "mini" and "close" (any other
// name gets the colours of "skin").
SysButtonColors SysButtonIconColors(std::string_view button, bool dark);
// The dot of a button in the Mac-like style.
Color MacDotColor(std::string_view button);
// The title text.
Color TitleColor(bool dark);
// The title bar's bottom line; only light backgrounds have one.
inline constexpr Color kTitleBarLine = MakeColor(235, 235, 235);
// The menu icon turns upside down under the mouse.
inline bool SysButtonTurnsOnHover(std::string_view button) {
    return button == "menu";
}

}  // namespace pt
