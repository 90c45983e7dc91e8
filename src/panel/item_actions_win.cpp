// Starting items, the item menu and its commands; see item_actions.h.
#include "panel/item_actions.h"

#include <utility>

#include "base/system_error.h"
#include "base/text.h"
#include "launcher/cipher.h"
#include "launcher/item_cipher.h"
#include "launcher/launch.h"
#include "launcher/shell_actions.h"
#include "launcher/target.h"
#include "panel/item_menu.h"
#include "panel/item_properties_dialog.h"
#include "panel/menu_presenter.h"
#include "panel/panel_window.h"
#include "settings/settings_store.h"
#include "base/shortcut.h"
#include "settings/autostart.h"
#include "toolkit/clipboard.h"
#include "toolkit/list_view.h"
#include "toolkit/property_table.h"

namespace pt {
namespace {

std::string Decipher(std::string_view value, std::string_view key) {
    const std::string_view text = AfterEncryptPrefix(value);
    return text.empty() ? std::string() : CipherDecode(text, key);
}

// Keeps the panel where it is while the shell's menu tracks: the edge
// watcher leaves a disabled panel alone, and bSkipTimer tells it so too
// once the panel is enabled again, until the mouse leaves.
class SuspendAutoHide {
  public:
    explicit SuspendAutoHide(HWND panel) : panel_(panel) {
        if (!panel_)
            return;
        skipped_ = GetWindowFlag(panel_, "bSkipTimer");
        SetWindowFlag(panel_, "bSkipTimer", true);
        wasEnabled_ = !::EnableWindow(panel_, FALSE);
    }
    ~SuspendAutoHide() {
        if (!panel_)
            return;
        if (wasEnabled_)
            ::EnableWindow(panel_, TRUE);
        SetWindowFlag(panel_, "bSkipTimer", skipped_);
    }
    SuspendAutoHide(const SuspendAutoHide&) = delete;
    SuspendAutoHide& operator=(const SuspendAutoHide&) = delete;

