// The notification-area icon of the program and its two-item menu. The icon
// is the exe's own first icon with the tip "Pinatrove"; mouse messages on it
// come back to the panel as the callback message. The menu offers the panel
// ("启动板") and quitting ("退出软件"), dressed like every menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "base/win_handles.h"
#include "toolkit/color.h"
#include "toolkit/handler_list.h"

namespace pt {

class Menu;
class Window;
struct WindowMessage;

inline constexpr UINT kMsgTrayCallback = 0x8000;  // lParam: the mouse message
inline constexpr int kTrayItemPanel = 100;
inline constexpr int kTrayItemExit = 200;

// The icon's id: the CRC-32 of "Pinatrove", as hotkey ids are computed.
UINT TrayIconId();

class TrayIcon {
  public:
    TrayIcon() = default;
    ~TrayIcon() { Remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Puts the icon up for `window`; the shell's answer is all there is to
    // know (a refused icon comes back at the next "TaskbarCreated").
    bool Add(HWND window);
    void Remove();
    // After the shell's taskbar was re-created: the old icon is gone with it.
    bool Readd();
    bool IsAdded() const { return added_; }
    // The mouse is over this icon. Asks the shell where the icon is; a shell
    // that cannot say (older ones, Wine) gives false.
    bool IsHovered() const;

  private:
    NOTIFYICONDATAW data_{};
    UniqueIcon icon_;
    bool added_ = false;
};

// The tray menu, opened at the cursor for the panel's window. The choice
// (kTrayItemPanel or kTrayItemExit) arrives after the menu closed.
class TrayMenu {
  public:
    TrayMenu() = default;
    ~TrayMenu();
    TrayMenu(const TrayMenu&) = delete;
    TrayMenu& operator=(const TrayMenu&) = delete;

    // `background`: the skin's colour behind the items; `roundCorners`: the
    // skin's border radius.
    bool Open(HWND owner, Color background, bool roundCorners, std::function<void(int)> chosen);
    bool IsOpen() const;

  private:
    void HandleMessage(WindowMessage& message, bool& handled);

    HWND owner_ = nullptr;
    HandlerId handler_ = 0;
    std::shared_ptr<Menu> menu_;
    std::function<void(int)> chosen_;
    Color background_ = 0;
    bool roundCorners_ = true;
};

}  // namespace pt
