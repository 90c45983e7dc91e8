// libFuzzer target for the PNG reader (native clang build with -DPT_FUZZ=ON).
// Each chunk's checksum is set right before the reader sees the bytes, so
// the mutations reach the image data and the pixel conversion instead of
// all dying at the first checksum.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/png_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> png(data, data + size);
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = (uint32_t{png[at]} << 24) | (uint32_t{png[at + 1]} << 16) |
                                (uint32_t{png[at + 2]} << 8) | png[at + 3];
        if (length > png.size() - at - 12)
            break;
        const uint32_t crc = static_cast<uint32_t>(crc32(0, &png[at + 4], length + 4));
        for (int i = 0; i < 4; ++i)
            png[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        at += size_t{length} + 12;
    }
    pt::PngPixels pixels;
    if (pt::DecodePng(png.data(), png.size(), &pixels) &&
        pixels.argb.size() != size_t(pixels.width) * size_t(pixels.height))
        __builtin_trap();
    return 0;
}
