// The PNG reader: chunks checked as they come, the image data inflated
// through zlib into one buffer of the exact size, rows unfiltered in place,
// then every pixel converted once.
#include "toolkit/png_decode.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace pt {

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t ReadBe32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

uint16_t ReadBe16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

struct Header {
    uint32_t width = 0, height = 0;
    int depth = 0, colorType = 0;
    int channels = 0;
    size_t rowBytes = 0;  // without the filter byte
    size_t unit = 0;      // bytes a filter looks back: one pixel, at least one byte
};

bool ReadHeader(const uint8_t* d, uint32_t length, Header* h) {
    if (length != 13)
        return false;
    h->width = ReadBe32(d);
    h->height = ReadBe32(d + 4);
    h->depth = d[8];
    h->colorType = d[9];
    // Compression and filter method 0 are the only ones there are;
    // interlaced images are left to the system decoder.
    if (d[10] != 0 || d[11] != 0 || d[12] != 0)
        return false;
    if (h->width == 0 || h->height == 0 || h->width > kPngMaxSide || h->height > kPngMaxSide)
        return false;
    const int depth = h->depth;
    switch (h->colorType) {
        case 0:
            h->channels = 1;
            if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16)
                return false;
            break;
        case 3:
            h->channels = 1;
            if (depth != 1 && depth != 2 && depth != 4 && depth != 8)
                return false;
            break;
        case 2:
            h->channels = 3;
            break;
        case 4:
            h->channels = 2;
            break;
        case 6:
            h->channels = 4;
            break;
        default:
            return false;
    }
    if (h->channels > 1 && depth != 8 && depth != 16)
        return false;
    const size_t bits = size_t{h->width} * h->channels * depth;
    h->rowBytes = (bits + 7) / 8;
    h->unit = std::max<size_t>(1, size_t(h->channels) * depth / 8);
    return true;
}

uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = p > a ? p - a : a - p;
    const int pb = p > b ? p - b : b - p;
    const int pc = p > c ? p - c : c - p;
    if (pa <= pb && pa <= pc)
        return static_cast<uint8_t>(a);
    return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Undoes each row's filter in place; `data` holds height rows of one
// filter byte and rowBytes bytes.
bool Unfilter(const Header& h, uint8_t* data) {
    const size_t stride = h.rowBytes + 1;
    const uint8_t* previous = nullptr;
    for (uint32_t y = 0; y < h.height; ++y) {
        uint8_t* row = data + y * stride;
        const uint8_t filter = row[0];
        uint8_t* x = row + 1;
        const size_t n = h.rowBytes, u = h.unit;
        switch (filter) {
            case 0:
                break;
            case 1:
                for (size_t i = u; i < n; ++i)
                    x[i] = static_cast<uint8_t>(x[i] + x[i - u]);
                break;
            case 2:
                if (previous) {
                    for (size_t i = 0; i < n; ++i)
                        x[i] = static_cast<uint8_t>(x[i] + previous[i]);
                }
                break;
            case 3:
                for (size_t i = 0; i < n; ++i) {
                    const int left = i >= u ? x[i - u] : 0;
                    const int up = previous ? previous[i] : 0;
                    x[i] = static_cast<uint8_t>(x[i] + ((left + up) >> 1));
                }
                break;
            case 4:
                for (size_t i = 0; i < n; ++i) {
                    const int left = i >= u ? x[i - u] : 0;
                    const int up = previous ? previous[i] : 0;
                    const int upLeft = previous && i >= u ? previous[i - u] : 0;
                    x[i] = static_cast<uint8_t>(x[i] + Paeth(left, up, upLeft));
                }
                break;
            default:
                return false;
        }
        previous = x;
    }
    return true;
}

uint32_t Premultiplied(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    if (a != 255) {
        r = (r * a + 127) / 255;
        g = (g * a + 127) / 255;
        b = (b * a + 127) / 255;
    }
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// One sample of a row at full depth (for the transparency key) and scaled
// to eight bits.
struct Sampler {
    const uint8_t* row;
    int depth;
    uint32_t Raw(size_t index) const {
        switch (depth) {
            case 16:
                return ReadBe16(row + index * 2);
            case 8:
                return row[index];
            default: {
                const size_t bit = index * depth;
                const int shift = 8 - depth - static_cast<int>(bit % 8);
                return (row[bit / 8] >> shift) & ((1u << depth) - 1);
            }
        }
    }
    uint32_t Scaled(uint32_t raw) const {
        if (depth == 16)
            return raw >> 8;
        if (depth == 8)
            return raw;
        return raw * 255 / ((1u << depth) - 1);
    }
};

}  // namespace

