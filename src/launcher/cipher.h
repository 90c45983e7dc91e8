// The item cipher: an item's target, parameters and start folder are stored
// as "encrypt:" followed by cipher text under a key of the user's choosing;
// its icon location under the built-in icon key, so the grid can show the
// icon without asking. Values written by earlier versions must still
// decipher, so the layout below is fixed byte for byte:
//
//   cipher text = keyc (4 characters) + Base64 of the enciphered block, "=" removed
//   block       = expiry (10 digits, "0000000000" = never)
//               + first 16 hex digits of MD5(plain bytes + keyb) + plain bytes
//
// The plain bytes are code page 936 text when every character of the text
// has a form there (as earlier versions wrote), otherwise the UTF-8 text
// behind the UTF-8 byte-order mark EF BB BF. Text whose 936 bytes would
// themselves begin with EF BB BF ("锘緻...") takes the marked form too; bytes
// behind the mark that are not UTF-8 are such a text from an earlier
// version, read whole as 936.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pt {

inline constexpr std::string_view kIconCipherKey = "Quvadt";

// The time inputs of the cipher, injectable for tests.
struct CipherClock {
    uint64_t fileTime = 0;  // 100 ns units since 1601, the seed of keyc
    int64_t unixNow = 0;    // seconds since 1970, for the expiry check
};
CipherClock CurrentCipherClock();

// Byte level. keyc is derived from clock.fileTime; expirySeconds 0 = never.
std::string CipherEncodeBytes(std::string_view plainBytes, std::string_view keyBytes,
                              const CipherClock& clock, int64_t expirySeconds = 0);
// Nothing when the key is wrong, the text damaged or the value expired.
std::optional<std::string> CipherDecodeBytes(std::string_view cipherText, std::string_view keyBytes,
                                             const CipherClock& clock);

// Text level (UTF-8 in and out). A wrong key or damaged text gives "".
std::string CipherEncode(std::string_view plainText, std::string_view key);
std::string CipherEncodeAt(std::string_view plainText, std::string_view key,
                           const CipherClock& clock);
std::string CipherDecode(std::string_view cipherText, std::string_view key);
std::string CipherDecodeAt(std::string_view cipherText, std::string_view key,
                           const CipherClock& clock);

// The plain-byte forms described above.
std::string CipherPlainBytes(std::string_view text);
std::optional<std::string> CipherPlainText(std::string_view bytes);

}  // namespace pt
