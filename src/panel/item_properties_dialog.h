// The item properties dialog: one item's name, icon, target, start folder,
// parameters, remarks and elevation edited in a modal window over the
// panel. It edits a copy: the record it returns is what "确定" wrote, and
// the caller puts it in place (LauncherData::ReplaceItem refreshes the
// grid entry and saves). Cancel and the close button return nothing.
//
// The rows follow item_properties.h; the file, folder and icon choosers
// come from ShellPickers, so tests can answer them.
#pragma once

#include <windows.h>

#include <optional>

#include "launcher/launcher_data.h"
#include "panel/shell_pickers.h"

namespace pt {

class IconStore;

// Runs the dialog on `record` over `owner` (the panel). `icons` gives the
// preview the images the grid already has (may be null). The edited
// record, or nothing when the dialog was not ended with "确定".
std::optional<ItemRecord> ShowItemProperties(HWND owner, const ItemRecord& record, IconStore* icons,
                                             const ShellPickers& pickers);

}  // namespace pt
