// Background looks of elements and windows: a fill colour, border lines on
// chosen sides, rounded corners, one look per visual state. The program's
// named looks ("border.top", "bkInfo_button", "sethotkey.edit", ...) are
// defined here in one place and found by name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "toolkit/button_logic.h"
#include "toolkit/color.h"

namespace pt {

enum BorderSide : unsigned {
    kBorderNone = 0,
    kBorderLeft = 1,
    kBorderTop = 2,
    kBorderRight = 4,
    kBorderBottom = 8,
    kBorderAll = 15,
};

struct Look {
    std::optional<Color> fill;  // none: nothing is filled
    unsigned borderSides = kBorderNone;
    Color borderColor = MakeColor(0, 0, 0);
    int borderWidth = 1;
    int radius = 0;  // rounded corners (fill and a full border)

    bool Empty() const { return !fill && borderSides == kBorderNone; }
    static Look Fill(Color c, int radius = 0) {
        Look l;
        l.fill = c;
        l.radius = radius;
        return l;
    }
    static Look Border(unsigned sides, Color c, int width = 1) {
        Look l;
        l.borderSides = sides;
        l.borderColor = c;
        l.borderWidth = width;
        return l;
    }
};

struct StateLook {
    Look normal;
    std::optional<Look> hover;
    std::optional<Look> pressed;
    std::optional<Look> checked;
    std::optional<Look> disabled;
    std::optional<Look> focused;  // an edit with the keyboard focus (later controls)

    // The look for a state; a state without its own look falls back to the
    // nearest one (pressed -> hover -> normal, checked -> normal).
    const Look& For(VisualState state) const;
    static StateLook Plain(const Look& look) {
        StateLook s;
        s.normal = look;
        return s;
    }
};

// Named looks; false when the name is unknown.
bool FindNamedLook(std::string_view name, StateLook& out);
// Adds or replaces a named look (the program may restyle at run time).
void SetNamedLook(std::string_view name, const StateLook& look);

}  // namespace pt
