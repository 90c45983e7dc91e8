// RegisterHotKey / UnregisterHotKey for the hotkey entries of the settings.
#include "settings/hotkeys.h"

namespace pt {

bool RegisterHotkeyFor(HWND window, std::string_view entryName, std::string_view hotkeyText,
                       const KeyLookup& lookup) {
    if (entryName.empty() || hotkeyText.empty())
        return false;
    const int id = HotkeyRegistrationId(entryName);
    HotkeyCombo combo = ParseHotkeyText(hotkeyText, lookup);
    if (combo.keyCode == 0)
        return false;
    ::UnregisterHotKey(window, id);
    return ::RegisterHotKey(window, id, combo.modifiers, combo.keyCode) != 0;
}

void UnregisterHotkeyFor(HWND window, std::string_view entryName) {
    ::UnregisterHotKey(window, HotkeyRegistrationId(entryName));
}

}  // namespace pt
