// Enciphering and deciphering whole item records; see item_cipher.h.
#include "launcher/item_cipher.h"

#include "launcher/cipher.h"
#include "launcher/target.h"

namespace pt {
namespace {

std::string Enciphered(std::string_view plain, std::string_view key) {
    return std::string(kEncryptPrefix) + CipherEncode(plain, key);
}

bool HasCipherText(std::string_view value) {
    return value.find(kEncryptPrefix) != std::string_view::npos &&
           !AfterEncryptPrefix(value).empty();
}

// Only values that carry cipher text are deciphered: a plain value left in
// an enciphered record (written by hand, say) must not be lost to a failed
// decipherment.
std::string Deciphered(const std::string& value, std::string_view key) {
    return HasCipherText(value) ? CipherDecode(AfterEncryptPrefix(value), key) : value;
}

}  // namespace

ItemRecord EncipherItem(const ItemRecord& plain, std::string_view key) {
    ItemRecord out = plain;
    out.type = "encrypt";
    out.path = Enciphered(plain.path, key);
    if (!plain.param.empty())
        out.param = Enciphered(plain.param, key);
    if (!plain.workDir.empty())
        out.workDir = Enciphered(plain.workDir, key);
    out.icon = EncipherIconSource(plain.icon.empty() ? plain.path : plain.icon);
    return out;
}

std::optional<ItemRecord> DecipherItem(
    const ItemRecord& enciphered, std::string_view key,
    const std::function<std::string(std::string_view)>& kindText) {
    const std::string_view cipherText = AfterEncryptPrefix(enciphered.path);
    const std::string plain = cipherText.empty() ? std::string() : CipherDecode(cipherText, key);
    if (plain.empty())
        return std::nullopt;
    ItemRecord out = enciphered;
    out.path = plain;
    out.type = kindText(plain);
    out.param = Deciphered(enciphered.param, key);
    out.workDir = Deciphered(enciphered.workDir, key);
    out.icon = Deciphered(enciphered.icon, kIconCipherKey);
    if (out.icon == out.path)
        out.icon.clear();
    return out;
}

std::string EncipherIconSource(std::string_view plain) {
    return Enciphered(plain, kIconCipherKey);
}

std::string EncipheredNotice(std::string_view key) {
    return "加密成功，设置密钥为（" + std::string(key) + "），请妥善保存！";
}

}  // namespace pt
