// PE header and table reading for the in-memory loader. All arithmetic on
// values from the file is done in 64 bits, so no sum of offsets can wrap
// around and pass a bounds check.
#include "ext/pe_image.h"

#include <algorithm>
#include <cstring>

namespace pt::pe {
namespace {

constexpr uint32_t kMaxSections = 96;
constexpr uint32_t kMaxImportModules = 1024;
constexpr uint32_t kMaxImportsPerModule = 65536;
constexpr uint32_t kMaxNameLength = 4096;
constexpr uint32_t kMaxTlsCallbacks = 64;
constexpr uint16_t kFileRelocsStripped = 0x0001;
constexpr uint16_t kFileExecutable = 0x0002;

// True when [offset, offset + size) lies within a buffer of `total` bytes.
bool Fits(uint64_t offset, uint64_t size, uint64_t total) {
    return offset <= total && size <= total - offset;
}

template <typename T>
T Read(std::span<const uint8_t> bytes, uint64_t offset) {
    T value{};
    std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;  // the images we read are little-endian, as is every host we build for
}

uint16_t U16(std::span<const uint8_t> b, uint64_t o) {
    return Read<uint16_t>(b, o);
}
uint32_t U32(std::span<const uint8_t> b, uint64_t o) {
    return Read<uint32_t>(b, o);
}
uint64_t U64(std::span<const uint8_t> b, uint64_t o) {
    return Read<uint64_t>(b, o);
}

// A zero-terminated name at `offset`, ending within the buffer.
std::optional<std::string> ReadName(std::span<const uint8_t> bytes, uint64_t offset) {
    if (offset >= bytes.size())
        return std::nullopt;
    const uint64_t limit = std::min<uint64_t>(bytes.size() - offset, kMaxNameLength);
    const auto* start = bytes.data() + offset;
    const void* end = std::memchr(start, 0, limit);
    if (!end)
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(start),
                       static_cast<const uint8_t*>(end) - start);
}

// The tables below are read from a mapped image of the layout's size; the
// directories were checked against that size.
bool IsMappedImage(std::span<const uint8_t> image, const Layout& layout) {
    return image.size() == layout.sizeOfImage;
}

uint32_t RoundUp(uint64_t value, uint32_t alignment) {
    return static_cast<uint32_t>((value + alignment - 1) / alignment * alignment);
}

}  // namespace

const Section* Layout::SectionAt(uint32_t rva) const {
    for (const Section& s : sections) {
        if (rva >= s.virtualAddress && rva - s.virtualAddress < s.memorySize)
            return &s;
    }
    return nullptr;
}

bool Layout::IsCode(uint32_t rva) const {
    const Section* s = SectionAt(rva);
    return s && (s->characteristics & kSectionExecute);
}

