// Loading the plug-in DLLs; see plugin_loader.h and sdk/pinatrove_plugin.h.
#include "ext/plugin_loader.h"

#include <windows.h>

#include <optional>
#include <string_view>

#include "base/text.h"
#include "base/win_handles.h"

namespace pt {
namespace {

using GetAppInfoProc = const wchar_t*(__cdecl*)();

bool IsReadable(const MEMORY_BASIC_INFORMATION& info) {
    if (info.State != MEM_COMMIT || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)))
        return false;
    return (info.Protect & (PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                            PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) != 0;
}

// The zero-terminated UTF-16 text at `text`, read no further than committed
// readable memory and kMaxPluginDescriptionBytes allow: a plug-in that hands
// over a bad pointer or an endless text is left out instead of taking the
// program down.
std::optional<std::u16string> ReadDescription(const wchar_t* text) {
    const auto address = reinterpret_cast<uintptr_t>(text);
    if (address % alignof(wchar_t))
        return std::nullopt;
    const size_t maxUnits = kMaxPluginDescriptionBytes / sizeof(wchar_t);
    std::u16string out;
    const wchar_t* at = text;
    while (out.size() < maxUnits) {
        MEMORY_BASIC_INFORMATION info{};
        if (!::VirtualQuery(at, &info, sizeof info) || !IsReadable(info))
            return std::nullopt;
        const auto* regionEnd = reinterpret_cast<const wchar_t*>(
            static_cast<const char*>(info.BaseAddress) + info.RegionSize);
        for (; at < regionEnd && out.size() < maxUnits; ++at) {
            if (*at == 0)
                return out;
            out.push_back(static_cast<char16_t>(*at));
        }
    }
    return std::nullopt;
}

}  // namespace

void LoadPlugins(const std::string& folder, PluginList& list) {
    // No system box for a plug-in whose dependency is missing or broken.
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    list.Reset();
    const std::wstring dir = ToWide(folder) + L"\\";
    WIN32_FIND_DATAW found{};
    UniqueFindHandle search(::FindFirstFileW((dir + L"*.dll").c_str(), &found));
    for (bool more = static_cast<bool>(search); more;
         more = ::FindNextFileW(search.Get(), &found) != FALSE) {
        // "*.dll" also matches names whose short form ends so ("x.dllx").
        const std::wstring_view name(found.cFileName);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name.size() < 4 ||
            _wcsicmp(found.cFileName + name.size() - 4, L".dll") != 0)
            continue;
        const std::wstring path = dir + found.cFileName;
        // Loaded already (a second pass, or a DLL another plug-in pulled
        // in): taken as it is, so its count of loads does not grow.
        HMODULE module = ::GetModuleHandleW(path.c_str());
        if (!module) {
            // Its dependencies from its own folder and the system folder
            // only. LOAD_LIBRARY_SEARCH_DEFAULT_DIRS would add the exe's
            // folder, which is also the working directory of the running
            // program: a DLL planted there must never be picked up.
            module =
                ::LoadLibraryExW(path.c_str(), nullptr,
                                 LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
        }
        if (!module)
            continue;
        auto getAppInfo = reinterpret_cast<GetAppInfoProc>(
            reinterpret_cast<void*>(::GetProcAddress(module, "GetAppInfo")));
        if (!getAppInfo)
            continue;
        const wchar_t* text = getAppInfo();
        if (!text)
            continue;
        if (std::optional<std::u16string> description = ReadDescription(text))
            list.Add(FromWide(found.cFileName), *description);
    }
    ::SetErrorMode(oldMode);
}

PluginList& ProcessPlugins() {
    static PluginList list;
    return list;
}

std::vector<std::string> LoadedPluginNames() {
    return ProcessPlugins().DisplayNames();
}

}  // namespace pt
