// Text on the system clipboard (CF_UNICODETEXT), for the edit's cut, copy
// and paste and for the program's edit menu. UTF-8 on our side.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace pt {

// Replaces the clipboard's content with `text`; false when the clipboard
// stays busy (another program holds it) or memory runs out.
bool SetClipboardText(HWND owner, std::string_view text);
// The clipboard's text, or nothing when it holds none or cannot be opened.
std::optional<std::string> GetClipboardText(HWND owner);
// Whether the clipboard offers text (no need to open it).
bool ClipboardHasText();

}  // namespace pt
