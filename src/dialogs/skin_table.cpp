// The skin table; see skin_table.h.
#include "dialogs/skin_table.h"

#include <charconv>
#include <cstdint>

namespace pt {

SkinChoice ParseSkinEntry(std::string_view stored) {
    SkinChoice choice;
    const size_t comma = stored.find(',');
    choice.name = std::string(stored.substr(0, comma));
    if (comma == std::string_view::npos)
        return choice;
    const std::string_view digits = stored.substr(comma + 1);
    int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error == std::errc{} && end == digits.data() + digits.size())
        choice.color = value;
    return choice;
}

const std::vector<SkinChoice>& SkinChoices() {
    static const std::vector<SkinChoice> choices = [] {
        std::vector<SkinChoice> all;
        all.reserve(kSkinTable.size());
        for (std::string_view stored : kSkinTable)
            all.push_back(ParseSkinEntry(stored));
        return all;
    }();
    return choices;
}

int SkinIndexOf(Color color) {
    const std::vector<SkinChoice>& choices = SkinChoices();
    for (size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].color == color)
            return static_cast<int>(i);
    }
    return -1;
}

Color SwatchTextColor(Color swatch) {
    return IsDarkColor(swatch) ? MakeColor(255, 255, 255) : MakeColor(80, 80, 80);
}

}  // namespace pt