std::optional<Layout> ParseImage(std::span<const uint8_t> file, uint16_t machine) {
    const uint64_t fileSize = file.size();
    if (fileSize < 64 || file[0] != 'M' || file[1] != 'Z')
        return std::nullopt;
    const uint64_t pe = U32(file, 0x3C);
    if (!Fits(pe, 24, fileSize) || U32(file, pe) != 0x00004550)  // "PE\0\0"
        return std::nullopt;
    Layout layout;
    layout.machine = U16(file, pe + 4);
    const uint32_t sectionCount = U16(file, pe + 6);
    const uint32_t optionalSize = U16(file, pe + 20);
    const uint16_t characteristics = U16(file, pe + 22);
    if (layout.machine != machine || sectionCount == 0 || sectionCount > kMaxSections ||
        !(characteristics & kFileExecutable))
        return std::nullopt;
    layout.relocationsStripped = (characteristics & kFileRelocsStripped) != 0;

    const uint64_t opt = pe + 24;
    if (!Fits(opt, optionalSize, fileSize) || optionalSize < 2)
        return std::nullopt;
    const uint16_t magic = U16(file, opt);
    uint64_t directoryOffset = 0;
    uint64_t countOffset = 0;
    if (magic == 0x10B && machine == kMachineI386) {
        if (optionalSize < 96)
            return std::nullopt;
        layout.preferredBase = U32(file, opt + 28);
        countOffset = 92;
        directoryOffset = 96;
    } else if (magic == 0x20B && machine == kMachineAmd64) {
        if (optionalSize < 112)
            return std::nullopt;
        layout.is64 = true;
        layout.preferredBase = U64(file, opt + 24);
        countOffset = 108;
        directoryOffset = 112;
    } else {
        return std::nullopt;
    }
    layout.entryPoint = U32(file, opt + 16);
    const uint32_t sectionAlignment = U32(file, opt + 32);
    layout.sizeOfImage = U32(file, opt + 56);
    layout.sizeOfHeaders = U32(file, opt + 60);
    const uint32_t directoryCount = std::min<uint32_t>(U32(file, opt + countOffset), 16);
    if (sectionAlignment < kPageSize || (sectionAlignment & (sectionAlignment - 1)) ||
        layout.sizeOfImage == 0 || layout.sizeOfImage > kMaxImageSize ||
        layout.sizeOfHeaders == 0 || layout.sizeOfHeaders > layout.sizeOfImage ||
        layout.sizeOfHeaders > fileSize || layout.entryPoint >= layout.sizeOfImage ||
        (layout.preferredBase % 0x10000) != 0)
        return std::nullopt;
    if (directoryOffset + 8ull * directoryCount > optionalSize)
        return std::nullopt;

    Directory directories[16];
    for (uint32_t i = 0; i < directoryCount; ++i) {
        Directory& d = directories[i];
        d.rva = U32(file, opt + directoryOffset + 8 * i);
        d.size = U32(file, opt + directoryOffset + 8 * i + 4);
        // Entry 4 (certificates) holds a file offset and is never mapped.
        if (i != 4 && d.size && !Fits(d.rva, d.size, layout.sizeOfImage))
            return std::nullopt;
    }
    layout.exports = directories[0];
    layout.imports = directories[1];
    layout.exceptions = directories[3];
    layout.relocations = directories[5];
    layout.tls = directories[9];

    const uint64_t table = opt + optionalSize;
    if (!Fits(table, 40ull * sectionCount, layout.sizeOfHeaders))
        return std::nullopt;
    uint64_t previousEnd = RoundUp(layout.sizeOfHeaders, kPageSize);
    for (uint32_t i = 0; i < sectionCount; ++i) {
        const uint64_t h = table + 40ull * i;
        Section s;
        const uint32_t virtualSize = U32(file, h + 8);
        s.virtualAddress = U32(file, h + 12);
        s.rawSize = U32(file, h + 16);
        s.rawOffset = U32(file, h + 20);
        s.characteristics = U32(file, h + 36);
        // A section without a virtual size spans its raw data, and one with
        // neither still gets a page of zeros.
        s.memorySize = virtualSize ? virtualSize : s.rawSize;
        if (s.memorySize == 0)
            s.memorySize = sectionAlignment;
        s.rawSize = std::min(s.rawSize, s.memorySize);
        if (s.virtualAddress % kPageSize || s.virtualAddress < previousEnd ||
            !Fits(s.virtualAddress, s.memorySize, layout.sizeOfImage) ||
            (s.rawSize && !Fits(s.rawOffset, s.rawSize, fileSize)))
            return std::nullopt;
        previousEnd = s.virtualAddress + static_cast<uint64_t>(s.memorySize);
        layout.sections.push_back(s);
    }
    return layout;
}

bool CopyImage(std::span<const uint8_t> file, const Layout& layout, std::span<uint8_t> image) {
    if (image.size() != layout.sizeOfImage || file.size() < layout.sizeOfHeaders)
        return false;
    std::memcpy(image.data(), file.data(), layout.sizeOfHeaders);
    for (const Section& s : layout.sections) {
        if (s.rawSize)
            std::memcpy(image.data() + s.virtualAddress, file.data() + s.rawOffset, s.rawSize);
    }
    return true;
}

bool ApplyRelocations(std::span<uint8_t> image, const Layout& layout, uint64_t delta) {
    if (image.size() != layout.sizeOfImage)
        return false;
    if (delta == 0)
        return true;
    if (layout.relocationsStripped || !layout.relocations.Present())
        return false;
    const std::span<const uint8_t> view(image.data(), image.size());
    const uint64_t end = static_cast<uint64_t>(layout.relocations.rva) + layout.relocations.size;
    uint64_t block = layout.relocations.rva;
    while (block < end) {
        if (!Fits(block, 8, end))
            return false;
        const uint32_t page = U32(view, block);
        const uint32_t blockSize = U32(view, block + 4);
        if (blockSize < 8 || !Fits(block, blockSize, end))
            return false;
        for (uint64_t e = block + 8; e + 2 <= block + blockSize; e += 2) {
            const uint16_t entry = U16(view, e);
            const uint64_t target = static_cast<uint64_t>(page) + (entry & 0x0FFF);
            switch (entry >> 12) {
                case 0:  // padding
                    break;
                case 3: {  // a 32-bit address
                    if (!Fits(target, 4, image.size()))
                        return false;
                    const uint32_t v = U32(view, target) + static_cast<uint32_t>(delta);
                    std::memcpy(image.data() + target, &v, 4);
                    break;
                }
                case 10: {  // a 64-bit address
                    if (!layout.is64 || !Fits(target, 8, image.size()))
                        return false;
                    const uint64_t v = U64(view, target) + delta;
                    std::memcpy(image.data() + target, &v, 8);
                    break;
                }
                default:
                    return false;
            }
        }
        block += blockSize;
    }
    return true;
}

