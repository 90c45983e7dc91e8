// Exe location helpers.
#include "app/app_paths.h"

#include <windows.h>

#include "base/text.h"

namespace pt {

std::string ExePath() {
    // GetModuleFileNameW truncates silently and returns the buffer size when
    // the path is longer; grow until it fits.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return FromWide(buffer);
        }
        if (buffer.size() >= 32768)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::string ExeDirectory() {
    std::string path = ExePath();
    size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return {};
    // Keep "C:\" for an exe in a drive's root: "C:" alone means the drive's
    // current directory.
    if (slash == 2 && path[1] == ':')
        return path.substr(0, 3);
    return path.substr(0, slash);
}

bool EnterExeDirectory() {
    std::string dir = ExeDirectory();
    return !dir.empty() && ::SetCurrentDirectoryW(ToWide(dir).c_str()) != FALSE;
}

}  // namespace pt
