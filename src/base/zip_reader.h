// Reads entries of a ZIP archive held in memory: the archive packed into the
// exe carries the UI's layouts, images and font, each entry deflated (or
// stored) and encrypted with the traditional PKWARE scheme. The input is
// untrusted as far as this reader is concerned: every offset, count and length
// is checked against the buffer, declared sizes are capped, and an entry is
// returned only when its output has exactly the declared size and CRC-32.
// Anything else (missing, truncated, corrupt, wrong password, unsupported
// method) reads as "no entry".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pt {

class ZipReader {
  public:
    // Entries that claim more than this are refused before any inflating, so
    // a hostile archive cannot make the program allocate gigabytes.
    static constexpr uint32_t kMaxEntrySize = 64u * 1024u * 1024u;

    ZipReader() = default;

    // Takes the archive and indexes its central directory. False (and an
    // empty reader) when there is no usable end record or the directory does
    // not fit the buffer; a directory record that is malformed ends the
    // index there, keeping the entries before it.
    bool Open(std::vector<uint8_t> bytes);
    void Close();

    bool IsOpen() const { return open_; }
    size_t EntryCount() const { return entries_.size(); }
    // Entry names as the directory holds them, with '/' separators, sorted.
    std::vector<std::string> EntryNames() const;
    bool Contains(std::string_view name) const;

    // The entry's content. `name` may use '\' or '/'; otherwise it must match
    // exactly (names are case-sensitive, as the archive is ours and its
    // callers use fixed names). Encrypted entries need the password; an
    // unencrypted entry ignores it.
    std::optional<std::vector<uint8_t>> Read(std::string_view name,
                                             std::string_view password = {}) const;

  private:
    struct Entry {
        uint16_t flags = 0;
        uint16_t method = 0;
        uint16_t modTime = 0;
        uint32_t crc = 0;
        uint32_t compressedSize = 0;
        uint32_t size = 0;
        uint32_t localOffset = 0;
    };

    const Entry* Find(std::string_view name) const;

    std::vector<uint8_t> bytes_;
    std::unordered_map<std::string, Entry> entries_;
    bool open_ = false;
};

// Normalises an entry name for lookup: '\' becomes '/'.
std::string ZipEntryKey(std::string_view name);

}  // namespace pt
