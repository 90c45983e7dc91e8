// How the panel and the settings windows meet: the title bar's "菜单" and
// "换肤" buttons open the settings and the skin window, and the running
// panel follows its settings. Wherever a setting is changed
// from (the settings window today), the change notification puts it into
// effect at once: here the position and size locks on the panel's dragging
// and the Remember switches, which store the panel's current place, size and
// category at the moment they are switched on; the panel itself follows the
// topmost state, the tray icon, docking, easing and the skin.
#pragma once

#include <functional>
#include <string_view>

namespace pt {

class PanelWindow;
class SettingsStore;
class SettingsUi;

// The settings windows belong to the panel, which opens them: "菜单" the
// settings on their About page, "换肤" the skin window.
void ConnectSettingsUi(PanelWindow& panel, SettingsUi& ui);

class SettingsFollower {
  public:
    // `currentIndices` gives the selected category and group.
    SettingsFollower(SettingsStore& settings, PanelWindow& panel,
                     std::function<void(int* iClass, int* iGroup)> currentIndices);
    ~SettingsFollower();
    SettingsFollower(const SettingsFollower&) = delete;
    SettingsFollower& operator=(const SettingsFollower&) = delete;

  private:
    void Changed(std::string_view key);

    SettingsStore& settings_;
    PanelWindow& panel_;
    std::function<void(int*, int*)> currentIndices_;
    int subscription_ = 0;
};

}  // namespace pt
