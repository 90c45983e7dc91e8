// What the item menu asks of the shell besides launching: the target's own
// context menu (the one the file manager shows), opening the folder that
// holds a target with the target selected, and the user's desktop folder.
// UTF-8 paths, UTF-16 at the shell. UI thread (the menu and the folder
// window need the caller's message loop and its COM apartment).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace pt {

inline constexpr char kFileOrPathNotFound[] = "找不到指定的文件或路径";
inline constexpr char kBadIdList[] = "无效的路径结构指针";
inline constexpr char kNoDesktopFolder[] = "获取用户桌面目录时出错";

// Shows the shell's context menu of `path` owned by `owner`, at `at` (screen
// coordinates) or, when null, at the cursor, and runs the chosen command.
// The chosen id, 0 when the menu was dismissed, -1 when the path does not
// exist or the shell offers no menu for it.
int ShowShellContextMenu(HWND owner, std::string_view path, const POINT* at);

// Opens the folder holding `path` (trimmed) with it selected. "" on success,
// else the message to show: kFileOrPathNotFound for a missing target,
// kBadIdList when the shell cannot name it, HresultErrorText of a failure.
std::string OpenContainingFolder(std::string_view path);

// The current user's desktop folder; false when the shell cannot tell.
bool GetDesktopFolder(std::string* folder);

}  // namespace pt
