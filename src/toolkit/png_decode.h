// A PNG reader for the images the program keeps and ships (icons in the
// cache, the archive's pictures): non-interlaced, 1 to 16 bits, every colour
// type, with palette transparency. It turns the file straight into
// premultiplied 32-bit pixels, which is what painting wants, and costs a
// fraction of the system decoder (whose first use alone loads an imaging
// library and its codecs). Anything it does not read (interlaced, damaged,
// oversized) is refused, and the caller falls back to the system decoder.
// Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pt {

struct PngPixels {
    int width = 0;
    int height = 0;
    // Row after row, top first; each pixel 0xAARRGGBB with the colour
    // premultiplied by alpha.
    std::vector<uint32_t> argb;
};

// Images larger than this on either side are refused: the program's images
// are icons and frame pictures, and a hostile file must not make it allocate
// gigabytes.
constexpr int kPngMaxSide = 2048;

// False (and `out` untouched) when the bytes are not a PNG this reader
// takes: bad signature, a chunk whose checksum does not match, a missing or
// short image, interlacing.
bool DecodePng(const void* data, size_t size, PngPixels* out);

}  // namespace pt
