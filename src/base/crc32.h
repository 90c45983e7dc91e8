// CRC-32 as zlib and RtlComputeCrc32 compute it (reflected polynomial
// 0xEDB88320, the running value passed in and returned uninverted), so keys
// computed here match those stored by earlier versions of the program.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pt {

// Continues `crc` over the bytes; start with 0.
uint32_t Crc32(const void* data, size_t size, uint32_t crc = 0);

}  // namespace pt
