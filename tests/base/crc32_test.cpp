// CRC-32 check value, chaining, and agreement with zlib's crc32.
#include "base/crc32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

namespace pt {
namespace {

TEST(Crc32Test, CheckValueChainingAndZlibAgreement) {
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32("", 0), 0u);
    EXPECT_EQ(Crc32("12345", 5, Crc32("", 0)), Crc32("12345", 5));
    EXPECT_EQ(Crc32("6789", 4, Crc32("12345", 5)), 0xCBF43926u);
    std::string data;
    for (int i = 0; i < 5000; ++i) data += static_cast<char>(i * 7 + i / 13);
    EXPECT_EQ(Crc32(data.data(), data.size()),
              crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

}  // namespace
}  // namespace pt
