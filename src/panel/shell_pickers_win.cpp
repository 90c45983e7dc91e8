// The system choosers; see shell_pickers.h.
#include "panel/shell_pickers.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <vector>

#include "base/text.h"
#include "base/win_handles.h"

namespace pt {
namespace {

std::optional<std::string> RunOpenDialog(HWND owner, bool folders, std::string_view start) {
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IFileOpenDialog, dialog.PutVoid()))) {
        return std::nullopt;
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    // The dialog must not move the process's working directory: data\ is
    // found relative to it.
    options |= FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR;
    if (folders) {
        options |= FOS_PICKFOLDERS;
    } else {
        static const COMDLG_FILTERSPEC kAll{L"所有文件(*.*)", L"*.*"};
        dialog->SetFileTypes(1, &kAll);
        dialog->SetTitle(L"打开");
    }
    dialog->SetOptions(options);
    if (!start.empty()) {
        ComPtr<IShellItem> folder;
        if (SUCCEEDED(::SHCreateItemFromParsingName(ToWide(start).c_str(), nullptr, IID_IShellItem,
                                                    folder.PutVoid()))) {
            dialog->SetFolder(folder.Get());
        }
    }
    if (FAILED(dialog->Show(owner)))
        return std::nullopt;
    ComPtr<IShellItem> chosen;
    if (FAILED(dialog->GetResult(chosen.Put())))
        return std::nullopt;
    PWSTR name = nullptr;
    if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &name)) || !name)
        return std::nullopt;
    UniqueCoTaskMemory owned(name);
    return FromWide(name);
}

}  // namespace

std::optional<std::string> PickFileToOpen(HWND owner) {
    return RunOpenDialog(owner, false, {});
}

std::optional<std::string> PickFolder(HWND owner, std::string_view start) {
    return RunOpenDialog(owner, true, start);
}

std::optional<PickedIcon> PickIcon(HWND owner, std::string_view file, int index) {
    // The buffer holds a long path: the picker writes the chosen file's
    // full name back into it.
    std::vector<wchar_t> buffer(32768, L'\0');
    const std::wstring wide = ToWide(file);
    wide.copy(buffer.data(), std::min(wide.size(), buffer.size() - 1));
    int chosen = index;
    if (!::PickIconDlg(owner, buffer.data(), static_cast<UINT>(buffer.size()), &chosen))
        return std::nullopt;
    return PickedIcon{FromWide(buffer.data()), chosen};
}

}  // namespace pt
