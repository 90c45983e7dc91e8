// Tooltip, name colour and stand-in kind of a grid entry; see grid_entry.h.
#include "launcher/grid_entry.h"

#include "launcher/cipher.h"

namespace pt {

std::string GridEntryTooltip(std::string_view name, std::string_view path, std::string_view param,
                             std::string_view remarks, TargetKindId kind) {
    std::string text = "文件名：";
    text.append(name);
    text.append("\r\n位置：");
    if (kind == TargetKindId::kShell) {
        size_t at = path.rfind("::");
        text.append(at == std::string_view::npos ? path : path.substr(at + 2));
    } else if (kind == TargetKindId::kEncrypt) {
        text.append("数据已加密");
    } else {
        text.append(path);
    }
    if (!param.empty()) {
        text.append("\r\n参数：");
        text.append(param);
    }
    if (!remarks.empty()) {
        text.append("\r\n备注：");
        text.append(remarks);
    }
    return text;
}

std::string GridIconSource(std::string_view icon, std::string_view path) {
    std::string_view source = icon.empty() ? path : icon;
    // An existing folder cannot be named "encrypt:...", so the prefix alone
    // tells the kind without asking the file system.
    if (source.substr(0, kEncryptPrefix.size()) == kEncryptPrefix)
        return CipherDecode(AfterEncryptPrefix(source), kIconCipherKey);
    return std::string(source);
}

IconPlaceholderKind PlaceholderKindOfType(std::string_view type) {
    if (type == "folder" || type == "unc")
        return IconPlaceholderKind::kFolder;
    if (type == "url")
        return IconPlaceholderKind::kWeb;
    return IconPlaceholderKind::kFile;
}

GridTextColor GridEntryTextColorFor(std::string_view path, TargetKindId kind, bool exists) {
    if (IsLocalPath(path) && !exists)
        return GridTextColor::kMissing;
    if (kind == TargetKindId::kEncrypt)
        return GridTextColor::kEnciphered;
    return GridTextColor::kNormal;
}

}  // namespace pt
