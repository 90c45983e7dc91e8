// Where the build put a file of ours, as a Windows path: the build knows Unix
// paths, and under Wine drive Z: is the Unix root.
#pragma once

#include <string>

namespace pt::test {

inline std::wstring BuildPath(const char* unixOrWindowsPath) {
    std::wstring out;
    for (const char* p = unixOrWindowsPath; *p; ++p)
        out += static_cast<wchar_t>(*p == '/' ? '\\' : *p);
    if (!out.empty() && out[0] == L'\\')
        out = L"Z:" + out;
    return out;
}

}  // namespace pt::test