std::optional<std::vector<ImportModule>> ReadImports(std::span<const uint8_t> image,
                                                     const Layout& layout) {
    std::vector<ImportModule> modules;
    if (!IsMappedImage(image, layout))
        return std::nullopt;
    if (!layout.imports.Present())
        return modules;
    const uint32_t ptr = layout.PointerSize();
    const uint64_t ordinalFlag = layout.is64 ? (1ull << 63) : (1ull << 31);
    for (uint64_t d = layout.imports.rva;; d += 20) {
        if (!Fits(d, 20, image.size()) || modules.size() >= kMaxImportModules)
            return std::nullopt;
        const uint32_t lookup = U32(image, d);
        const uint32_t nameRva = U32(image, d + 12);
        const uint32_t iat = U32(image, d + 16);
        if (nameRva == 0 && iat == 0)
            break;
        std::optional<std::string> name = ReadName(image, nameRva);
        if (!name || name->empty() || iat == 0)
            return std::nullopt;
        ImportModule module{std::move(*name), {}};
        const uint64_t thunks = lookup ? lookup : iat;
        for (uint64_t i = 0;; ++i) {
            const uint64_t at = thunks + i * ptr;
            const uint64_t slot = iat + i * ptr;
            if (i >= kMaxImportsPerModule || !Fits(at, ptr, image.size()) ||
                !Fits(slot, ptr, image.size()))
                return std::nullopt;
            const uint64_t thunk = layout.is64 ? U64(image, at) : U32(image, at);
            if (thunk == 0)
                break;
            ImportFunction f;
            f.slotRva = static_cast<uint32_t>(slot);
            if (thunk & ordinalFlag) {
                f.byOrdinal = true;
                f.ordinal = static_cast<uint16_t>(thunk & 0xFFFF);
            } else {
                // A hint (2 bytes), then the name.
                if (thunk >= image.size())
                    return std::nullopt;
                std::optional<std::string> functionName = ReadName(image, thunk + 2);
                if (!functionName || functionName->empty())
                    return std::nullopt;
                f.name = std::move(*functionName);
            }
            module.functions.push_back(std::move(f));
        }
        modules.push_back(std::move(module));
    }
    return modules;
}

std::optional<uint32_t> FindExport(std::span<const uint8_t> image, const Layout& layout,
                                   std::string_view name) {
    const Directory dir = layout.exports;
    if (!IsMappedImage(image, layout) || dir.size < 40)
        return std::nullopt;
    const uint32_t functionCount = U32(image, dir.rva + 20);
    const uint32_t nameCount = U32(image, dir.rva + 24);
    const uint32_t functions = U32(image, dir.rva + 28);
    const uint32_t names = U32(image, dir.rva + 32);
    const uint32_t ordinals = U32(image, dir.rva + 36);
    if (!Fits(functions, 4ull * functionCount, image.size()) ||
        !Fits(names, 4ull * nameCount, image.size()) ||
        !Fits(ordinals, 2ull * nameCount, image.size()))
        return std::nullopt;
    for (uint32_t i = 0; i < nameCount; ++i) {
        const uint32_t nameRva = U32(image, names + 4ull * i);
        if (nameRva >= image.size())
            return std::nullopt;
        const uint64_t room = image.size() - nameRva;
        if (room <= name.size() || std::memcmp(image.data() + nameRva, name.data(), name.size()) ||
            image[nameRva + name.size()] != 0)
            continue;
        const uint16_t ordinal = U16(image, ordinals + 2ull * i);
        if (ordinal >= functionCount)
            return std::nullopt;
        const uint32_t rva = U32(image, functions + 4ull * ordinal);
        // An address inside the export directory names another DLL's function.
        const bool forwarded = rva >= dir.rva && rva - dir.rva < dir.size;
        if (forwarded || !layout.IsCode(rva))
            return std::nullopt;
        return rva;
    }
    return std::nullopt;
}

std::optional<std::vector<uint32_t>> ReadTlsCallbacks(std::span<const uint8_t> image,
                                                      const Layout& layout, uint64_t base) {
    std::vector<uint32_t> callbacks;
    if (!IsMappedImage(image, layout))
        return std::nullopt;
    if (!layout.tls.Present())
        return callbacks;
    const uint32_t ptr = layout.PointerSize();
    if (layout.tls.size < 6 * ptr - (layout.is64 ? 8 : 0))
        return std::nullopt;
    const uint64_t listVa =
        layout.is64 ? U64(image, layout.tls.rva + 24) : U32(image, layout.tls.rva + 12);
    if (listVa == 0)
        return callbacks;
    if (listVa < base)
        return std::nullopt;
    const uint64_t list = listVa - base;
    for (uint32_t i = 0;; ++i) {
        const uint64_t at = list + static_cast<uint64_t>(i) * ptr;
        if (i > kMaxTlsCallbacks || !Fits(at, ptr, image.size()))
            return std::nullopt;
        const uint64_t va = layout.is64 ? U64(image, at) : U32(image, at);
        if (va == 0)
            break;
        if (va < base || va - base >= image.size() ||
            !layout.IsCode(static_cast<uint32_t>(va - base)))
            return std::nullopt;
        callbacks.push_back(static_cast<uint32_t>(va - base));
    }
    return callbacks;
}

uint32_t UnwindEntryCount(const Layout& layout) {
    return layout.is64 ? layout.exceptions.size / 12 : 0;
}

}  // namespace pt::pe
