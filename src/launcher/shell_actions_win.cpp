// The shell's context menu, the folder window and the desktop folder; see
// shell_actions.h.
#include "launcher/shell_actions.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <shobjidl.h>

#include "base/text.h"
#include "base/win_handles.h"
#include "launcher/launch.h"
#include "launcher/target.h"

namespace pt {

int ShowShellContextMenu(HWND owner, std::string_view path, const POINT* at) {
    const std::wstring widePath = ToWide(path);
    if (widePath.empty() || !::PathFileExistsW(widePath.c_str()))
        return -1;
    ScopedCom com;
    PIDLIST_ABSOLUTE rawList = nullptr;
    if (FAILED(::SHParseDisplayName(widePath.c_str(), nullptr, &rawList, 0, nullptr)) || !rawList)
        return -1;
    UniqueCoTaskMemory list(rawList);
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD child = nullptr;
    if (FAILED(::SHBindToParent(rawList, IID_IShellFolder, parent.PutVoid(), &child)) || !parent)
        return -1;
    ComPtr<IContextMenu> menu;
    if (FAILED(
            parent->GetUIObjectOf(nullptr, 1, &child, IID_IContextMenu, nullptr, menu.PutVoid())) ||
        !menu) {
        return -1;
    }
    UniqueMenu popup(::CreatePopupMenu());
    if (!popup || FAILED(menu->QueryContextMenu(popup.Get(), 0, 1, 0x7FFF, CMF_EXPLORE)))
        return -1;
    POINT point{};
    if (at)
        point = *at;
    else
        ::GetCursorPos(&point);
    const int chosen = static_cast<int>(::TrackPopupMenuEx(
        popup.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, owner, nullptr));
    if (chosen > 0) {
        CMINVOKECOMMANDINFO invoke{};
        invoke.cbSize = sizeof(invoke);
        invoke.hwnd = owner;
        invoke.lpVerb = MAKEINTRESOURCEA(chosen - 1);
        invoke.nShow = SW_SHOWNORMAL;
        menu->InvokeCommand(&invoke);
    }
    return chosen;
}

std::string OpenContainingFolder(std::string_view path) {
    const std::wstring widePath = ToWide(TrimSpaces(path));
    if (widePath.empty() || !::PathFileExistsW(widePath.c_str()))
        return kFileOrPathNotFound;
    ScopedCom com;
    UniqueCoTaskMemory list(::ILCreateFromPathW(widePath.c_str()));
    if (!list)
        return kBadIdList;
    const HRESULT hr =
        ::SHOpenFolderAndSelectItems(static_cast<PCIDLIST_ABSOLUTE>(list.Get()), 0, nullptr, 0);
    if (FAILED(hr))
        return HresultErrorText(static_cast<int32_t>(hr));
    return {};
}

bool GetDesktopFolder(std::string* folder) {
    PWSTR raw = nullptr;
    const HRESULT hr = ::SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &raw);
    UniqueCoTaskMemory owned(raw);
    if (FAILED(hr) || !raw)
        return false;
    *folder = FromWide(raw);
    return !folder->empty();
}

}  // namespace pt
