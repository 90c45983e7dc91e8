// The rules of the item properties dialog, apart from its window: what the
// rows show when it opens (texts, grey hints, which rows are read-only),
// what an edit of the target does to the other rows, where the icon picker
// starts, and the record that "确定" writes. Classification and the disk
// stay with the caller: each rule takes the kinds it needs.
//
// A shell object or an enciphered item cannot have its target, start folder
// or parameters edited: those rows stay empty, show a grey hint, and the
// record keeps what it stored for them (an enciphered item its enciphered
// values; a shell object has no start folder or parameters).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "launcher/launcher_data.h"
#include "launcher/target.h"

namespace pt {

inline constexpr char kPropertiesTitle[] = "属性";
inline constexpr char kEncipheredHint[] = "数据已加密";
inline constexpr char kUnavailableHint[] = "不可用";

// What the rows hold: edit texts, hints shown while an edit is empty, the
// elevation box and the buttons that depend on the kind.
struct PropertiesForm {
    std::string name;
    std::string target;
    std::string startFolder;
    std::string param;
    std::string remarks;
    std::string targetHint;
    std::string startFolderHint;
    std::string paramHint;
    bool targetLocked = false;  // target, start folder, parameters read-only; no "浏览"
    bool elevationEnabled = false;
    bool elevated = false;
    bool defaultIconEnabled = true;
};

// The icon source the preview opens with: the item's icon, else its path;
// an enciphered one deciphered with the built-in icon key; one trailing
// backslash removed.
std::string OpeningIconSource(const ItemRecord& record);

// The rows as the dialog opens on `record`, whose path is of kind `kind`.
PropertiesForm OpeningForm(const ItemRecord& record, const TargetKind& kind);

// The elevation box is for programs only.
bool ElevationAllowed(const TargetKind& kind);

// The target edit now holds `target`, of kind `kind`; `folderIcon` is its
// desktop.ini icon when it is a folder with one (else ""). The name, the
// start folder and the preview's icon source follow the target; the
// elevation box is unchecked.
struct TargetFollowers {
    std::string name;
    std::string startFolder;
    std::string iconSource;
    bool elevationEnabled = false;
};
TargetFollowers FollowTarget(std::string_view target, const TargetKind& kind,
                             std::string_view folderIcon);

// The record "确定" writes, keys in canonical order, or nothing when the
// target of an ordinary item is empty (the dialog stays open then). The
// texts are taken without leading and trailing spaces.
// `openingKind` is the kind of the stored path, `targetKind` that of
// form.target (unused when it is empty); the icon sources are those the
// preview opened with and shows now.
std::optional<ItemRecord> PropertiesRecord(const ItemRecord& stored, const TargetKind& openingKind,
                                           const PropertiesForm& form, const TargetKind& targetKind,
                                           std::string_view openingIcon,
                                           std::string_view currentIcon);

// Where the system icon picker starts for an icon source whose file
// (variables expanded) is `file`: the file and its index when it exists
// and is a program, library or icon file; else the shell's own icon
// library, at its folder icon when the source is a folder.
struct IconPickerStart {
    std::string file;
    int index = 0;
};
IconPickerStart PickerStartFor(std::string_view file, int index, bool fileExists, bool isFolder);

inline constexpr std::string_view kShellIconLibrary = "%SystemRoot%\\system32\\shell32.dll";

}  // namespace pt
