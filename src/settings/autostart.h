// The autostart shortcut: a shell shortcut to the program in the current
// user's Startup folder, which is the setting's only state. Windows only.
#pragma once

#include <string>
#include <string_view>

namespace pt {

// The autostart shortcut's name inside the Startup folder.
inline constexpr std::string_view kAutostartLinkName = "\\Pinatrove.lnk";
inline constexpr std::string_view kAutostartDescription = "一款界面简洁的快捷启动工具";

// The current user's Startup folder (CSIDL_STARTUP, not created); false when
// the shell cannot tell.
bool GetStartupFolder(std::string* folder);

// Full path of the running executable.
std::string RunningExePath();

// Autostart against a given executable path (the store passes the running
// exe; tests pass others). The shortcut file is the only state.
bool IsAutostartFor(std::string_view exePath);
void SetAutostartFor(bool on, std::string_view exePath);

}  // namespace pt
