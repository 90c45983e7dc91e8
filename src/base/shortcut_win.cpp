// Shortcut files through the shell link object (IShellLinkW + IPersistFile).
// The shell link interfaces are used rather than the "WScript.Shell"
// automation object: they give the same file, take Unicode paths directly,
// and they are the only way that works everywhere we test (Wine's automation
// object cannot set or read a hotkey and cannot load an existing shortcut).
#include "base/shortcut.h"

#include "base/text.h"
#include "base/win_handles.h"
#include "base/hotkey_text.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

namespace pt {
namespace {

// Link texts can exceed MAX_PATH (arguments, descriptions up to INFOTIPSIZE,
// long target paths); one generous buffer covers every getter.
constexpr int kLinkTextChars = 32768;

bool IsWow64() {
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

std::string EnvironmentVariable(const wchar_t* name) {
    DWORD size = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return {};
    std::wstring value(size, L'\0');
    size = ::GetEnvironmentVariableW(name, value.data(), size);
    value.resize(size);
    return FromWide(value);
}

ComPtr<IShellLinkW> CreateShellLink() {
    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.PutVoid()))) {
        link.Reset();
    }
    return link;
}

}  // namespace

bool ReadShortcut(std::string_view linkFile, ShortcutRecord* record) {
    ScopedCom com;
    ComPtr<IShellLinkW> link = CreateShellLink();
    if (!link)
        return false;
    ComPtr<IPersistFile> file = link.As<IPersistFile>(IID_IPersistFile);
    if (!file || FAILED(file->Load(ToWide(linkFile).c_str(), STGM_READ)))
        return false;

    std::vector<wchar_t> buffer(kLinkTextChars);
    auto text = [&](auto getter) {
        buffer[0] = L'\0';
        if (FAILED(getter()))
            return std::string();
        buffer.back() = L'\0';
        return FromWide(buffer.data());
    };
    ShortcutRecord result;
    result.linkFile = std::string(linkFile);
    result.targetPath =
        text([&] { return link->GetPath(buffer.data(), kLinkTextChars, nullptr, 0); });
    if (result.targetPath.empty())
        return false;
    result.arguments = text([&] { return link->GetArguments(buffer.data(), kLinkTextChars); });
    result.workingDirectory =
        text([&] { return link->GetWorkingDirectory(buffer.data(), kLinkTextChars); });
    result.description = text([&] { return link->GetDescription(buffer.data(), kLinkTextChars); });
    int iconIndex = 0;
    std::string iconFile =
        text([&] { return link->GetIconLocation(buffer.data(), kLinkTextChars, &iconIndex); });
    // Icon locations written by 64-bit installers name the 64-bit program
    // folder through the variable, which a 32-bit process would otherwise
    // resolve to "Program Files (x86)".
    result.iconLocation = ReplaceProgramFilesVariable(
        JoinIconLocation(iconFile, iconIndex),
        EnvironmentVariable(IsWow64() ? L"ProgramW6432" : L"ProgramFiles"));
    WORD hotkey = 0;
    if (SUCCEEDED(link->GetHotkey(&hotkey)))
        result.hotkey = LinkHotkeyText(hotkey);
    int showCommand = 0;
    if (SUCCEEDED(link->GetShowCmd(&showCommand)))
        result.windowStyle = showCommand;
    *record = std::move(result);
    return true;
}

bool WriteShortcut(const ShortcutRecord& record, int32_t* failure) {
    const std::wstring linkFile = ToWide(LinkFileWithExtension(record.linkFile));
    ScopedCom com;
    int32_t firstFailure = 0;
    if (!failure)
        failure = &firstFailure;
    *failure = 0;
    ComPtr<IShellLinkW> link = CreateShellLink();
    if (!link) {
        *failure = static_cast<int32_t>(REGDB_E_CLASSNOTREG);
        return false;
    }

    bool ok = true;
    auto check = [&](HRESULT hr) {
        if (FAILED(hr) && *failure == 0)
            *failure = static_cast<int32_t>(hr);
        ok = ok && SUCCEEDED(hr);
    };
    check(link->SetArguments(ToWide(record.arguments).c_str()));
    check(link->SetDescription(ToWide(record.description).c_str()));
    uint16_t hotkey = 0;
    if (ParseLinkHotkeyText(record.hotkey, &hotkey)) {
        check(link->SetHotkey(hotkey));
    } else {
        ok = false;
    }
    std::string iconFile;
    int iconIndex = 0;
    SplitShortcutIconLocation(record.iconLocation, &iconFile, &iconIndex);
    check(link->SetIconLocation(ToWide(iconFile).c_str(), iconIndex));
    check(link->SetPath(ToWide(record.targetPath).c_str()));
    check(link->SetShowCmd(record.windowStyle));
    check(link->SetWorkingDirectory(ToWide(record.workingDirectory).c_str()));

    ComPtr<IPersistFile> file = link.As<IPersistFile>(IID_IPersistFile);
    if (!file) {
        check(E_NOINTERFACE);
        return false;
    }
    check(file->Save(linkFile.c_str(), TRUE));
    return ok;
}

}  // namespace pt
