// Reader and writer of the icon cache file; see icon_cache.h for the layout.
#include "launcher/icon_cache.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
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
// The most of the file read at once while its index is checked.
constexpr uint64_t kReadBlock = 256 * 1024;

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

uint32_t U32At(const char* at) {
    const auto* p = reinterpret_cast<const uint8_t*>(at);
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
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

std::optional<IconCacheIndex> ParseIconCacheIndex(uint64_t fileSize, const IconCacheRead& read) {
    char head[20];
    if (fileSize < sizeof head || !read(0, head, sizeof head))
        return std::nullopt;
    if (std::string_view(head, 4) != kFileTag || U32At(head + 4) != kIconCacheMagic)
        return std::nullopt;
    const uint32_t keyType = U32At(head + 8), valueType = U32At(head + 12);
    const uint32_t count = U32At(head + 16);
    if (!KnownType(keyType) || !KnownType(valueType))
        return std::nullopt;
    // Only integer keys and byte-buffer values make an icon table.
    if (keyType != kTypeInteger || valueType != kTypeBuffer)
        return std::nullopt;
    // The table itself must fit before anything is reserved for it.
    const uint64_t tableEnd = kTableStart + 8 * static_cast<uint64_t>(count);
    if (tableEnd + kOffsetBase > fileSize)
        return std::nullopt;

    // Where each entry's header (marker, length) lies, in table order.
    struct Header {
        uint64_t at;
        uint32_t key;
    };
    std::vector<Header> headers;
    headers.reserve(count);
    std::vector<char> block(static_cast<size_t>(std::min<uint64_t>(kReadBlock, fileSize)));
    const size_t perBlock = block.size() / 8;
    for (uint64_t done = 0; done < count;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(count - done, perBlock));
        if (!read(kTableStart + kOffsetBase + 8 * done, block.data(), 8 * n))
            return std::nullopt;
        for (size_t j = 0; j < n; ++j) {
            const uint64_t at = uint64_t{U32At(block.data() + 8 * j + 4)} + kOffsetBase;
            // The header lies after the file's tag and magic, whole.
            if (at < 8 || at > fileSize || fileSize - at < 8)
                return std::nullopt;
            headers.push_back(Header{at, U32At(block.data() + 8 * j)});
        }
        done += n;
    }

    // The headers in file order, through one block-sized window: the file is
    // read front to back at most once, whatever the table's order.
    std::vector<uint32_t> order(count);
    for (uint32_t i = 0; i < count; ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](uint32_t a, uint32_t b) { return headers[a].at < headers[b].at; });
    std::vector<IconCacheEntry> entries(count);
    uint64_t windowAt = 0, windowLength = 0;
    for (uint32_t i : order) {
        const uint64_t at = headers[i].at;
        if (at < windowAt || at + 8 > windowAt + windowLength) {
            windowLength = std::min<uint64_t>(block.size(), fileSize - at);
            if (!read(at, block.data(), static_cast<size_t>(windowLength)))
                return std::nullopt;
            windowAt = at;
        }
        const char* header = block.data() + (at - windowAt);
        if (U32At(header) != kBufferMarker)
            return std::nullopt;
        const uint32_t length = U32At(header + 4);
        const uint64_t bytesAt = at + 8;
        // Offsets are kept in 32 bits: no file this program writes is larger.
        if (fileSize - bytesAt < length || bytesAt > UINT32_MAX)
            return std::nullopt;
        entries[i] = IconCacheEntry{static_cast<uint32_t>(bytesAt), length};
    }
    IconCacheIndex index;
    index.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        index[headers[i].key] = entries[i];  // a key listed twice: the last one counts
    return index;
}

std::optional<IconImageViews> ParseIconCacheViews(std::string_view file) {
    std::optional<IconCacheIndex> index =
        ParseIconCacheIndex(file.size(), [file](uint64_t at, char* out, size_t length) {
            if (at > file.size() || file.size() - at < length)
                return false;
            std::memcpy(out, file.data() + at, length);
            return true;
        });
    if (!index)
        return std::nullopt;
    IconImageViews images;
    images.reserve(index->size());
    for (const auto& [key, entry] : *index)
        images.emplace(key, file.substr(entry.at, entry.length));
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
