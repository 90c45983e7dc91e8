// The program's settings windows: the settings window with its five pages
// (About, General, Action, Hotkeys, More), the hotkey conflict notice that
// start-up raises when a hotkey cannot be registered, and the skin window.
// At most one of each is open; each is a dialog owned by the panel. Every
// control writes its setting through the settings store at once; what a
// change does to the running program follows from the store's change
// notifications (the app subscribes the panel to them), except the hotkey
// rows, which register and withdraw their hotkeys themselves, and the skin
// window, which re-dresses every open window of the program.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/graphics.h"

namespace pt {

class SettingsStore;

struct SettingsUiServices {
    SettingsStore* settings = nullptr;  // required
    // The UI font at size 10, for the settings window's controls; the
    // toolkit's default font when none.
    std::shared_ptr<Font> font;
    // The names of the loaded plug-ins, listed on the About page.
    std::vector<std::string> pluginNames;
};

class SettingsUi {
  public:
    explicit SettingsUi(SettingsUiServices services);
    // Closes whatever window of its own is still open.
    ~SettingsUi();
    SettingsUi(const SettingsUi&) = delete;
    SettingsUi& operator=(const SettingsUi&) = delete;

    // The panel's window, which owns every window opened from now on.
    void SetOwner(HWND panel) { owner_ = panel; }
    void SetPluginNames(std::vector<std::string> names) {
        services_.pluginNames = std::move(names);
    }

    // Opens the settings window on tab `page` (1 About ... 5 More; any
    // other number opens About). An open window only switches to the tab
    // when `page` names one, and is otherwise left as it is.
    void OpenSettings(int page);
    // Opens the skin window unless it is open.
    void OpenSkinWindow();
    // Prepares the hotkey conflict notice unless one exists: it shows
    // itself half a second later, rising out of the bottom-right corner of
    // the work area. Any number of refusals make one notice.
    void OpenHotkeyConflict();

    // The open windows (null when closed).
    HWND SettingsWindow() const;
    HWND SkinWindow() const;
    HWND ConflictWindow() const;

  private:
    void BuildSettings(int tab);
    void BuildSkinWindow();
    void BuildConflict();

    SettingsUiServices services_;
    HWND owner_ = nullptr;
    HWND settings_ = nullptr;
    HWND skins_ = nullptr;
    HWND conflict_ = nullptr;
};

}  // namespace pt
