// The key dialog: asks for the key of an enciphered item each time it is
// started. A modal window over the panel with a hidden-text edit (an eye
// button shows the characters), the key format as a hint, "确定" and the
// caption's close button "关闭". Only the characters of key_rules.h go into
// the edit, at most 20; "确定" (or Enter) with fewer than 4 keeps the dialog
// open, Esc or the close button ends it without a key.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "dialogs/key_rules.h"

namespace pt {

// The key typed, or nothing when the dialog was closed. UI thread; `owner`
// (the panel) is disabled while it is open.
std::optional<std::string> AskKey(HWND owner);

}  // namespace pt
