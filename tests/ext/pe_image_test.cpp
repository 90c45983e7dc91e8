// The PE reader on a small built image: what a sound image yields, and that
// each kind of damage is refused instead of followed.
#include "ext/pe_image.h"

#include <gtest/gtest.h>

#include <cstring>

#include "pe_builder.h"

namespace pt::pe {
namespace {

using test::BuiltImage;

std::vector<uint8_t> Mapped(const BuiltImage& built, const Layout& layout) {
    std::vector<uint8_t> image(layout.sizeOfImage);
    EXPECT_TRUE(CopyImage(built.bytes, layout, image));
    return image;
}

uint64_t SlotOf(const std::vector<uint8_t>& image) {
    uint64_t v = 0;
    std::memcpy(&v, &image[BuiltImage::kSlotRva], 8);
    return v;
}

TEST(PeImageTest, SoundImageMapsRelocatesAndExports) {
    BuiltImage built;
    std::optional<Layout> layout = ParseImage(built.bytes, kMachineAmd64);
    ASSERT_TRUE(layout);
    EXPECT_TRUE(layout->is64);
    EXPECT_EQ(layout->preferredBase, BuiltImage::kBase);
    ASSERT_EQ(layout->sections.size(), 3u);
    EXPECT_TRUE(layout->IsCode(BuiltImage::kExportRva));
    EXPECT_FALSE(layout->IsCode(BuiltImage::kSlotRva));

    std::vector<uint8_t> image = Mapped(built, *layout);
    EXPECT_EQ(image[0x1000], 0x31);
    EXPECT_TRUE(ApplyRelocations(image, *layout, 0x10000));
    EXPECT_EQ(SlotOf(image), BuiltImage::kBase + BuiltImage::kExportRva + 0x10000);

    EXPECT_EQ(FindExport(image, *layout, "PrScrn"), BuiltImage::kExportRva);
    EXPECT_FALSE(FindExport(image, *layout, "prscrn"));  // names are case-sensitive
    EXPECT_FALSE(FindExport(image, *layout, "PrScr"));
    std::optional<std::vector<ImportModule>> imports = ReadImports(image, *layout);
    ASSERT_TRUE(imports);
    EXPECT_TRUE(imports->empty());
    std::optional<std::vector<uint32_t>> tls = ReadTlsCallbacks(image, *layout, BuiltImage::kBase);
    ASSERT_TRUE(tls);
    EXPECT_TRUE(tls->empty());
    // The image is for one processor only.
    EXPECT_FALSE(ParseImage(built.bytes, kMachineI386));
}

TEST(PeImageTest, TruncatedOrBadlyBoundedImagesAreRefused) {
    const BuiltImage sound;
    for (size_t size :
         {size_t{0}, size_t{2}, size_t{0x60}, size_t{0x150}, size_t{0x3FF}, size_t{0x700}}) {
        std::vector<uint8_t> cut(sound.bytes.begin(), sound.bytes.begin() + size);
        EXPECT_FALSE(ParseImage(cut, kMachineAmd64)) << "cut at " << size;
    }
    struct Damage {
        const char* what;
        void (*apply)(BuiltImage&);
    };
    const Damage damages[] = {
        {"signature", [](BuiltImage& b) { b.bytes[0x41] = 'X'; }},
        {"header offset", [](BuiltImage& b) { b.Put32(0x3C, 0xFFFFFFF0); }},
        {"section past the image", [](BuiltImage& b) { b.PutSection(2, 8, 0x2000); }},
        {"section address wraps", [](BuiltImage& b) { b.PutSection(1, 12, 0xFFFFF000); }},
        {"raw data past the file", [](BuiltImage& b) { b.PutSection(1, 20, 0x900); }},
        {"sections overlap", [](BuiltImage& b) { b.PutSection(1, 12, 0x1000); }},
        {"section not page aligned", [](BuiltImage& b) { b.PutSection(1, 12, 0x2010); }},
        {"section over the headers", [](BuiltImage& b) { b.PutSection(0, 12, 0); }},
        {"directory past the image",
         [](BuiltImage& b) { b.Put32(BuiltImage::kOptional + 112, 0x3FF0); }},
        {"image too large", [](BuiltImage& b) { b.Put32(BuiltImage::kOptional + 56, 0x7FFFFFFF); }},
        {"section table past headers", [](BuiltImage& b) { b.Put16(0x46, 40); }},
        {"entry point outside", [](BuiltImage& b) { b.Put32(BuiltImage::kOptional + 16, 0x4000); }},
    };
    for (const Damage& d : damages) {
        BuiltImage damaged;
        d.apply(damaged);
        EXPECT_FALSE(ParseImage(damaged.bytes, kMachineAmd64)) << d.what;
    }
}

TEST(PeImageTest, DamagedTablesAreRefusedAfterMapping) {
    struct Damage {
        const char* what;
        void (*apply)(BuiltImage&);
        bool relocates;  // ApplyRelocations still succeeds
    };
    const Damage damages[] = {
        {"relocation block past the end",
         [](BuiltImage& b) { b.Put32(BuiltImage::kRelocFile + 4, 0x40); }, false},
        {"relocation block too small",
         [](BuiltImage& b) { b.Put32(BuiltImage::kRelocFile + 4, 4); }, false},
        {"relocation outside the image",
         [](BuiltImage& b) { b.Put32(BuiltImage::kRelocFile, 0x3FF0); }, false},
        {"unknown relocation kind",
         [](BuiltImage& b) { b.Put16(BuiltImage::kRelocFile + 8, 0x7100); }, false},
        {"export name outside", [](BuiltImage& b) { b.Put32(0x62C, 0x7FFFFFFF); }, true},
        {"export table outside", [](BuiltImage& b) { b.Put32(0x600 + 24, 0x40000000); }, true},
        {"export into data", [](BuiltImage& b) { b.Put32(0x628, 0x2180); }, true},
        {"export forwarded", [](BuiltImage& b) { b.Put32(0x628, 0x2010); }, true},
    };
    for (const Damage& d : damages) {
        BuiltImage damaged;
        d.apply(damaged);
        std::optional<Layout> layout = ParseImage(damaged.bytes, kMachineAmd64);
        ASSERT_TRUE(layout) << d.what;
        std::vector<uint8_t> image = Mapped(damaged, *layout);
        EXPECT_EQ(ApplyRelocations(image, *layout, 0x10000), d.relocates) << d.what;
        EXPECT_FALSE(d.relocates && FindExport(image, *layout, "PrScrn")) << d.what;
    }
    // An image that cannot be relocated cannot be moved.
    BuiltImage stripped;
    stripped.Put16(0x56, 0x2023);
    std::optional<Layout> layout = ParseImage(stripped.bytes, kMachineAmd64);
    ASSERT_TRUE(layout);
    std::vector<uint8_t> image = Mapped(stripped, *layout);
    EXPECT_TRUE(ApplyRelocations(image, *layout, 0));
    EXPECT_FALSE(ApplyRelocations(image, *layout, 0x10000));
}

TEST(PeImageTest, ImportsAndTlsCallbacksAreReadWithinTheImage) {
    BuiltImage built;
    // One import descriptor at 0x2180: "KERNEL32.dll", one function by name
    // and one by ordinal; its table at 0x21C0, its addresses at 0x21E0.
    built.Put32(BuiltImage::kOptional + 112 + 8, 0x2180);
    built.Put32(BuiltImage::kOptional + 116 + 8, 40);
    const uint32_t d = 0x600 + 0x180;
    built.Put32(d, 0x21C0);
    built.Put32(d + 12, 0x21A8);
    built.Put32(d + 16, 0x21E0);
    built.PutText(0x600 + 0x1A8, "KERNEL32.dll");
    built.Put64(0x600 + 0x1C0, 0x2160);
    built.Put64(0x600 + 0x1C8, (1ull << 63) | 7);
    built.PutText(0x600 + 0x162, "Sleep");
    // TLS directory at 0x2080 whose callback list at 0x20C0 holds the code.
    built.Put32(BuiltImage::kOptional + 112 + 8 * 9, 0x2080);
    built.Put32(BuiltImage::kOptional + 116 + 8 * 9, 40);
    built.Put64(0x600 + 0x80 + 24, BuiltImage::kBase + 0x20C0);
    built.Put64(0x600 + 0xC0, BuiltImage::kBase + BuiltImage::kExportRva);

    std::optional<Layout> layout = ParseImage(built.bytes, kMachineAmd64);
    ASSERT_TRUE(layout);
    std::vector<uint8_t> image = Mapped(built, *layout);
    std::optional<std::vector<ImportModule>> imports = ReadImports(image, *layout);
    ASSERT_TRUE(imports);
    ASSERT_EQ(imports->size(), 1u);
    EXPECT_EQ((*imports)[0].name, "KERNEL32.dll");
    ASSERT_EQ((*imports)[0].functions.size(), 2u);
    EXPECT_EQ((*imports)[0].functions[0].name, "Sleep");
    EXPECT_EQ((*imports)[0].functions[0].slotRva, 0x21E0u);
    EXPECT_TRUE((*imports)[0].functions[1].byOrdinal);
    EXPECT_EQ((*imports)[0].functions[1].ordinal, 7);
    EXPECT_EQ(ReadTlsCallbacks(image, *layout, BuiltImage::kBase),
              std::vector<uint32_t>{BuiltImage::kExportRva});
    // Mapped elsewhere without relocating, the callback addresses are foreign.
    EXPECT_FALSE(ReadTlsCallbacks(image, *layout, BuiltImage::kBase + 0x100000));

    // A module name that runs to the end of the image, a thunk naming no
    // memory of the image: both refused.
    std::vector<uint8_t> badName = image;
    std::memcpy(&badName[0x2180 + 12], "\xFF\x3F\x00\x00", 4);  // 0x3FFF: last byte
    badName[0x3FFF] = 'A';
    EXPECT_FALSE(ReadImports(badName, *layout));
    std::vector<uint8_t> badThunk = image;
    const uint64_t far = 0x7FFFFFFF;
    std::memcpy(&badThunk[0x21C0], &far, 8);
    EXPECT_FALSE(ReadImports(badThunk, *layout));
}

}  // namespace
}  // namespace pt::pe
