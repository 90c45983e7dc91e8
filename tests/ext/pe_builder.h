// A small, valid 64-bit DLL image built byte by byte, for the PE reader's
// tests and the fuzzer's seed: three sections (.text with one function,
// .data with the export table of "PrScrn" and one address that needs
// relocating, .reloc), no imports, no entry point. Offsets are named so a
// test can damage exactly one field.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace pt::test {

struct BuiltImage {
    static constexpr uint32_t kOptional = 0x58;     // optional header
    static constexpr uint32_t kSections = 0x148;    // section table (40 bytes each)
    static constexpr uint32_t kRelocFile = 0x800;   // .reloc raw data
    static constexpr uint64_t kBase = 0x180000000;  // preferred base
    static constexpr uint32_t kSlotRva = 0x2100;    // the address to relocate
    static constexpr uint32_t kExportRva = 0x1000;

    std::vector<uint8_t> bytes = std::vector<uint8_t>(0xA00);

    void Put16(uint32_t at, uint16_t v) { std::memcpy(&bytes[at], &v, 2); }
    void Put32(uint32_t at, uint32_t v) { std::memcpy(&bytes[at], &v, 4); }
    void Put64(uint32_t at, uint64_t v) { std::memcpy(&bytes[at], &v, 8); }
    void PutText(uint32_t at, const char* s) { std::memcpy(&bytes[at], s, std::strlen(s) + 1); }
    // Section `i`'s header field at `field` (8 virtual size, 12 address,
    // 16 raw size, 20 raw offset, 36 characteristics).
    void PutSection(int i, uint32_t field, uint32_t v) { Put32(kSections + 40 * i + field, v); }

    BuiltImage() {
        bytes[0] = 'M';
        bytes[1] = 'Z';
        Put32(0x3C, 0x40);
        PutText(0x40, "PE");
        Put16(0x44, 0x8664);  // machine
        Put16(0x46, 3);       // sections
        Put16(0x54, 0xF0);    // optional header size
        Put16(0x56, 0x2022);  // executable, large address aware, DLL
        Put16(kOptional, 0x20B);
        Put64(kOptional + 24, kBase);
        Put32(kOptional + 32, 0x1000);  // section alignment
        Put32(kOptional + 36, 0x200);   // file alignment
        Put32(kOptional + 56, 0x4000);  // size of image
        Put32(kOptional + 60, 0x400);   // size of headers
        Put32(kOptional + 108, 16);
        Put32(kOptional + 112, 0x2000);  // exports
        Put32(kOptional + 116, 0x60);
        Put32(kOptional + 112 + 8 * 5, 0x3000);  // relocations
        Put32(kOptional + 116 + 8 * 5, 12);
        const struct {
            const char* name;
            uint32_t size, rva, raw, flags;
        } sections[] = {{".text", 0x10, 0x1000, 0x400, 0x60000020},
                        {".data", 0x200, 0x2000, 0x600, 0xC0000040},
                        {".reloc", 0xC, 0x3000, 0x800, 0x42000040}};
        for (int i = 0; i < 3; ++i) {
            PutText(kSections + 40 * i, sections[i].name);
            PutSection(i, 8, sections[i].size);
            PutSection(i, 12, sections[i].rva);
            PutSection(i, 16, 0x200);
            PutSection(i, 20, sections[i].raw);
            PutSection(i, 36, sections[i].flags);
        }
        bytes[0x400] = 0x31;  // xor eax, eax; ret
        bytes[0x401] = 0xC0;
        bytes[0x402] = 0xC3;
        // Export directory at RVA 0x2000 (file 0x600).
        Put32(0x600 + 12, 0x2050);
        Put32(0x600 + 16, 1);
        Put32(0x600 + 20, 1);
        Put32(0x600 + 24, 1);
        Put32(0x600 + 28, 0x2028);
        Put32(0x600 + 32, 0x202C);
        Put32(0x600 + 36, 0x2030);
        Put32(0x628, kExportRva);
        Put32(0x62C, 0x2040);
        Put16(0x630, 0);
        PutText(0x640, "PrScrn");
        PutText(0x650, "probe.dll");
        Put64(0x600 + (kSlotRva - 0x2000), kBase + kExportRva);
        // One relocation block for page 0x2000: a 64-bit address, padding.
        Put32(kRelocFile, 0x2000);
        Put32(kRelocFile + 4, 12);
        Put16(kRelocFile + 8, static_cast<uint16_t>((10 << 12) | (kSlotRva - 0x2000)));
    }
};

}  // namespace pt::test
