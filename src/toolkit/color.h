// Colours as the rest of the program writes them: a signed 32-bit value whose
// unsigned form is 0xAABBGGRR (alpha high, then blue, green, red in the low
// byte). -657931 is 0xFFF5F5F5. Helpers convert to the ARGB that GDI+ takes.
#pragma once

#include <cstdint>

namespace pt {

using Color = int32_t;

constexpr Color MakeColor(int r, int g, int b, int a = 255) {
    return static_cast<Color>(
        (static_cast<uint32_t>(a & 255) << 24) | (static_cast<uint32_t>(b & 255) << 16) |
        (static_cast<uint32_t>(g & 255) << 8) | static_cast<uint32_t>(r & 255));
}
constexpr int ColorRed(Color c) {
    return static_cast<int>(static_cast<uint32_t>(c) & 255);
}
constexpr int ColorGreen(Color c) {
    return static_cast<int>((static_cast<uint32_t>(c) >> 8) & 255);
}
constexpr int ColorBlue(Color c) {
    return static_cast<int>((static_cast<uint32_t>(c) >> 16) & 255);
}
constexpr int ColorAlpha(Color c) {
    return static_cast<int>((static_cast<uint32_t>(c) >> 24) & 255);
}
constexpr Color WithAlpha(Color c, int a) {
    return MakeColor(ColorRed(c), ColorGreen(c), ColorBlue(c), a);
}

// 0xAARRGGBB as GDI+ wants it.
constexpr uint32_t ToArgb(Color c) {
    return (static_cast<uint32_t>(ColorAlpha(c)) << 24) |
           (static_cast<uint32_t>(ColorRed(c)) << 16) |
           (static_cast<uint32_t>(ColorGreen(c)) << 8) | static_cast<uint32_t>(ColorBlue(c));
}

// The program's dark-colour test (0.299 R + 0.587 G + 0.114 B <= 192): glyphs
// on such a background turn light. Counted in thousandths, since in doubles
// a colour that sits exactly on the boundary (RGB 110,226,232) comes out a
// hair above 192.
constexpr bool IsDarkColor(Color c) {
    return 299 * ColorRed(c) + 587 * ColorGreen(c) + 114 * ColorBlue(c) <= 192000;
}

}  // namespace pt
