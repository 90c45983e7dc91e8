// What happens to one item of the grid: starting it on a click or a double
// click (as Action.DoubleClick says), with the key asked for an enciphered
// item, the item menu on the right-button release (or, with Shift held and
// Action.ShiftShowMenu on, the shell's own menu of the target) and the
// commands of that menu. Launches go through LaunchRunner, so the panel
// stays responsive while the shell works. The key dialog and the message
// box live above the panel and arrive as services; the properties dialog is
// the panel's own (item_properties_dialog.h). Enciphering, deciphering and
// the properties dialog put the new record in place with ReplaceItem, which
// refreshes the cell and writes data\Data at once.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "launcher/launcher_data.h"
#include "panel/content_menus.h"
#include "panel/item_launch.h"
#include "panel/shell_pickers.h"

namespace pt {

class IconStore;
class ListView;
class SettingsStore;

struct ItemActionServices {
    LauncherData* data = nullptr;       // required
    SettingsStore* settings = nullptr;  // required
    // An OK/Cancel question; true for OK. None: every question is OK.
    std::function<bool(const std::string& text)> confirm;
    // An error in the program's message box. None: not shown.
    std::function<void(const std::string& text)> showError;
    // A notice (the information icon) in the same box. None: not shown.
    std::function<void(const std::string& text)> showNotice;
    // The key dialog: the key, or nothing when it was closed. None: no key.
    std::function<std::optional<std::string>()> askKey;
    // Hides the panel after a launch (Action.HideAfterExec). None: the
    // panel's own show/hide request, sent when the panel is shown.
    std::function<void()> hidePanel;
    // Shows a popup menu; none: the panel's own (menu_presenter.h).
    std::function<void(const std::vector<ContentMenuEntry>& menu, POINT screen,
                       std::function<void(int id)> chosen)>
        showMenu;
    // The shell call of every launch (tests watch it); none: the shell.
    ShellCall shellCall;
    // The grid's icons, for the properties dialog's preview; may be null.
    IconStore* icons = nullptr;
    // The properties dialog's file, folder and icon choosers; empty
    // members: the system's.
    ShellPickers pickers;
};

class ItemActions {
  public:
    explicit ItemActions(ItemActionServices services);

    // The grid's click (doubleClick false) or double click on an item.
    void Activate(int c, int g, int i, bool doubleClick);
    // Starts the item whatever the click setting says.
    void RunItem(int c, int g, int i);
    // One command of the item menu (item_menu.h ids); `list` is the item's
    // grid (for the cell's place), `i` its index there.
    void RunItemCommand(ListView& list, int c, int g, int i, int id);
    // The right button came up over cell i of `list`.
    void RightRelease(ListView& list, int c, int g, int i);

    // The menu the item would get now.
    std::vector<ContentMenuEntry> Menu(int c, int g, int i) const;
    const LaunchRunner& Runner() const { return runner_; }

  private:
    void Launch(const LaunchRequest& request);
    void HideAfterExec();
    void Error(const std::string& text) const;
    HWND Owner(const ListView* list) const;
    void CreateDesktopShortcut(const ItemRecord& record);
    // Enciphers a plain item or deciphers an enciphered one, under the key
    // the user gives.
    void ToggleCipher(int c, int g, int i, const ItemRecord& asked);
    void EditProperties(HWND owner, int c, int g, int i, const ItemRecord& record);

    ItemActionServices services_;
    LaunchRunner runner_;
};

}  // namespace pt
