// The cell template of a list view, read from a layout file of the resource
// archive ("layout\item\listview.main.xml"). The format is ours:
//
//   <item width="80" height="80" radius="4"
//         hover-fill="0,0,0,12" selected-fill="0,136,255,30" selected-border="0,136,255">
//     <image name="icon" width="40" height="40" align="center" top="8"/>
//     <shape name="name" top="52" height="20" fill="width" align="center" ellipsis="true"/>
//     <image name="selected" image="res\appframework\tag.svg" left="110" top="5"
//            width="35" height="35" state="selected"/>
//   </item>
//
// Parts: `image` (a picture: the item's own image under the part's name,
// else the `image` resource), `shape` (a filled, optionally rounded box with
// a line of text: the item's text under the part's name, else `text`),
// `button` (an image the program reacts to, see ListView::HitPart).
// Geometry: `left`, `top`, `right`, `bottom` margins; `width`, `height`;
// `fill` = width | height | both stretches a part between its margins (so
// does a missing width or height); `align` = start | center | end places a
// part of fixed width and aligns its text. Looks: `color` (text),
// `background`, `radius`, `font-size` (points), `ellipsis`; `visible`;
// `state` = selected | hover | normal shows the part only in that state.
// Colours are "r,g,b" or "r,g,b,a" (decimal) or "#rrggbb". Sizes are
// design pixels; Scale multiplies them by the display factor.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/color.h"
#include "toolkit/geometry.h"

namespace pt {

enum class PartKind { kImage, kShape, kButton };
enum class PartAlign { kStart, kCenter, kEnd };
enum class PartState { kAlways, kNormal, kHover, kSelected };

struct TemplatePart {
    PartKind kind = PartKind::kShape;
    std::string name;
    int left = 0, top = 0, right = 0, bottom = 0;
    int width = -1;  // -1: stretch between the margins
    int height = -1;
    bool fillWidth = false;
    bool fillHeight = false;
    PartAlign align = PartAlign::kStart;
    std::string image;  // resource entry
    std::string text;
    std::optional<Color> color;
    std::optional<Color> background;
    int radius = 0;
    float fontSize = 0;  // 0: the list view's font
    bool ellipsis = true;
    bool visible = true;
    PartState state = PartState::kAlways;

    // The part's rectangle inside a cell of `cell` size, relative to the cell.
    Rect RectIn(Size cell) const;
};

struct ItemTemplate {
    Size size{80, 80};
    int radius = 0;
    std::optional<Color> hoverFill;
    std::optional<Color> hoverBorder;
    std::optional<Color> selectedFill;
    std::optional<Color> selectedBorder;
    std::vector<TemplatePart> parts;

    const TemplatePart* Find(std::string_view name) const;
    // Multiplies every pixel size by `factor` (rounded).
    void Scale(float factor);
};

// False (with a message) when the text is not an <item> template; unknown
// attributes are ignored, unknown part elements are refused.
bool ParseItemTemplate(std::string_view xml, ItemTemplate& out, std::string* error = nullptr);

// "r,g,b", "r,g,b,a" or "#rrggbb"; false for anything else.
bool ParseColorText(std::string_view text, Color& out);

}  // namespace pt