bool DecodePng(const void* bytes, size_t size, PngPixels* out) {
    const auto* p = static_cast<const uint8_t*>(bytes);
    if (!p || !out || size < sizeof kSignature || std::memcmp(p, kSignature, 8) != 0)
        return false;
    size_t at = 8;
    Header h;
    bool haveHeader = false, ended = false;
    std::array<uint32_t, 256> palette{};
    size_t paletteSize = 0;
    std::array<uint8_t, 256> paletteAlpha;
    paletteAlpha.fill(255);
    bool haveKey = false;
    uint16_t key[3] = {0, 0, 0};

    std::vector<uint8_t> raw;
    z_stream z{};
    bool inflating = false;
    struct InflateEnd {
        z_stream* z;
        bool* on;
        ~InflateEnd() {
            if (*on)
                inflateEnd(z);
        }
    } inflateEndGuard{&z, &inflating};
    bool streamEnded = false;

    while (!ended) {
        if (size - at < 12)
            return false;
        const uint32_t length = ReadBe32(p + at);
        if (length > size - at - 12)
            return false;
        const uint8_t* type = p + at + 4;
        const uint8_t* data = type + 4;
        const uint32_t crc = ReadBe32(data + length);
        if (static_cast<uint32_t>(crc32(crc32(0, nullptr, 0), type, length + 4)) != crc)
            return false;
        at += size_t{length} + 12;
        const bool isHeader = std::memcmp(type, "IHDR", 4) == 0;
        if (haveHeader == isHeader)
            return false;  // IHDR first, and once
        if (isHeader) {
            if (!ReadHeader(data, length, &h))
                return false;
            haveHeader = true;
            raw.resize((h.rowBytes + 1) * h.height);
        } else if (std::memcmp(type, "PLTE", 4) == 0) {
            if (length % 3 != 0 || length / 3 > 256 || length == 0)
                return false;
            paletteSize = length / 3;
            for (size_t i = 0; i < paletteSize; ++i) {
                palette[i] = (uint32_t{data[i * 3]} << 16) | (uint32_t{data[i * 3 + 1]} << 8) |
                             data[i * 3 + 2];
            }
        } else if (std::memcmp(type, "tRNS", 4) == 0) {
            if (h.colorType == 3) {
                if (length > 256)
                    return false;
                std::memcpy(paletteAlpha.data(), data, length);
            } else if (h.colorType == 0 && length == 2) {
                haveKey = true;
                key[0] = ReadBe16(data);
            } else if (h.colorType == 2 && length == 6) {
                haveKey = true;
                for (int i = 0; i < 3; ++i)
                    key[i] = ReadBe16(data + i * 2);
            }
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            if (!inflating) {
                if (inflateInit(&z) != Z_OK)
                    return false;
                inflating = true;
                z.next_out = raw.data();
                z.avail_out = static_cast<uInt>(raw.size());
            }
            if (streamEnded || z.avail_out == 0)
                continue;  // trailing data after a full image is tolerated
            z.next_in = const_cast<Bytef*>(data);
            z.avail_in = length;
            while (z.avail_in > 0 && z.avail_out > 0) {
                const int r = inflate(&z, Z_NO_FLUSH);
                if (r == Z_STREAM_END) {
                    streamEnded = true;
                    break;
                }
                if (r != Z_OK)
                    return false;
            }
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            ended = true;
        } else if ((type[0] & 0x20) == 0) {
            return false;  // an unknown chunk the image cannot be shown without
        }
    }
    if (!inflating || z.avail_out != 0)
        return false;  // the image data is short
    if (h.colorType == 3 && paletteSize == 0)
        return false;
    if (!Unfilter(h, raw.data()))
        return false;

    PngPixels pixels;
    pixels.width = static_cast<int>(h.width);
    pixels.height = static_cast<int>(h.height);
    pixels.argb.resize(size_t{h.width} * h.height);
    const size_t stride = h.rowBytes + 1;
    for (uint32_t y = 0; y < h.height; ++y) {
        const Sampler s{raw.data() + y * stride + 1, h.depth};
        uint32_t* dst = pixels.argb.data() + size_t{y} * h.width;
        for (uint32_t x = 0; x < h.width; ++x) {
            const size_t i = size_t{x} * h.channels;
            switch (h.colorType) {
                case 0: {
                    const uint32_t v = s.Raw(i), g = s.Scaled(v);
                    dst[x] = Premultiplied(g, g, g, haveKey && v == key[0] ? 0 : 255);
                    break;
                }
                case 2: {
                    const uint32_t r = s.Raw(i), g = s.Raw(i + 1), b = s.Raw(i + 2);
                    const bool clear = haveKey && r == key[0] && g == key[1] && b == key[2];
                    dst[x] = Premultiplied(s.Scaled(r), s.Scaled(g), s.Scaled(b), clear ? 0 : 255);
                    break;
                }
                case 3: {
                    const uint32_t index = s.Raw(i);
                    if (index >= paletteSize)
                        return false;
                    const uint32_t c = palette[index];
                    dst[x] = Premultiplied(c >> 16, (c >> 8) & 0xFF, c & 0xFF, paletteAlpha[index]);
                    break;
                }
                case 4: {
                    const uint32_t g = s.Scaled(s.Raw(i));
                    dst[x] = Premultiplied(g, g, g, s.Scaled(s.Raw(i + 1)));
                    break;
                }
                default: {
                    dst[x] = Premultiplied(s.Scaled(s.Raw(i)), s.Scaled(s.Raw(i + 1)),
                                           s.Scaled(s.Raw(i + 2)), s.Scaled(s.Raw(i + 3)));
                    break;
                }
            }
        }
    }
    *out = std::move(pixels);
    return true;
}

}  // namespace pt
