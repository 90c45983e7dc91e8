// CRC-32 through zlib, which the program links anyway.
#include "base/crc32.h"

#include <zlib.h>

#include <climits>

namespace pt {

uint32_t Crc32(const void* data, size_t size, uint32_t crc) {
    const auto* bytes = static_cast<const Bytef*>(data);
    uLong value = crc;
    // zlib takes a uInt length; feed larger buffers in pieces.
    while (size > 0) {
        uInt chunk = size > UINT_MAX ? UINT_MAX : static_cast<uInt>(size);
        value = ::crc32(value, bytes, chunk);
        bytes += chunk;
        size -= chunk;
    }
    return static_cast<uint32_t>(value);
}

}  // namespace pt
