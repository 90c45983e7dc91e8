// Target classification and path helpers on top of the shell, the
// environment and the registry. The string rules live in target_rules.cpp;
// this file only adds what needs the system.
#include "launcher/target.h"

#include <windows.h>
#include <shlwapi.h>

#include <mutex>
#include <vector>

#include "base/text.h"
#include "base/win_handles.h"

namespace pt {
namespace {

bool ProbeDirectory(std::string_view path) {
    return !path.empty() && ::PathIsDirectoryW(ToWide(path).c_str()) != FALSE;
}
// A well-formed drive path is neither: it has no leading "\\\\", and its
// one-letter "scheme" is a drive to the shell's URL parser. Most targets are
// drive paths, and a start classifies each of them, so the shell (and a
// UTF-16 copy of the path) is asked only about the rest.
bool ProbeUnc(std::string_view path) {
    return !path.empty() && !IsLocalPath(path) && ::PathIsUNCW(ToWide(path).c_str()) != FALSE;
}
bool ProbeUrl(std::string_view path) {
    return !path.empty() && !IsLocalPath(path) && ::PathIsURLW(ToWide(path).c_str()) != FALSE;
}

constexpr TargetProbe kShellProbe{&ProbeDirectory, &ProbeUnc, &ProbeUrl};

HKEY HiveKey(int hive) {
    switch (hive) {
        case 1:
            return HKEY_CLASSES_ROOT;
        case 2:
            return HKEY_CURRENT_CONFIG;
        case 3:
            return HKEY_CURRENT_USER;
        case 4:
            return HKEY_LOCAL_MACHINE;
        case 5:
            return HKEY_USERS;
        default:
            return nullptr;
    }
}

// Looked up when used, not imported: the program must start on systems that
// lack these exports, where a missing function counts as a failed call.
template <typename Fn>
Fn LookUp(const wchar_t* module, const char* name) {
    HMODULE handle = ::GetModuleHandleW(module);
    if (!handle)
        handle = ::LoadLibraryW(module);  // kernel32/advapi32 stay loaded anyway
    if (!handle)
        return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(handle, name)));
}

using Wow64DisableFn = BOOL(WINAPI*)(PVOID*);
using Wow64RevertFn = BOOL(WINAPI*)(PVOID);
using ReflectionFn = LONG(WINAPI*)(HKEY);

// Reads the whole value; false when it does not exist or cannot be read.
bool QueryValueBytes(HKEY key, const std::wstring& name, std::vector<BYTE>* bytes) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        if (::RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, &size) !=
            ERROR_SUCCESS) {
            return false;
        }
        bytes->assign(size, 0);
        LONG rc = ::RegQueryValueExW(key, name.c_str(), nullptr, nullptr,
                                     bytes->empty() ? nullptr : bytes->data(), &size);
        if (rc == ERROR_SUCCESS) {
            bytes->resize(size);
            return true;
        }
        if (rc != ERROR_MORE_DATA)
            return false;  // the value grew in between: try again
    }
    return false;
}

bool ReadValue(HKEY root, const std::wstring& keyPath, const std::wstring& name,
               std::vector<BYTE>* bytes) {
    if (!IsWow64()) {
        UniqueRegKey key;
        HKEY raw = nullptr;
        if (::RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) {
            return false;
        }
        key.Reset(raw);
        return QueryValueBytes(key.Get(), name, bytes);
    }
    // A 32-bit process on 64-bit Windows reads the 64-bit view, where the
    // shell registers its objects, with redirection and reflection off.
    auto disable = LookUp<Wow64DisableFn>(L"kernel32.dll", "Wow64DisableWow64FsRedirection");
    auto revert = LookUp<Wow64RevertFn>(L"kernel32.dll", "Wow64RevertWow64FsRedirection");
    if (!disable || !revert)
        return false;
    PVOID redirection = nullptr;
    if (!disable(&redirection))
        return false;
    bool ok = false;
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &raw) ==
        ERROR_SUCCESS) {
        UniqueRegKey key(raw);
        auto disableReflection = LookUp<ReflectionFn>(L"advapi32.dll", "RegDisableReflectionKey");
        auto enableReflection = LookUp<ReflectionFn>(L"advapi32.dll", "RegEnableReflectionKey");
        if (disableReflection)
            disableReflection(key.Get());
        ok = QueryValueBytes(key.Get(), name, bytes);
        if (enableReflection)
            enableReflection(key.Get());
    }
    revert(redirection);
    return ok;
}

}  // namespace

TargetKind ClassifyTarget(std::string_view path) {
    return ClassifyTargetWith(path, kShellProbe);
}

