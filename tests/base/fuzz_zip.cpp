// Fuzzes the ZIP reader with arbitrary archives: opening, listing and reading
// every entry with and without a password must never leave the buffer.
#include "base/zip_reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pt::ZipReader zip;
    if (!zip.Open(std::vector<uint8_t>(data, data + size)))
        return 0;
    for (const std::string& name : zip.EntryNames()) {
        zip.Read(name);
        zip.Read(name, "Tq7mVx2Lp");
    }
    zip.Read("res\\resource.res");
    return 0;
}
