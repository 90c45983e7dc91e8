// The skin window's table of 28 background colours. Each entry is kept as the
// one text it has always been stored as, "name,colour" with the colour a
// signed decimal ABGR value (-657931 is 0xFFF5F5F5); the window splits it
// when it builds its list. Also the colours of the text drawn on a swatch,
// which must stay readable on the dark ones. Pure.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/color.h"

namespace pt {

inline constexpr std::array<std::string_view, 28> kSkinTable = {
    "简约白,-657931",    "深空灰,-9345434",     "自然绿,-9915902",     "中国红,-12366369",
    "浅绿,-3881616",     "深蓝,-2258392",       "玫红,-8297755",       "紫色,-6267815",
    "粉晶,-3552521",     "节日,-13483555",      "灿绿,-11286663",      "草木绿,-11816568",
    "樱草黄,-10956042",  "火焰红,-13805841",    "臻果褐,-7032879",     "静谧蓝,-3102575",
    "桃杏色,-9733897",   "帽贝蓝,-2171496",     "冰咖啡,-9793615",     "暗黑无界,-11584460",
    "青金石蓝,-7713780", "蓍草粉红,-9031471",   "尼加拉蓝,-6125739",   "金盏花黄,-12787462",
    "浅紫灰色,-5990760", "淡山茱萸粉,-3813649", "岛屿天堂蓝,-2042473", "羽衣甘蓝绿,-12029604",
};

struct SkinChoice {
    std::string name;
    Color color = 0;
};

// Splits "name,colour" at its first comma. A colour that is not a whole
// signed 32-bit decimal number gives 0 (which no entry uses).
SkinChoice ParseSkinEntry(std::string_view stored);
// Every entry of the table, split, in table order.
const std::vector<SkinChoice>& SkinChoices();
// The index of the first entry of `color`; -1 when no entry has it.
int SkinIndexOf(Color color);

// Text and marks drawn on a swatch: white on a dark colour (the program's
// dark-colour test), dark grey on a light one.
Color SwatchTextColor(Color swatch);

}  // namespace pt
