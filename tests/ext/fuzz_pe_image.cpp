// Fuzzes the PE reader with arbitrary files for both processors: whatever
// the headers claim, mapping, relocating, and reading the imports, exports
// and TLS callbacks must stay inside the file and the mapped image.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ext/pe_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> file(data, size);
    for (uint16_t machine : {pt::pe::kMachineAmd64, pt::pe::kMachineI386}) {
        std::optional<pt::pe::Layout> layout = pt::pe::ParseImage(file, machine);
        // Large claims are checked like small ones; zeroing tens of
        // megabytes per input would only slow the search down.
        if (!layout || layout->sizeOfImage > (4u << 20))
            continue;
        std::vector<uint8_t> image(layout->sizeOfImage);
        if (!pt::pe::CopyImage(file, *layout, image))
            continue;
        const uint64_t base = layout->preferredBase + 0x10000;
        if (!pt::pe::ApplyRelocations(image, *layout, 0x10000))
            continue;
        pt::pe::ReadImports(image, *layout);
        pt::pe::FindExport(image, *layout, "PrScrn");
        pt::pe::ReadTlsCallbacks(image, *layout, base);
    }
    return 0;
}
