// Pieces the small dialogs of the settings share: the bar along a dialog's
// foot and the grey switch that sits in it.
#pragma once

#include <memory>
#include <string_view>

#include "toolkit/element.h"
#include "toolkit/widgets.h"

namespace pt {

// A row 50 high across the foot of `body`, under a line, its children
// centred vertically; the paddings are in pixels (already scaled).
Element* AddBottomBar(Element& body, int paddingX, int paddingY);
// A grey check box with a hand cursor that takes the keyboard; `font` may
// be null (the toolkit's default).
CheckBox* AddGreySwitch(Element& row, std::string_view text, bool checked,
                        const std::shared_ptr<Font>& font);

}  // namespace pt
