// The skin frame's colour tables; see skin_rules.h.
#include "window/skin_rules.h"

namespace pt {

SysButtonColors SysButtonIconColors(std::string_view button, bool dark) {
    if (dark) {
        return {MakeColor(255, 255, 255, 225), MakeColor(255, 255, 255),
                MakeColor(255, 255, 255, 200)};
    }
    if (button == "close")
        return {MakeColor(115, 115, 115), MakeColor(249, 120, 102), MakeColor(242, 82, 44)};
    return {MakeColor(115, 115, 115), MakeColor(0, 136, 255), MakeColor(2, 96, 200)};
}

Color MacDotColor(std::string_view button) {
    if (button == "menu")
        return static_cast<Color>(-13915412);
    if (button == "mini")
        return static_cast<Color>(-12202708);
    if (button == "close")
        return static_cast<Color>(-10332422);
    return static_cast<Color>(-6842624);
}

Color TitleColor(bool dark) {
    return dark ? MakeColor(255, 255, 255) : MakeColor(60, 60, 60);
}

}  // namespace pt
