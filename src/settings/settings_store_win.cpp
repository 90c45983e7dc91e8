// The settings store's Windows side: its file in the data folder (the
// stores' shared file storage and deferred save), and the store operations
// that talk to the system (hotkeys, autostart).
#include "settings/settings_store.h"

#include "base/atomic_file.h"
#include "base/text.h"
#include "settings/hotkeys.h"
#include "settings/autostart.h"

#include <windows.h>

#include <utility>

namespace pt {
std::unique_ptr<SettingsStorage> MakeFileSettingsStorage(std::string dataFolder, unsigned delayMs) {
    return MakeFileDocumentStorage(std::move(dataFolder), "Settings", delayMs);
}

bool SettingsStore::RegisterHotkey(std::string_view entry, std::string_view text) {
    return RegisterHotkeyFor(static_cast<HWND>(hotkeyWindow_), entry, text, keys_);
}

void SettingsStore::UnregisterHotkey(std::string_view entry) {
    UnregisterHotkeyFor(static_cast<HWND>(hotkeyWindow_), entry);
}

bool SettingsStore::IsAutostart() const {
    return IsAutostartFor(RunningExePath());
}

void SettingsStore::SetAutostart(bool on) {
    SetAutostartFor(on, RunningExePath());
}

}  // namespace pt
