// The behaviour the panel adds to its own text fields: the undo and redo
// history on Ctrl+Z / Ctrl+Y, the right-click edit menu, and the rename
// editor laid over a category entry or a group tab that commits on Enter or
// when the focus goes elsewhere, cancels on Escape, and names an emptied
// text "未命名".
#pragma once

#include <functional>
#include <string>

#include "toolkit/edit.h"
#include "toolkit/element.h"

namespace pt {

// Gives the edit its undo history and its right-click edit menu (nothing
// for a password field: its snapshots would keep the secret). Call once,
// right after creating it.
void AttachEditHistory(Edit& edit);

// Lays a rename editor over `owner` (its text, all selected, focused).
// `commit` runs once with the new name when the user confirms a text that
// differs from the owner's; the editor then goes away, as it does on
// Escape. Returns the editor (owned by `owner`).
Edit* OpenRenameEditor(Button& owner, std::function<void(const std::string&)> commit);

}  // namespace pt
