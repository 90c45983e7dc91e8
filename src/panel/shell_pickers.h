// The system's own choosers the properties dialog opens: a file, a folder
// and an icon inside a file. Paths of any length and any characters come
// back whole (UTF-8). Each returns nothing when the user cancelled.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pt {

struct PickedIcon {
    std::string file;
    int index = 0;
};

// The three choosers as the properties dialog calls them; an empty member
// uses the system's.
struct ShellPickers {
    std::function<std::optional<std::string>(HWND owner)> file;
    std::function<std::optional<std::string>(HWND owner, std::string_view start)> folder;
    std::function<std::optional<PickedIcon>(HWND owner, std::string_view file, int index)> icon;
};

// The file-open dialog titled "打开" with the one filter "所有文件(*.*)".
std::optional<std::string> PickFileToOpen(HWND owner);
// The same dialog choosing folders, opened in `start` when it exists.
std::optional<std::string> PickFolder(HWND owner, std::string_view start);
// The system icon picker opened on the file at that index.
std::optional<PickedIcon> PickIcon(HWND owner, std::string_view file, int index);

}  // namespace pt
