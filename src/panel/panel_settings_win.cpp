// The panel following its settings wherever they are changed from (the
// settings window, the skin window, the tray menu): the skin on every
// window of the program, the topmost state and the easing of the docking,
// the tray icon, and the re-registration of a changed hotkey.
#include <string>

#include "panel/panel_window.h"
#include "settings/settings_store.h"
#include "window/skin_frame.h"

namespace pt {

void PanelWindow::FollowSetting(std::string_view key) {
    SettingsStore& settings = *services_.settings;
    if (key == kSettingSkinBackground || key == kSettingSkinStyleMac ||
        key == kSettingSkinBorderRadius) {
        SetCurrentSkin(SkinFromSettings(settings));
        ApplySkinFrameToAll(CurrentSkin());
    } else if (key == kSettingTopMost || key == kSettingEasing || key == kSettingEasingSpeed ||
               key == "Action.DockPanel") {
        dock_.ApplySettings(settings.GetEasing(), settings.GetSpeed(), settings.GetTopMost(),
                            settings.GetDockPanel());
    } else if (key == kSettingShowTrayIcon) {
        if (!settings.GetShowTrayIcon())
            tray_.Remove();
        else if (!tray_.IsAdded())
            tray_.Add(hwnd_);
    } else if (key.substr(0, kSettingHotkeyPrefix.size()) == kSettingHotkeyPrefix) {
        // The panel's own hotkeys take their new key (or go when switched
        // off). Whoever changed one tells the user about a refusal: it asks
        // RegisterHotkey again and gets the same answer.
        const std::string entry(key.substr(kSettingHotkeyPrefix.size()));
        if (!hotkeysRegistered_ || (entry != "Pinatrove" && entry != "Camera"))
            return;
        settings.UnregisterHotkey(entry);
        std::string text;
        if (settings.GetHotkey(entry, &text))
            settings.RegisterHotkey(entry, text);
    }
}

}  // namespace pt
