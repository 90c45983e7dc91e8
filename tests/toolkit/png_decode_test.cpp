// The PNG reader on images written here row by row: every filter, the
// colour types and depths, palette and key transparency, and the damaged or
// foreign files it must refuse (the system decoder then gets them).
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/png_decode.h"

namespace pt {
namespace {

void PutBe32(std::string* out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out->push_back(static_cast<char>((v >> shift) & 0xFF));
}

void Chunk(std::string* png, const char* type, const std::string& data) {
    PutBe32(png, static_cast<uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    png->append(body);
    PutBe32(png, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                             static_cast<uInt>(body.size()))));
}

int PaethOf(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
}

// A PNG of the given raw rows (without filter bytes); row y is written
// with filter y % 5, so each image exercises all five.
std::string MakePng(int w, int h, int depth, int colorType,
                    const std::vector<std::vector<uint8_t>>& rows, int unit,
                    const std::string& extra = {}, int interlace = 0) {
    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string ihdr;
    PutBe32(&ihdr, static_cast<uint32_t>(w));
    PutBe32(&ihdr, static_cast<uint32_t>(h));
    ihdr += {static_cast<char>(depth), static_cast<char>(colorType), 0, 0,
             static_cast<char>(interlace)};
    Chunk(&png, "IHDR", ihdr);
    png += extra;
    std::string filtered;
    for (size_t y = 0; y < rows.size(); ++y) {
        const int filter = static_cast<int>(y % 5);
        filtered.push_back(static_cast<char>(filter));
        const auto& row = rows[y];
        for (size_t i = 0; i < row.size(); ++i) {
            const int a = i >= size_t(unit) ? row[i - unit] : 0;
            const int b = y ? rows[y - 1][i] : 0;
            const int c = y && i >= size_t(unit) ? rows[y - 1][i - unit] : 0;
            const int predict[] = {0, a, b, (a + b) / 2, PaethOf(a, b, c)};
            filtered.push_back(static_cast<char>(row[i] - predict[filter]));
        }
    }
    uLongf size = compressBound(static_cast<uLong>(filtered.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &size,
             reinterpret_cast<const Bytef*>(filtered.data()), static_cast<uLong>(filtered.size()));
    packed.resize(size);
    // Split in two chunks: the reader must carry the stream across them.
    Chunk(&png, "IDAT", packed.substr(0, packed.size() / 2));
    Chunk(&png, "IDAT", packed.substr(packed.size() / 2));
    Chunk(&png, "IEND", "");
    return png;
}

// Pseudo-random bytes; a few distinct values only when `levels` is given,
// so the predictors meet their ties.
std::vector<std::vector<uint8_t>> Rows(int h, size_t bytes, int seed, int levels = 256) {
    std::vector<std::vector<uint8_t>> rows(h, std::vector<uint8_t>(bytes));
    uint32_t v = static_cast<uint32_t>(seed);
    for (auto& row : rows)
        for (auto& b : row)
            b = static_cast<uint8_t>(((v = v * 1103515245u + 12345u) >> 16) % levels);
    return rows;
}

bool Decode(const std::string& png, PngPixels* out) {
    return DecodePng(png.data(), png.size(), out);
}

uint32_t Pre(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    auto m = [a](uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (m(r) << 16) | (m(g) << 8) | m(b);
}

TEST(PngDecodeTest, EveryFilterAndColourTypeComesOutPremultiplied) {
    const int w = 7, h = 10;
    for (int levels : {256, 3}) {  // RGBA 8
        const auto rows = Rows(h, w * 4, 1, levels);
        PngPixels px;
        ASSERT_TRUE(Decode(MakePng(w, h, 8, 6, rows, 4), &px));
        ASSERT_EQ(px.width, w);
        ASSERT_EQ(px.height, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* s = &rows[y][x * 4];
                ASSERT_EQ(px.argb[y * w + x], Pre(s[3], s[0], s[1], s[2])) << x << "," << y;
            }
    }
    {  // RGB 16 with a transparency key: the high byte counts, the key
       // compares all sixteen bits
        auto rows = Rows(h, w * 6, 2);
        const std::string key(rows[3].begin(), rows[3].begin() + 6);
        std::string trns;
        Chunk(&trns, "tRNS", key);
        PngPixels px;
        ASSERT_TRUE(Decode(MakePng(w, h, 16, 2, rows, 6, trns), &px));
        EXPECT_EQ(px.argb[3 * w], 0u);
        EXPECT_EQ(px.argb[3 * w + 1], Pre(255, rows[3][6], rows[3][8], rows[3][10]));
    }
    {  // grey with alpha, and grey at 2 bits (four levels: 0, 85, 170, 255)
        const auto rows = Rows(h, w * 2, 3);
        PngPixels px;
        ASSERT_TRUE(Decode(MakePng(w, h, 8, 4, rows, 2), &px));
        EXPECT_EQ(px.argb[5], Pre(rows[0][11], rows[0][10], rows[0][10], rows[0][10]));
        std::vector<std::vector<uint8_t>> grey(1,
                                               std::vector<uint8_t>{0x1B, 0xC0});  // 0 1 2 3, 3 0
        ASSERT_TRUE(Decode(MakePng(6, 1, 2, 0, grey, 1), &px));
        EXPECT_EQ(px.argb, (std::vector<uint32_t>{0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF,
                                                  0xFFFFFFFF, 0xFF000000}));
    }
    {  // a 4-bit palette with transparency for its first entries only
        std::string extra;
        Chunk(&extra, "PLTE", std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF", 9));
        Chunk(&extra, "tRNS", std::string("\x80", 1));
        std::vector<std::vector<uint8_t>> rows(2, std::vector<uint8_t>{0x01, 0x20});
        PngPixels px;
        ASSERT_TRUE(Decode(MakePng(3, 2, 4, 3, rows, 1, extra), &px));
        EXPECT_EQ(px.argb[0], Pre(0x80, 255, 0, 0));
        EXPECT_EQ(px.argb[1], 0xFF00FF00u);
        EXPECT_EQ(px.argb[2], 0xFF0000FFu);
        // An index past the palette is damage, not black.
        rows[1][1] = 0x30;
        EXPECT_FALSE(Decode(MakePng(3, 2, 4, 3, rows, 1, extra), &px));
    }
}

TEST(PngDecodeTest, RefusesWhatItCannotReadWithoutTouchingTheResult) {
    const auto rows = Rows(4, 4 * 4, 4);
    const std::string good = MakePng(4, 4, 8, 6, rows, 4);
    PngPixels px;
    px.width = 99;
    std::string bad = good;
    bad[bad.size() - 20] ^= 1;  // inside the last IDAT: its checksum fails
    EXPECT_FALSE(Decode(bad, &px));
    for (size_t cut : {size_t(7), size_t(30), good.size() - 13, good.size() - 1})
        EXPECT_FALSE(Decode(good.substr(0, cut), &px)) << cut;
    EXPECT_FALSE(Decode(MakePng(4, 4, 8, 6, rows, 4, {}, 1), &px));       // interlaced
    EXPECT_FALSE(Decode(MakePng(4, 4, 4, 6, rows, 4), &px));              // no such depth
    EXPECT_FALSE(Decode(MakePng(kPngMaxSide + 1, 1, 8, 0, {}, 1), &px));  // oversized
    EXPECT_FALSE(Decode(MakePng(4, 5, 8, 6, rows, 4), &px));              // rows missing
    std::string critical;
    Chunk(&critical, "ABCD", "x");
    EXPECT_FALSE(Decode(MakePng(4, 4, 8, 6, rows, 4, critical), &px));
    EXPECT_EQ(px.width, 99);
    // An ancillary chunk it does not know is skipped.
    std::string ancillary;
    Chunk(&ancillary, "teXt", "x");
    EXPECT_TRUE(Decode(MakePng(4, 4, 8, 6, rows, 4, ancillary), &px));
}

}  // namespace
}  // namespace pt
