// The main panel: one borderless toolkit window of class "Pinatrove" with its
// own title bar (title, skin, line, menu, mini and close), the content area
// that the launcher data fills, the date footer, its start placement from the
// remembered settings, and the skin frame. It answers the show/hide request,
// the close message (hide, or the exit path that flushes every store in
// order) and the end of the user's session. Its runtime: the global hotkeys,
// the tray icon and menu, focus loss, and every show and hide through the
// docking logic.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "panel/date_footer.h"
#include "toolkit/graphics.h"
#include "toolkit/window.h"
#include "window/docking.h"
#include "window/tray_icon.h"

namespace pt {

class IconStore;
class SettingsStore;

inline constexpr char kPanelTitle[] = "Pinatrove";
inline constexpr int kPanelWidth = 810;  // design size, scaled
inline constexpr int kPanelHeight = 610;
inline constexpr int kPanelMinWidth = 460;  // not scaled
inline constexpr int kPanelMinHeight = 590;
inline constexpr int kTitleBarHeight = 40;

// The show/hide request (WM_USER, wParam 1); lParam is one of these.
enum ShowRequest : LPARAM { kToggle = 0, kShowOrFront = 1, kToggleAtCursor = 2 };

// What the launcher data store does for the panel: it reads data\Data while
// it builds the category sidebar, the tabs and the grids into the content
// area, selects the remembered category and group, and writes its file on
// the way out.
class PanelContent {
  public:
    virtual ~PanelContent() = default;
    virtual void Build(Element& area) = 0;
    virtual void SelectRemembered(int iClass, int iGroup) = 0;
    virtual void FlushPendingSave() = 0;
};

struct PanelServices {
    SettingsStore* settings = nullptr;  // required
    std::shared_ptr<Font> captionFont;
    PanelContent* content = nullptr;  // none: the content area stays empty
    IconStore* icons = nullptr;       // none: no icon cache to flush
    DateSource today;                 // the footer's clock; LocalToday when empty
    // A hotkey entry ("Pinatrove", "Camera") that the system refused at
    // start while Shortcutkey.RegFailTips is on: the conflict dialog.
    std::function<void(const std::string& entry)> hotkeyRefused;
    // The Camera hotkey: a screen capture.
    std::function<void()> startCapture;
};

class PanelWindow {
  public:
    explicit PanelWindow(PanelServices services);
    ~PanelWindow();
    PanelWindow(const PanelWindow&) = delete;
    PanelWindow& operator=(const PanelWindow&) = delete;

    // Builds, places and skins the window, still hidden. False when the
    // window cannot be created.
    bool Create();
    // The end of set-up: the first snap, the first show (or hide, with
    // Action.HideAfterStartup), the bookkeeping of a start after a DPI
    // change, the hotkeys and the clipboard formats.
    void FinishStart();
    HWND Handle() const { return hwnd_; }

    // Through the docking logic: a panel parked at an edge slides.
    void Show();
    void Hide();
    // Runs `hook` first on the way out, before the tray icon goes and the
    // stores are written (the drop target is revoked there).
    void AddBeforeExit(std::function<void()> hook) { beforeExit_.push_back(std::move(hook)); }
    Docking& Dock() { return dock_; }
    TrayIcon& Tray() { return tray_; }
    // The private item format and "Shell IDList Array" (0 before FinishStart).
    UINT ItemClipboardFormat() const { return itemFormat_; }
    UINT IdListClipboardFormat() const { return idListFormat_; }
    // Writes whatever is pending, in the order of the exit path: launcher
    // data, icon cache, settings.
    void FlushStores();

    // The skin and menu buttons open windows that live elsewhere.
    void SetSkinButtonHandler(std::function<void()> handler) { onSkin_ = std::move(handler); }
    void SetMenuButtonHandler(std::function<void()> handler) { onMenu_ = std::move(handler); }

  private:
    void BuildTitleBar(Window& window);
    void Place(Window& window);
    void HandleMessage(Window& window, WindowMessage& message, bool& handled);
    void HandleShowRequest(Window& window, LPARAM mode);
    void HandleHotkey(WindowMessage& message);
    void HandleKillFocus();
    void HandleTray(LPARAM mouseMessage);
    void RegisterHotkeys();
    // Follows a setting changed from anywhere (panel_settings_win.cpp).
    void FollowSetting(std::string_view key);
    void RunExitPath();
    void RememberPosition(Window& window);

    PanelServices services_;
    HWND hwnd_ = nullptr;
    HandlerId messageHandler_{};
    // The size asked for at start and the one the screen left room for.
    Size wantedSize_;
    Size fittedSize_;
    std::function<void()> onSkin_;
    std::function<void()> onMenu_;
    std::vector<std::function<void()>> beforeExit_;
    Docking dock_;
    TrayIcon tray_;
    TrayMenu trayMenu_;
    int settingsObserver_ = 0;
    bool hotkeysRegistered_ = false;  // FinishStart registered them
    UINT taskbarCreated_ = 0;
    UINT itemFormat_ = 0;
    UINT idListFormat_ = 0;
};

// The panel's native window while it exists (for owners of dialogs and
// the message box); null otherwise.
HWND PanelHandle();

}  // namespace pt
