// Reader and writer of the icon cache file; see icon_cache.h for the layout.
#include "launcher/icon_cache.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <vector>

#include "base/crc32.h"
#include "base/text.h"

namespace pt {
namespace {

constexpr std::string_view kFileTag = "icon";
constexpr uint32_t kTypeInteger = 3;
constexpr uint32_t kTypeText = 10;
constexpr uint32_t kTypeBuffer = 11;
constexpr uint32_t kBufferMarker = 1;
// Serialisation offsets count from file offset 4 (where "hash" stood).
constexpr uint64_t kOffsetBase = 4;
constexpr uint64_t kTableStart = 16;  // in serialisation offsets

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Reads a u32 at serialisation offset `at`; false when it lies outside the file.
bool GetU32(std::string_view file, uint64_t at, uint32_t* v) {
    uint64_t pos = at + kOffsetBase;
    if (pos < 8 || pos > file.size() || file.size() - pos < 4)
        return false;
    const auto* p = reinterpret_cast<const uint8_t*>(file.data() + pos);
    *v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    return true;
}

bool KnownType(uint32_t type) {
    return type == kTypeInteger || type == kTypeText || type == kTypeBuffer;
}

}  // namespace

std::optional<std::string> SerializeIconCache(const IconImageViews& images) {
    std::vector<uint32_t> keys;
    keys.reserve(images.size());
    for (const auto& entry : images)
        keys.push_back(entry.first);
    std::sort(keys.begin(), keys.end());  // same images, same file

    uint64_t dataStart = kTableStart + 8 * static_cast<uint64_t>(keys.size());
    uint64_t total = dataStart;
    for (const auto& entry : images)
        total += 8 + entry.second.size();
    if (total + kOffsetBase > UINT32_MAX)
        return std::nullopt;

    std::string out;
    out.reserve(static_cast<size_t>(total + kOffsetBase));
    out.append(kFileTag);
    PutU32(out, kIconCacheMagic);
    PutU32(out, kTypeInteger);
    PutU32(out, kTypeBuffer);
    PutU32(out, static_cast<uint32_t>(keys.size()));
    uint64_t offset = dataStart;
    for (uint32_t key : keys) {
        PutU32(out, key);
        PutU32(out, static_cast<uint32_t>(offset));
        offset += 8 + images.at(key).size();
    }
    for (uint32_t key : keys) {
        std::string_view bytes = images.at(key);
        PutU32(out, kBufferMarker);
        PutU32(out, static_cast<uint32_t>(bytes.size()));
        out.append(bytes);
    }
    return out;
}

std::optional<std::string> SerializeIconCache(const IconImages& images) {
    IconImageViews views;
    views.reserve(images.size());
    for (const auto& [key, bytes] : images)
        views.emplace(key, bytes);
    return SerializeIconCache(views);
}

std::optional<IconImageViews> ParseIconCacheViews(std::string_view file) {
    uint32_t magic = 0;
    if (file.size() < 8 || file.substr(0, 4) != kFileTag)
        return std::nullopt;
    magic = static_cast<uint32_t>(static_cast<uint8_t>(file[4])) |
            static_cast<uint32_t>(static_cast<uint8_t>(file[5])) << 8 |
            static_cast<uint32_t>(static_cast<uint8_t>(file[6])) << 16 |
            static_cast<uint32_t>(static_cast<uint8_t>(file[7])) << 24;
    if (magic != kIconCacheMagic)
        return std::nullopt;

    uint32_t keyType = 0, valueType = 0, count = 0;
    if (!GetU32(file, 4, &keyType) || !GetU32(file, 8, &valueType) || !GetU32(file, 12, &count)) {
        return std::nullopt;
    }
    if (!KnownType(keyType) || !KnownType(valueType))
        return std::nullopt;
    // Only integer keys and byte-buffer values make an icon table.
    if (keyType != kTypeInteger || valueType != kTypeBuffer)
        return std::nullopt;
    // The table itself must fit before anything is reserved for it.
    uint64_t tableEnd = kTableStart + 8 * static_cast<uint64_t>(count);
    if (tableEnd + kOffsetBase > file.size())
        return std::nullopt;

    IconImageViews images;
    images.reserve(count);
    for (uint64_t i = 0; i < count; ++i) {
        uint32_t key = 0, valueOffset = 0, marker = 0, length = 0;
        if (!GetU32(file, kTableStart + 8 * i, &key) ||
            !GetU32(file, kTableStart + 8 * i + 4, &valueOffset)) {
            return std::nullopt;
        }
        if (!GetU32(file, valueOffset, &marker) ||
            !GetU32(file, uint64_t{valueOffset} + 4, &length)) {
            return std::nullopt;
        }
        if (marker != kBufferMarker)
            return std::nullopt;
        uint64_t bytesAt = uint64_t{valueOffset} + 8 + kOffsetBase;
        if (bytesAt > file.size() || file.size() - bytesAt < length)
            return std::nullopt;
        images[key] = file.substr(static_cast<size_t>(bytesAt), length);
    }
    return images;
}

std::optional<IconImages> ParseIconCache(std::string_view file) {
    std::optional<IconImageViews> views = ParseIconCacheViews(file);
    if (!views)
        return std::nullopt;
    IconImages images;
    images.reserve(views->size());
    for (const auto& [key, bytes] : *views)
        images.emplace(key, std::string(bytes));
    return images;
}

std::string ScaleKeyText(float scale) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, scale);
    if (result.ec != std::errc())
        return "1";
    return std::string(buffer, result.ptr);
}

uint32_t IconKey(std::string_view defaultSource, float scale) {
    // One key per grid entry at every start: the UTF-16 text is hashed where
    // it stands, which on a little-endian machine is its UTF-16LE form.
    static_assert(std::endian::native == std::endian::little);
    std::string key(defaultSource);
    key += ',';
    key += ScaleKeyText(scale);
    std::u16string text(key.size() + 1, u'\0');
    const size_t units = Utf8ToWideInto(key, text.data());
    // The terminating zero unit is part of the key.
    return Crc32(text.data(), (units + 1) * sizeof(char16_t));
}

}  // namespace pt
