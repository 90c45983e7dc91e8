// The UTF-16LE bytes the program's stores write and read, made and read back
// by tests that look at the files themselves.
#pragma once

#include <string>
#include <string_view>

#include "base/text.h"

namespace pt::test {

// `text` (UTF-8) as UTF-16LE bytes, no byte-order mark, no terminator.
inline std::string Utf16Bytes(std::string_view text) {
    std::string bytes;
    for (char16_t c : Utf8ToWide(text)) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

// UTF-16LE bytes as UTF-8 text; a leading byte-order mark is skipped and an
// odd last byte dropped.
inline std::string Utf16Text(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
        bytes.remove_prefix(2);
    std::u16string units;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                       static_cast<unsigned char>(bytes[i + 1]) << 8);
    return WideToUtf8(units);
}

}  // namespace pt::test
