// Bounds-checked readers of the dropped ID list array and file list blocks;
// see drop_blocks.h.
#include "launcher/drop_blocks.h"

#include <cstdint>

namespace pt {
namespace {

uint32_t ReadU32(std::string_view block, size_t at) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(static_cast<unsigned char>(block[at + i])) << (8 * i);
    return v;
}

uint16_t ReadU16(std::string_view block, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(block[at]) |
                                 static_cast<unsigned char>(block[at + 1]) << 8);
}

void AppendU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The list at `offset`: items of a 16-bit length (itself included) each,
// up to a zero length. Sizes are compared, never added to an offset first,
// so no length can wrap around.
std::optional<IdListSpan> WalkIdList(std::string_view block, uint64_t offset) {
    if (offset > block.size())
        return std::nullopt;
    size_t at = static_cast<size_t>(offset);
    for (;;) {
        if (block.size() - at < 2)
            return std::nullopt;
        const uint16_t cb = ReadU16(block, at);
        if (cb == 0)
            return IdListSpan{static_cast<size_t>(offset), at + 2 - static_cast<size_t>(offset)};
        if (cb < 2 || cb > block.size() - at)
            return std::nullopt;
        at += cb;
    }
}

// Whether the ID list bytes end in a terminator that closes the list (its
// items walked from the start, not just two zero bytes at the end).
bool HasTerminator(std::string_view list) {
    std::optional<IdListSpan> span = WalkIdList(list, 0);
    return span && span->size == list.size();
}

}  // namespace

std::optional<IdListArray> ParseIdListArray(std::string_view block) {
    if (block.size() < 4)
        return std::nullopt;
    const uint64_t count = ReadU32(block, 0);
    // The count and its count + 1 offsets must fit before any list starts.
    if (count == 0 || (count + 2) * 4 > block.size())
        return std::nullopt;
    IdListArray array;
    array.children.reserve(static_cast<size_t>(count));
    for (uint64_t i = 0; i <= count; ++i) {
        std::optional<IdListSpan> span = WalkIdList(block, ReadU32(block, 4 + 4 * i));
        if (!span)
            return std::nullopt;
        if (i == 0) {
            array.parent = *span;
        } else {
            array.children.push_back(*span);
        }
    }
    return array;
}

std::string BuildIdListArray(std::string_view parent, const std::vector<std::string>& children) {
    std::vector<std::string> lists;
    lists.emplace_back(parent);
    lists.insert(lists.end(), children.begin(), children.end());
    std::string out;
    AppendU32(out, static_cast<uint32_t>(children.size()));
    size_t offset = 4 + 4 * lists.size();
    for (std::string& list : lists) {
        if (!HasTerminator(list))
            list.append(2, '\0');
        AppendU32(out, static_cast<uint32_t>(offset));
        offset += list.size();
    }
    for (const std::string& list : lists)
        out += list;
    return out;
}

bool CheckDropFiles(std::string_view block, bool* wide) {
    if (block.size() < kDropFilesHeaderSize)
        return false;
    const uint32_t start = ReadU32(block, 0);
    const bool isWide = ReadU32(block, 16) != 0;
    if (wide)
        *wide = isWide;
    if (start < kDropFilesHeaderSize || start >= block.size())
        return false;
    const size_t unit = isWide ? 2 : 1;
    // Each name ends at a zero unit; an empty name ends the list.
    bool nameEmpty = true;
    for (size_t at = start; block.size() - at >= unit; at += unit) {
        const bool zero = unit == 1 ? block[at] == 0 : ReadU16(block, at) == 0;
        if (zero && nameEmpty)
            return true;
        nameEmpty = zero;
    }
    return false;
}

}  // namespace pt
