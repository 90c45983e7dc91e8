// MD5 (RFC 1321) and Base64 (RFC 4648, standard alphabet) for the item
// cipher. Our own small implementations: the cipher needs exact, portable
// results and nothing here may depend on a system library.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pt {

std::array<uint8_t, 16> Md5(std::string_view bytes);
// 32 lowercase hexadecimal characters.
std::string Md5Hex(std::string_view bytes);

// Padded, no line breaks.
std::string Base64Encode(std::string_view bytes);
// Accepts text with or without "=" padding and skips white space, as the
// system decoder does; anything else that is not Base64 gives nothing.
std::optional<std::string> Base64Decode(std::string_view text);

}  // namespace pt
