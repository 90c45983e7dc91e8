// What a grid cell shows while its icon is still being extracted: a drawn
// generic icon of its kind (a document, a folder, a web address). Drawn,
// not extracted, so a start with nothing in the icon cache paints at once;
// one image of each kind is shared by every cell.
#pragma once

#include <memory>
#include <string_view>

#include "launcher/grid_entry.h"
#include "toolkit/graphics.h"

namespace pt {

// The shared image of a kind, `side` pixels square.
std::shared_ptr<Image> IconPlaceholder(IconPlaceholderKind kind, int side);

}  // namespace pt
