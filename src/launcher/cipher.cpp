// The item cipher; see cipher.h for the stored layout.
#include "launcher/cipher.h"

#include <array>
#include <chrono>

#include "launcher/cp936_text.h"
#include "base/text.h"
#include "launcher/digest.h"

namespace pt {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr size_t kKeycSize = 4;
constexpr size_t kExpirySize = 10;
constexpr size_t kCheckSize = 16;

struct CipherKeys {
    std::string cryptKey;  // 64 characters, the seed of the keystream
    std::string keyb;      // salt of the check digits
};

CipherKeys DeriveKeys(std::string_view keyBytes, std::string_view keyc) {
    std::string k = Md5Hex(keyBytes);
    std::string keya = Md5Hex(std::string_view(k).substr(0, 16));
    CipherKeys keys;
    keys.keyb = Md5Hex(std::string_view(k).substr(16, 16));
    keys.cryptKey = keya + Md5Hex(keya + std::string(keyc));
    return keys;
}

// The RC4-like keystream XORed over the data in place.
void ApplyKeystream(std::string& data, std::string_view cryptKey) {
    std::array<uint8_t, 256> box;
    for (int i = 0; i < 256; ++i)
        box[i] = static_cast<uint8_t>(i);
    uint32_t j = 0;
    for (size_t i = 0; i < 256; ++i) {
        j = (j + box[i] + static_cast<uint8_t>(cryptKey[i % cryptKey.size()])) % 256;
        std::swap(box[i], box[j]);
    }
    uint32_t a = 0;
    j = 0;
    for (char& c : data) {
        a = (a + 1) % 256;
        j = (j + box[a]) % 256;
        std::swap(box[a], box[j]);
        c = static_cast<char>(static_cast<uint8_t>(c) ^ box[(box[a] + box[j]) % 256]);
    }
}

// The expiry field read like a number: leading digits only.
int64_t ReadExpiry(std::string_view digits) {
    int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string TenDigits(int64_t value) {
    if (value < 0)
        value = 0;
    std::string text = std::to_string(value);
    if (text.size() < kExpirySize)
        text.insert(0, kExpirySize - text.size(), '0');
    return text;
}

// A key is ASCII by the key dialog's rules; anything else is taken in the
// same form as plain text, without the mark.
std::string KeyBytes(std::string_view key) {
    std::string bytes;
    if (cp936::FromUtf8(key, &bytes))
        return bytes;
    return std::string(key);
}

}  // namespace

CipherClock CurrentCipherClock() {
    using namespace std::chrono;
    // FILETIME counts 100 ns ticks from 1601-01-01; Unix time starts 11644473600 s later.
    auto sinceEpoch = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    CipherClock clock;
    clock.fileTime = static_cast<uint64_t>(sinceEpoch) * 10 + 116444736000000000ULL;
    clock.unixNow = sinceEpoch / 1000000;
    return clock;
}

std::string CipherEncodeBytes(std::string_view plainBytes, std::string_view keyBytes,
                              const CipherClock& clock, int64_t expirySeconds) {
    std::string stamp = Md5Hex(std::to_string(clock.fileTime));
    std::string keyc = stamp.substr(stamp.size() - kKeycSize);
    CipherKeys keys = DeriveKeys(keyBytes, keyc);

    std::string block = expirySeconds != 0 ? TenDigits(expirySeconds + clock.unixNow)
                                           : std::string(kExpirySize, '0');
    std::string check = Md5Hex(std::string(plainBytes) + keys.keyb);
    block.append(check, 0, kCheckSize);
    block.append(plainBytes);
    ApplyKeystream(block, keys.cryptKey);

    std::string text = keyc;
    for (char c : Base64Encode(block)) {
        if (c != '=')
            text += c;
    }
    return text;
}

std::optional<std::string> CipherDecodeBytes(std::string_view cipherText, std::string_view keyBytes,
                                             const CipherClock& clock) {
    if (cipherText.size() < kKeycSize)
        return std::nullopt;
    CipherKeys keys = DeriveKeys(keyBytes, cipherText.substr(0, kKeycSize));
    std::optional<std::string> block = Base64Decode(cipherText.substr(kKeycSize));
    if (!block || block->size() < kExpirySize + kCheckSize)
        return std::nullopt;
    ApplyKeystream(*block, keys.cryptKey);

    std::string_view view(*block);
    int64_t expiry = ReadExpiry(view.substr(0, kExpirySize));
    if (expiry != 0 && expiry - clock.unixNow <= 0)
        return std::nullopt;
    std::string_view plain = view.substr(kExpirySize + kCheckSize);
    std::string check = Md5Hex(std::string(plain) + keys.keyb);
    if (view.substr(kExpirySize, kCheckSize) != std::string_view(check).substr(0, kCheckSize)) {
        return std::nullopt;
    }
    return std::string(plain);
}

std::string CipherPlainBytes(std::string_view text) {
    std::string bytes;
    // Code page 936 text whose own bytes open with the mark ("锘緻" is
    // EF BB BF 40) would read back as UTF-8: it takes the marked form too.
    if (cp936::FromUtf8(text, &bytes) && bytes.compare(0, kUtf8Mark.size(), kUtf8Mark) != 0)
        return bytes;
    bytes.assign(kUtf8Mark);
    bytes.append(text);
    return bytes;
}

std::optional<std::string> CipherPlainText(std::string_view bytes) {
    if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
        std::string_view text = bytes.substr(kUtf8Mark.size());
        if (IsValidUtf8(text))
            return std::string(text);
        // Earlier versions wrote such text as plain 936 bytes; after the
        // mark they are rarely valid UTF-8, so the whole is read as 936.
    }
    return cp936::ToUtf8(bytes);
}

std::string CipherEncodeAt(std::string_view plainText, std::string_view key,
                           const CipherClock& clock) {
    return CipherEncodeBytes(CipherPlainBytes(plainText), KeyBytes(key), clock);
}

std::string CipherDecodeAt(std::string_view cipherText, std::string_view key,
                           const CipherClock& clock) {
    std::optional<std::string> bytes = CipherDecodeBytes(cipherText, KeyBytes(key), clock);
    if (!bytes)
        return {};
    return CipherPlainText(*bytes).value_or(std::string());
}

std::string CipherEncode(std::string_view plainText, std::string_view key) {
    return CipherEncodeAt(plainText, key, CurrentCipherClock());
}

std::string CipherDecode(std::string_view cipherText, std::string_view key) {
    return CipherDecodeAt(cipherText, key, CurrentCipherClock());
}

}  // namespace pt
