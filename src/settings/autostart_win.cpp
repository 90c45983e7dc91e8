// The autostart shortcut in the Startup folder, written and read through the
// shortcut file reader of base/shortcut.h.
#include "settings/autostart.h"

#include "base/shortcut.h"
#include "base/text.h"

#include <windows.h>
#include <shlobj.h>

namespace pt {

bool GetStartupFolder(std::string* folder) {
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, path, CSIDL_STARTUP, FALSE) || path[0] == L'\0') {
        return false;
    }
    *folder = FromWide(path);
    return true;
}

std::string RunningExePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        // A full buffer means the name was cut (XP does not even set an error).
        if (n < path.size()) {
            path.resize(n);
            return FromWide(path);
        }
        path.resize(path.size() * 2);
    }
}

bool IsAutostartFor(std::string_view exePath) {
    std::string folder;
    if (!GetStartupFolder(&folder))
        return false;
    ShortcutRecord link;
    if (!ReadShortcut(folder + std::string(kAutostartLinkName), &link))
        return false;
    return link.targetPath == exePath;
}

void SetAutostartFor(bool on, std::string_view exePath) {
    std::string folder;
    if (!GetStartupFolder(&folder))
        return;
    std::string linkFile = folder + std::string(kAutostartLinkName);
    if (!on) {
        ::DeleteFileW(ToWide(linkFile).c_str());
        return;
    }
    ShortcutRecord record;
    record.linkFile = linkFile;
    record.targetPath = std::string(exePath);
    size_t slash = exePath.rfind('\\');
    record.workingDirectory = std::string(
        slash == std::string_view::npos ? std::string_view() : exePath.substr(0, slash));
    record.description = std::string(kAutostartDescription);
    WriteShortcut(record);
}

}  // namespace pt
