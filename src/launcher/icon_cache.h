// The icon cache file data\Cache: PNG images keyed by a 32-bit icon key.
//
//   0   "icon"
//   4   u32 0x00035BC7
//   8   u32 key type (3 = 32-bit integer)
//   12  u32 value type (11 = byte buffer)
//   16  u32 entry count n
//   20  n x (u32 key, u32 value offset)
//   ..  data: u32 1, u32 length, the bytes
//
// From offset 8 on this is a serialised hash table whose "hash" tag was
// replaced by the 8-byte header, so its offsets count from file offset 4.
// All integers little-endian. The reader checks every count, offset and length
// against the buffer: a truncated, foreign or hostile file gives nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace pt {

using IconImages = std::unordered_map<uint32_t, std::string>;
// The same table with the bytes left where they are (in the file's buffer).
using IconImageViews = std::unordered_map<uint32_t, std::string_view>;

inline constexpr uint32_t kIconCacheMagic = 0x00035BC7;

// The whole file. Nothing when the images do not fit 32-bit offsets.
std::optional<std::string> SerializeIconCache(const IconImages& images);
std::optional<std::string> SerializeIconCache(const IconImageViews& images);
// Nothing when the file is not a well-formed cache of integer keys and byte buffers.
std::optional<IconImages> ParseIconCache(std::string_view file);
// The same without copying: the views point into `file`, which must outlive them.
std::optional<IconImageViews> ParseIconCacheViews(std::string_view file);

// Where an image's bytes lie in the file.
struct IconCacheEntry {
    uint32_t at = 0;  // file offset
    uint32_t length = 0;
    bool operator==(const IconCacheEntry&) const = default;
};
using IconCacheIndex = std::unordered_map<uint32_t, IconCacheEntry>;
// Reads `length` bytes at file offset `at` into `out`; false when they are not all there.
using IconCacheRead = std::function<bool(uint64_t at, char* out, size_t length)>;
// Where every image lies, for a file of `fileSize` bytes read through
// `read`, with the checks of ParseIconCache: nothing unless the whole file is
// well formed. The file is read front to back in blocks of a bounded size;
// only the table and the entries' headers are kept from it.
std::optional<IconCacheIndex> ParseIconCacheIndex(uint64_t fileSize, const IconCacheRead& read);

// The icon key: CRC-32 of the UTF-16LE text `source + "," + scale`, its
// terminating zero unit included. `source` is the default icon source.
uint32_t IconKey(std::string_view defaultSource, float scale);
// The scale as it appears in the key text ("1", "1.25").
std::string ScaleKeyText(float scale);

}  // namespace pt
