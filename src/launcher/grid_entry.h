// What a grid entry shows besides its icon: the tooltip text, the colour of
// its name and the kind of stand-in it shows while its icon is not in, all
// derived from the item's record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "launcher/target.h"

namespace pt {

// "文件名：name\r\n位置：where" with "\r\n参数：…" and "\r\n备注：…" when not
// empty; a shell object shows the text after its last "::", an enciphered
// target only "数据已加密".
std::string GridEntryTooltip(std::string_view name, std::string_view path, std::string_view param,
                             std::string_view remarks, TargetKindId kind);

enum class GridTextColor {
    kNormal,      // the grid's own colour
    kMissing,     // a drive path that does not exist
    kEnciphered,  // an enciphered target
};
// COLORREF values (0x00BBGGRR) of the two special colours.
inline constexpr uint32_t kMissingTextColor = 0x00C0C0C0;     // RGB(192,192,192)
inline constexpr uint32_t kEncipheredTextColor = 0x00FF8800;  // RGB(0,136,255)

// The icon source a grid entry shows and keeps: the item's icon, or its path
// when it has none; an enciphered one deciphered with the built-in icon key.
std::string GridIconSource(std::string_view icon, std::string_view path);

// The drawn stand-in of a cell whose image is not in yet.
enum class IconPlaceholderKind { kFile, kFolder, kWeb };

// The kind for an item's stored "type" ("folder", "url", "unc", ".exe", ...).
IconPlaceholderKind PlaceholderKindOfType(std::string_view type);

GridTextColor GridEntryTextColorFor(std::string_view path, TargetKindId kind, bool exists);

#ifdef _WIN32
// Classifies the path and asks the file system.
GridTextColor GridEntryTextColor(std::string_view path);
#endif

}  // namespace pt
