// The rules of the item properties dialog; see item_properties.h.
#include "panel/item_properties.h"

#include "launcher/cipher.h"
#include "launcher/drop_import.h"
#include "launcher/item_cipher.h"

namespace pt {
namespace {

bool Locked(TargetKindId kind) {
    return kind == TargetKindId::kShell || kind == TargetKindId::kEncrypt;
}

std::string WithoutTrailingBackslash(std::string text) {
    RemoveTrailingBackslash(text);
    return text;
}

}  // namespace

std::string OpeningIconSource(const ItemRecord& record) {
    std::string source = record.icon.empty() ? record.path : record.icon;
    if (source.substr(0, kEncryptPrefix.size()) == kEncryptPrefix)
        source = CipherDecode(AfterEncryptPrefix(source), kIconCipherKey);
    return WithoutTrailingBackslash(std::move(source));
}

bool ElevationAllowed(const TargetKind& kind) {
    return kind.id == TargetKindId::kExtension && EqualsNoCase(kind.text, ".exe");
}

PropertiesForm OpeningForm(const ItemRecord& record, const TargetKind& kind) {
    PropertiesForm form;
    form.name = record.name;
    form.remarks = record.remarks;
    form.elevated = record.isAdministrator;
    form.elevationEnabled = ElevationAllowed(kind);
    form.defaultIconEnabled = kind.id != TargetKindId::kEncrypt;
    form.targetLocked = Locked(kind.id);
    if (kind.id == TargetKindId::kShell) {
        const size_t at = record.path.rfind("::");
        form.targetHint = at == std::string::npos ? record.path : record.path.substr(at + 2);
        form.startFolderHint = kUnavailableHint;
        form.paramHint = kUnavailableHint;
    } else if (kind.id == TargetKindId::kEncrypt) {
        form.targetHint = form.startFolderHint = form.paramHint = kEncipheredHint;
    } else {
        form.target = record.path;
        form.startFolder =
            record.workDir.empty() ? DefaultWorkDirFor(record.path, kind.id) : record.workDir;
        form.param = record.param;
    }
    return form;
}

TargetFollowers FollowTarget(std::string_view target, const TargetKind& kind,
                             std::string_view folderIcon) {
    TargetFollowers out;
    out.name =
        DisplayNameFromPathAs(target, kind.id == TargetKindId::kUrl, kind.id == TargetKindId::kUnc);
    out.startFolder = DefaultWorkDirFor(target, kind.id);
    out.iconSource = WithoutTrailingBackslash(DefaultIconSourceFor(target, kind.id, folderIcon));
    out.elevationEnabled = ElevationAllowed(kind);
    return out;
}

std::optional<ItemRecord> PropertiesRecord(const ItemRecord& stored, const TargetKind& openingKind,
                                           const PropertiesForm& form, const TargetKind& targetKind,
                                           std::string_view openingIcon,
                                           std::string_view currentIcon) {
    // Trimmed as the next load would trim them, so what is written is what
    // is read back; a target of spaces alone is no target.
    PropertiesForm typed = form;
    for (std::string* text :
         {&typed.name, &typed.target, &typed.startFolder, &typed.param, &typed.remarks}) {
        *text = TrimSpaces(*text);
    }
    ItemRecord out;
    TargetKindId kind = targetKind.id;
    if (typed.target.empty()) {
        if (!Locked(openingKind.id))
            return std::nullopt;
        out.type = stored.type;
        out.path = stored.path;
        kind = openingKind.id;
    } else {
        out.type = targetKind.text;
        out.path = typed.target;
    }
    // An emptied name keeps the stored one: a locked target has no text to
    // name it after, and an ordinary item keeps its name anyway.
    out.name = typed.name.empty() ? stored.name : typed.name;
    if (out.name.empty())
        out.name =
            DisplayNameFromPathAs(out.path, kind == TargetKindId::kUrl, kind == TargetKindId::kUnc);
    std::string startFolder;
    if (kind == TargetKindId::kEncrypt) {
        startFolder = stored.workDir;
        out.param = stored.param;
    } else {
        startFolder = typed.startFolder;
        out.param = typed.param;
    }
    RemoveTrailingBackslash(out.path);
    RemoveTrailingBackslash(startFolder);
    if (!startFolder.empty() && !EqualsNoCase(startFolder, DefaultWorkDirFor(out.path, kind)))
        out.workDir = std::move(startFolder);
    out.remarks = typed.remarks;
    out.isAdministrator = typed.elevated;
    std::string icon(currentIcon);
    if (kind == TargetKindId::kEncrypt)
        icon =
            EqualsNoCase(currentIcon, openingIcon) ? stored.icon : EncipherIconSource(currentIcon);
    if (!EqualsNoCase(icon, out.path))
        out.icon = std::move(icon);
    return out;
}

IconPickerStart PickerStartFor(std::string_view file, int index, bool fileExists, bool isFolder) {
    const std::string_view extension = FindExtension(file);
    const bool iconFile = EqualsNoCase(extension, ".exe") || EqualsNoCase(extension, ".dll") ||
                          EqualsNoCase(extension, ".ico");
    if (fileExists && iconFile && !isFolder)
        return IconPickerStart{std::string(file), index};
    return IconPickerStart{std::string(kShellIconLibrary), isFolder ? 3 : 0};
}

}  // namespace pt
