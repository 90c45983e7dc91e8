// Reading a DLL's PE headers and tables for the in-memory loader: every
// offset, size and count the file names is checked against the file and the
// image's size before it is used, so a damaged or hostile image is refused
// and never followed. Pure code on byte buffers; the loader (memory_module)
// does the allocation, protection and system calls.
//
// The image is handled in two forms: the file as stored, and the mapped
// image, a buffer of SizeOfImage bytes holding the headers and every section
// at its virtual address (what CopyImage produces). Tables are read from the
// mapped form, where relative virtual addresses are plain offsets; a buffer
// of any other size is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pt::pe {

inline constexpr uint16_t kMachineI386 = 0x014C;
inline constexpr uint16_t kMachineAmd64 = 0x8664;
// No image we carry comes near this; a larger claim is damage.
inline constexpr uint32_t kMaxImageSize = 64u << 20;
inline constexpr uint32_t kPageSize = 4096;

// Section characteristics the loader acts on.
inline constexpr uint32_t kSectionExecute = 0x20000000;
inline constexpr uint32_t kSectionRead = 0x40000000;
inline constexpr uint32_t kSectionWrite = 0x80000000;
inline constexpr uint32_t kSectionDiscardable = 0x02000000;
inline constexpr uint32_t kSectionNotCached = 0x04000000;

struct Section {
    uint32_t virtualAddress = 0;
    uint32_t memorySize = 0;  // bytes it spans in the mapped image
    uint32_t rawOffset = 0;
    uint32_t rawSize = 0;  // bytes copied from the file (<= memorySize)
    uint32_t characteristics = 0;
};

struct Directory {
    uint32_t rva = 0;
    uint32_t size = 0;
    bool Present() const { return size != 0; }
};

struct Layout {
    bool is64 = false;
    uint16_t machine = 0;
    uint64_t preferredBase = 0;
    uint32_t sizeOfImage = 0;
    uint32_t sizeOfHeaders = 0;
    uint32_t entryPoint = 0;  // RVA; 0: none
    bool relocationsStripped = false;
    std::vector<Section> sections;
    Directory exports, imports, exceptions, relocations, tls;

    uint32_t PointerSize() const { return is64 ? 8 : 4; }
    // The section holding `rva`, or null.
    const Section* SectionAt(uint32_t rva) const;
    // True when `rva` lies in an executable section.
    bool IsCode(uint32_t rva) const;
};

// Checks the headers of a file for `machine` and describes its layout.
// Refused (nullopt): a wrong signature or machine, headers or section table
// past the end of the file, sections outside the image, overlapping, out of
// order or not page aligned, raw data past the end of the file, a directory
// outside the image, an entry point outside the image.
std::optional<Layout> ParseImage(std::span<const uint8_t> file, uint16_t machine);

// Fills `image` (SizeOfImage bytes, zeroed by the caller) with the headers
// and each section's raw data. The layout must come from ParseImage of the
// same file; false (nothing copied) for a buffer of another size.
bool CopyImage(std::span<const uint8_t> file, const Layout& layout, std::span<uint8_t> image);

// Adds `delta` to every address the relocation blocks list (32-bit entries,
// and 64-bit ones in a PE32+ image). False, with the image possibly half
// relocated, when a block runs past the directory, an entry points outside
// the image, an entry is of a kind this loader does not know, or a moved
// image has had its relocations stripped.
bool ApplyRelocations(std::span<uint8_t> image, const Layout& layout, uint64_t delta);

struct ImportFunction {
    uint32_t slotRva = 0;  // where the address goes (the import address table)
    uint16_t ordinal = 0;  // when byOrdinal
    bool byOrdinal = false;
    std::string name;  // when not byOrdinal
};
struct ImportModule {
    std::string name;
    std::vector<ImportFunction> functions;
};
// The import descriptors in order; nullopt when a descriptor, name or thunk
// lies outside the image or a table does not end within it.
std::optional<std::vector<ImportModule>> ReadImports(std::span<const uint8_t> image,
                                                     const Layout& layout);

// The RVA of the export named `name` (case-sensitive), when it is code of
// this image; a forwarded export or one outside the image's code gives
// nullopt, as does a damaged export table.
std::optional<uint32_t> FindExport(std::span<const uint8_t> image, const Layout& layout,
                                   std::string_view name);

// The RVAs of the TLS callbacks of an image mapped at `base` (relocated: the
// table holds addresses). Nullopt when the directory or a callback lies
// outside the image's code; empty when there are none.
std::optional<std::vector<uint32_t>> ReadTlsCallbacks(std::span<const uint8_t> image,
                                                      const Layout& layout, uint64_t base);

// The number of unwind entries of a PE32+ image (12 bytes each), 0 when
// there are none.
uint32_t UnwindEntryCount(const Layout& layout);

}  // namespace pt::pe
