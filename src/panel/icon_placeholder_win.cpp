// The drawn stand-ins for icons not extracted yet; see icon_placeholder.h.
#include "panel/icon_placeholder.h"

#include <array>

namespace pt {
namespace {

// Each on a 40-unit square, drawn by the toolkit at the cell's size.
constexpr std::string_view kPlaceholderSvg[] = {
    // A page with its top right corner folded down.
    R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 40 40">)"
    R"(<polygon points="9,4 25,4 32,11 32,36 9,36" fill="#FAFAFA" stroke="#969696")"
    R"( stroke-width="1.2"/>)"
    R"(<polyline points="25,4 25,11 32,11" fill="none" stroke="#969696" stroke-width="1.2"/>)"
    R"(</svg>)",
    // A folder: its back with the tab, and its front.
    R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 40 40">)"
    R"(<polygon points="4,9 15,9 18,12 36,12 36,33 4,33" fill="#E8B848"/>)"
    R"(<rect x="4" y="16" width="32" height="17" fill="#FACE62"/>)"
    R"(</svg>)",
    // A globe: its rim, one meridian and the equator.
    R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 40 40">)"
    R"(<circle cx="20" cy="20" r="14" fill="#D6EAFA" stroke="#2878C8" stroke-width="1.6"/>)"
    R"(<ellipse cx="20" cy="20" rx="6" ry="14" fill="none" stroke="#2878C8" stroke-width="1.6"/>)"
    R"(<line x1="6" y1="20" x2="34" y2="20" stroke="#2878C8" stroke-width="1.6"/>)"
    R"(</svg>)",
};

}  // namespace

std::shared_ptr<Image> IconPlaceholder(IconPlaceholderKind kind, int side) {
    static std::array<std::shared_ptr<SvgImage>, 3> made;
    const size_t index = static_cast<size_t>(kind);
    std::shared_ptr<SvgImage>& image = made[index];
    if (!image || image->NaturalSize().width != side) {
        image = SvgImage::FromBytes(kPlaceholderSvg[index]);
        if (image)
            image->SetSize(side, side);
    }
    return image;
}

}  // namespace pt
