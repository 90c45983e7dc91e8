// The two memory blocks another program hands over in a drag and drop: the
// shell's ID list array (a count, count + 1 offsets, then a parent ID list
// and one child list per object) and the file list (a header, then the
// names, each ended by a zero, the list by one more). Both come from
// whatever program started the drag, so they are untrusted input: every
// offset and length is checked against the block's size before anything is
// read there, and a block that fails any check is refused whole.
//
// Pure code: the blocks are taken as bytes (little-endian, as Windows lays
// them out), so the readers build and are fuzzed natively.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pt {

// One ID list inside the block: where it starts and how many bytes it has,
// its two-byte zero terminator included.
struct IdListSpan {
    size_t offset = 0;
    size_t size = 0;

    bool operator==(const IdListSpan&) const = default;
};

struct IdListArray {
    IdListSpan parent;
    std::vector<IdListSpan> children;  // at least one

    bool operator==(const IdListArray&) const = default;
};

// The layout of an ID list array block, or nothing when the count does not
// fit the block, an offset points outside it, an item's length is below two
// or runs past the end, a list has no terminator inside the block, or the
// block holds no object at all.
std::optional<IdListArray> ParseIdListArray(std::string_view block);

// A block of that layout from whole ID lists (each with its terminator; a
// list without one gets it), parent first.
std::string BuildIdListArray(std::string_view parent, const std::vector<std::string>& children);

// The size of the file list header and where its fields sit.
inline constexpr size_t kDropFilesHeaderSize = 20;

// True when the file list block is one Windows' own reader can walk
// without leaving it: the header fits, the names start inside the block
// after the header, and the list's closing empty name (a zero unit after
// the last name's zero) lies inside the block. `wide` tells the unit size
// the header declares.
bool CheckDropFiles(std::string_view block, bool* wide = nullptr);

}  // namespace pt
