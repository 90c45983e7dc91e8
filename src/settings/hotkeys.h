// Registration of the program's global hotkeys with the system, against the
// panel's window (which receives WM_HOTKEY). Windows-only header.
#pragma once

#include <windows.h>

#include <string_view>

#include "base/hotkey_text.h"

namespace pt {

// Registers entryName's hotkey from its text (ParseHotkeyText rules) under
// HotkeyRegistrationId(entryName). An empty name or text, or a text without a
// valid main key, fails before anything is withdrawn, so the previous
// registration stays. Otherwise the previous registration of the entry is
// withdrawn first; true when the system accepted the new combination (it
// refuses one that another program holds: ERROR_HOTKEY_ALREADY_REGISTERED).
bool RegisterHotkeyFor(HWND window, std::string_view entryName, std::string_view hotkeyText,
                       const KeyLookup& lookup);

// Withdraws entryName's hotkey; the result is of no interest.
void UnregisterHotkeyFor(HWND window, std::string_view entryName);

}  // namespace pt