TargetKind ClassifyTarget(std::string_view path, bool* exists) {
    *exists = false;
    if (path.empty())
        return ClassifyTargetWith(path, kShellProbe);
    std::wstring wide = ToWide(path);
    bool directory = false;
    if (::PathIsUNCServerW(wide.c_str()) || ::PathIsUNCServerShareW(wide.c_str())) {
        // Network roots have rules of their own in the shell's folder test.
        directory = ::PathIsDirectoryW(wide.c_str()) != FALSE;
        *exists = directory;
    } else {
        // What PathIsDirectoryW asks for every other path.
        DWORD attributes = ::GetFileAttributesW(wide.c_str());
        *exists = attributes != INVALID_FILE_ATTRIBUTES;
        directory = *exists && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    if (directory)
        return TargetKind{TargetKindId::kFolder, "folder"};
    return ClassifyTargetText(path);
}

TargetKind ClassifyTargetText(std::string_view path) {
    constexpr TargetProbe kNoFolder{nullptr, &ProbeUnc, &ProbeUrl};
    return ClassifyTargetWith(path, kNoFolder);
}

std::string DefaultWorkDir(std::string_view path) {
    return DefaultWorkDirFor(path, ClassifyTarget(path).id);
}

bool IsWow64() {
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

bool PathExists(std::string_view path) {
    return !path.empty() && ::GetFileAttributesW(ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadRegistryText(int hive, std::string_view keyAndValue, std::string_view defaultText) {
    HKEY root = HiveKey(hive);
    if (!root)
        return std::string(defaultText);
    size_t split = keyAndValue.rfind('\\');
    std::string_view keyPath =
        split == std::string_view::npos ? std::string_view() : keyAndValue.substr(0, split);
    std::string_view name =
        split == std::string_view::npos ? keyAndValue : keyAndValue.substr(split + 1);
    std::vector<BYTE> bytes;
    if (!ReadValue(root, ToWide(keyPath), ToWide(name), &bytes))
        return std::string(defaultText);
    // The bytes are UTF-16 text whatever the value's type says; a value
    // written without its terminating zero, or with an odd length, is fine.
    std::u16string text(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    size_t end = text.find(u'\0');
    if (end != std::u16string::npos)
        text.resize(end);
    return WideToUtf8(text);
}

bool GetShellObjectInfo(std::string_view path, ShellObjectInfo* info) {
    ShellObjectInfo result;
    std::string_view clsid;
    if (!ShellObjectClsid(path, &clsid)) {
        if (info)
            *info = result;
        return false;
    }
    std::string base = "CLSID\\" + std::string(clsid);
    auto resolve = [](const std::string& raw) -> std::string {
        if (raw.empty())
            return {};
        // Usually "@file,-id"; a plain text is copied as it is.
        wchar_t buffer[512] = {};
        std::wstring source = ToWide(raw);
        if (FAILED(::SHLoadIndirectString(source.c_str(), buffer, 512, nullptr)))
            return {};
        buffer[511] = L'\0';
        return FromWide(buffer);
    };
    result.displayName = resolve(ReadRegistryText(1, base + "\\LocalizedString", ""));
    result.infoTip = resolve(ReadRegistryText(1, base + "\\InfoTip", ""));
    result.defaultIcon = ReadRegistryText(1, base + "\\DefaultIcon\\", "");
    if (info)
        *info = std::move(result);
    return true;
}

std::string ExpandPathVariables(std::string_view text) {
    std::string source(text);
    if (IsWow64()) {
        // Icon locations written by 64-bit installers mean the 64-bit folders.
        source = ReplaceAllNoCase(source, "%ProgramFiles%", "%ProgramW6432%");
        source = ReplaceAllNoCase(source, "%CommonProgramFiles%", "%CommonProgramW6432%");
    }
    std::wstring wide = ToWide(source);
    DWORD needed = ::ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
    if (needed == 0)
        return source;
    std::wstring out(needed, L'\0');
    DWORD written = ::ExpandEnvironmentStringsW(wide.c_str(), out.data(), needed);
    if (written == 0 || written > needed)
        return source;
    out.resize(written - 1);
    return FromWide(out);
}

bool IsNetworkPath(std::string_view path) {
    if (path.size() >= 2 && (path[0] == '\\' || path[0] == '/') &&
        (path[1] == '\\' || path[1] == '/'))
        return true;
    if (path.size() < 2 || path[1] != ':')
        return false;
    const char upper = static_cast<char>(path[0] & ~0x20);
    if (upper < 'A' || upper > 'Z')
        return false;
    // GetDriveTypeW reads the local mapping table; the share behind a mapped
    // letter is not asked. A letter mapped later in the run is not seen, as
    // Explorer does not either until it looks again.
    static std::mutex mutex;
    static signed char remote[26] = {};  // 0 not asked, 1 remote, -1 local
    std::lock_guard<std::mutex> lock(mutex);
    signed char& known = remote[upper - 'A'];
    if (known == 0) {
        const wchar_t root[] = {static_cast<wchar_t>(upper), L':', L'\\', 0};
        known = ::GetDriveTypeW(root) == DRIVE_REMOTE ? 1 : -1;
    }
    return known > 0;
}

}  // namespace pt