  private:
    HWND panel_;
    bool skipped_ = false;
    bool wasEnabled_ = false;
};

// Whether the item a dialog was opened for is still the one at its place
// when the dialog ends. Verification may have refreshed its type or icon
// meanwhile (its timer runs in the dialog's loop too); that is still the
// same item.
bool SameItem(const std::optional<ItemRecord>& now, const ItemRecord& asked) {
    return now && now->name == asked.name && now->path == asked.path;
}

}  // namespace

ItemActions::ItemActions(ItemActionServices services)
    : services_(std::move(services)), runner_(services_.shellCall) {}

void ItemActions::Activate(int c, int g, int i, bool doubleClick) {
    if (services_.settings->GetDoubleClick() == doubleClick)
        RunItem(c, g, i);
}

void ItemActions::RunItem(int c, int g, int i) {
    const std::optional<ItemRecord> record = services_.data->Item(c, g, i);
    if (!record)
        return;
    LaunchRequest request{record->path, record->param, record->workDir,
                          record->isAdministrator ? "runas" : "open", true};
    if (ClassifyTargetText(record->path).id == TargetKindId::kEncrypt) {
        const std::optional<std::string> key = services_.askKey ? services_.askKey() : std::nullopt;
        if (!key || key->empty())
            return;
        request.file = Decipher(record->path, *key);
        if (request.file.empty()) {
            Error(kWrongKey);
            return;
        }
        request.parameters = Decipher(record->param, *key);
        request.directory = Decipher(record->workDir, *key);
    }
    Launch(request);
}

void ItemActions::Launch(const LaunchRequest& request) {
    runner_.Start(request, [this](int64_t result) {
        if (result > 32)
            HideAfterExec();
        else
            Error(LaunchErrorText(result));
    });
}

void ItemActions::HideAfterExec() {
    if (!services_.settings->GetHideAfterExec())
        return;
    if (services_.hidePanel) {
        services_.hidePanel();
        return;
    }
    // The panel's one show/hide request, so a docked panel slides away as
    // it does for every other hide; a hidden panel must not toggle back.
    const HWND panel = PanelHandle();
    if (panel && GetWindowFlag(panel, "bDockShow"))
        ::PostMessageW(panel, WM_USER, 1, kToggle);
}

void ItemActions::Error(const std::string& text) const {
    if (services_.showError)
        services_.showError(text);
}

HWND ItemActions::Owner(const ListView* list) const {
    if (list && list->OwnerWindow())
        return list->OwnerWindow()->Hwnd();
    return PanelHandle();
}

std::vector<ContentMenuEntry> ItemActions::Menu(int c, int g, int i) const {
    const std::optional<ItemRecord> record = services_.data->Item(c, g, i);
    return record ? ItemMenu(record->type, record->path) : std::vector<ContentMenuEntry>{};
}

void ItemActions::RightRelease(ListView& list, int c, int g, int i) {
    const std::optional<ItemRecord> record = services_.data->Item(c, g, i);
    if (!record)
        return;
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    if (shift && services_.settings->GetShiftShowMenu() && IsLocalPath(record->path)) {
        if (!PathExists(record->path)) {
            Error(kFileNotFound);
            return;
        }
        const HWND owner = Owner(&list);
        SuspendAutoHide suspend(owner);
        ShowShellContextMenu(owner, record->path, nullptr);
        return;
    }
    POINT screen{};
    ::GetCursorPos(&screen);
    std::vector<ContentMenuEntry> menu = ItemMenu(record->type, record->path);
    // The answer must act on the item the menu was opened for: if the grid
    // changed while the menu was open, the command finds another item there
    // and does nothing.
    ListView* target = &list;
    auto chosen = [this, target, c, g, i, opened = *record](int id) {
        if (services_.data->Item(c, g, i) == opened)
            RunItemCommand(*target, c, g, i, id);
    };
    if (services_.showMenu) {
        services_.showMenu(menu, screen, std::move(chosen));
        return;
    }
    ShowPanelMenu(list, menu, screen, std::move(chosen));
}

void ItemActions::RunItemCommand(ListView& list, int c, int g, int i, int id) {
    const std::optional<ItemRecord> found = services_.data->Item(c, g, i);
    if (!found)
        return;
    const ItemRecord& record = *found;
    switch (id) {
        case kItemRunAsAdmin:
            // No key is asked: an enciphered path reaches the shell as
            // stored and fails there with the shell's own error.
            Launch(LaunchRequest{record.path, record.param, record.workDir, "runas", true});
            return;
        case kItemOpenLocation: {
            const std::string error = OpenContainingFolder(record.path);
            if (error.empty())
                HideAfterExec();
            else
                Error(error);
            return;
        }
        case kItemOpenWith:
            if (!PathExists(record.path)) {
                Error(kFileNotFound);
                return;
            }
            Launch(LaunchRequest{"rundll32.exe", "shell32.dll,OpenAs_RunDLL " + record.path, "",
                                 "open", false});
            return;
        case kItemShellMenu: {
            if (!PathExists(record.path)) {
                Error(kFileNotFound);
                return;
            }
            const Rect cell = list.ItemScreenRect(ListIndex{0, i});
            const POINT centre{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
            const HWND owner = Owner(&list);
            SuspendAutoHide suspend(owner);
            ShowShellContextMenu(owner, record.path, &centre);
            return;
        }
        case kItemCopyPath:
            SetClipboardText(Owner(&list), record.path);
            return;
        case kItemDesktopLink:
            CreateDesktopShortcut(record);
            return;
        case kItemDelete:
            if (services_.confirm && !services_.confirm(kConfirmDeleteItem + record.name))
                return;
            // The menu was answered after the question: the item must still
            // be the one asked about.
            if (services_.data->Item(c, g, i) == found)
                services_.data->DeleteItem(c, g, i);
            return;
        case kItemCipher:
            ToggleCipher(c, g, i, record);
            return;
        case kItemProperties:
            EditProperties(Owner(&list), c, g, i, record);
            return;
        default:
            return;
    }
}

void ItemActions::ToggleCipher(int c, int g, int i, const ItemRecord& asked) {
    const std::optional<std::string> key = services_.askKey ? services_.askKey() : std::nullopt;
    if (!key || key->empty())
        return;
    const std::optional<ItemRecord> now = services_.data->Item(c, g, i);
    if (!SameItem(now, asked))
        return;
    const ItemRecord& record = *now;
    if (record.type != "encrypt") {
        services_.data->ReplaceItem(c, g, i, EncipherItem(record, *key));
        if (services_.showNotice)
            services_.showNotice(EncipheredNotice(*key));
        return;
    }
    const std::optional<ItemRecord> plain =
        DecipherItem(record, *key, [](std::string_view path) { return ClassifyTarget(path).text; });
    if (!plain) {
        Error(kWrongKey);
        return;
    }
    services_.data->ReplaceItem(c, g, i, *plain);
}

void ItemActions::EditProperties(HWND owner, int c, int g, int i, const ItemRecord& record) {
    const std::optional<ItemRecord> edited =
        ShowItemProperties(owner, record, services_.icons, services_.pickers);
    // The system's file dialogs may have moved the working directory, and
    // data\ and the plug-ins are found from it.
    const std::string exe = RunningExePath();
    const size_t cut = exe.rfind('\\');
    if (cut != std::string::npos)
        ::SetCurrentDirectoryW(ToWide(exe.substr(0, cut)).c_str());
    if (edited && SameItem(services_.data->Item(c, g, i), record))
        services_.data->ReplaceItem(c, g, i, *edited);
}

void ItemActions::CreateDesktopShortcut(const ItemRecord& record) {
    std::string desktop;
    if (!GetDesktopFolder(&desktop)) {
        Error(kNoDesktopFolder);
        return;
    }
    const std::string base = desktop + "\\" + ShortcutBaseName(record.name);
    if (record.type == "url") {
        uint32_t error = 0;
        if (!WriteInternetShortcut(base + ".url", record.path, record.icon, &error))
            Error(kShortcutFailed + SystemErrorText(error));
        return;
    }
    ShortcutRecord link;
    link.linkFile = base;
    link.targetPath = record.path;
    link.arguments = record.param;
    link.workingDirectory = record.workDir;
    link.description = record.remarks;
    link.iconLocation = record.icon;
    int32_t failure = 0;
    if (!WriteShortcut(link, &failure))
        Error(kShortcutFailed + SystemErrorText(static_cast<uint32_t>(failure)));
}

}  // namespace pt
