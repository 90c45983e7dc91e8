// ZIP parsing, traditional PKWARE decryption and raw inflate for ZipReader.
// All reads of the archive go through ReadLe16/ReadLe32 with an explicit
// bounds check, so no malformed field can make the reader leave the buffer.
#include "base/zip_reader.h"

#include "base/crc32.h"

#include <zlib.h>

#include <algorithm>
#include <array>

namespace pt {
namespace {

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr size_t kEndSize = 22;
constexpr size_t kCentralSize = 46;
constexpr size_t kLocalSize = 30;
constexpr size_t kMaxCommentSize = 0xFFFF;
constexpr size_t kCryptHeaderSize = 12;
// Deflate cannot expand data by more than about 1032:1 (a 258-byte match per
// two bits of input); a claim beyond that is a lie, refused before the output
// buffer is allocated.
constexpr uint64_t kMaxDeflateRatio = 1032;

constexpr uint16_t kFlagEncrypted = 1u << 0;
constexpr uint16_t kFlagDataDescriptor = 1u << 3;
constexpr uint16_t kFlagStrongEncryption = 1u << 6;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;

// True when [offset, offset + length) lies inside a buffer of `size` bytes,
// written so that no sum can wrap.
bool Fits(size_t size, size_t offset, size_t length) {
    return offset <= size && length <= size - offset;
}

uint16_t ReadLe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// The key schedule updates its first and third keys with one step of the
// CRC-32 register (no pre/post inversion), which a zlib-style CRC function
// does not expose; a local table gives it directly.
constexpr std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}
constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

class PkwareKeys {
  public:
    explicit PkwareKeys(std::string_view password) {
        for (char c : password)
            Update(static_cast<uint8_t>(c));
    }

    uint8_t Decrypt(uint8_t cipher) {
        const uint8_t plain = cipher ^ Stream();
        Update(plain);
        return plain;
    }

  private:
    static uint32_t CrcStep(uint32_t crc, uint8_t b) {
        return kCrcTable[(crc ^ b) & 0xFF] ^ (crc >> 8);
    }

    uint8_t Stream() const {
        // Unsigned 32-bit product: 16-bit operands would promote to int and overflow.
        const uint32_t t = (key2_ | 2) & 0xFFFF;
        return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
    }

    void Update(uint8_t plain) {
        key0_ = CrcStep(key0_, plain);
        key1_ = (key1_ + (key0_ & 0xFF)) * 134775813u + 1;
        key2_ = CrcStep(key2_, static_cast<uint8_t>(key1_ >> 24));
    }

    uint32_t key0_ = 0x12345678u;
    uint32_t key1_ = 0x23456789u;
    uint32_t key2_ = 0x34567890u;
};

// Raw deflate into exactly `size` bytes: the stream must end there, neither
// short nor long.
std::optional<std::vector<uint8_t>> Inflate(const uint8_t* data, uint32_t length, uint32_t size) {
    std::vector<uint8_t> out(size);
    uint8_t spare = 0;  // zlib wants a valid pointer even for no output room
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return std::nullopt;
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = length;
    stream.next_out = size ? out.data() : &spare;
    stream.avail_out = size;
    const int rc = inflate(&stream, Z_FINISH);
    const bool whole = rc == Z_STREAM_END && stream.total_out == size;
    inflateEnd(&stream);
    if (!whole)
        return std::nullopt;
    return out;
}

}  // namespace

std::string ZipEntryKey(std::string_view name) {
    std::string key(name);
    std::replace(key.begin(), key.end(), '\\', '/');
    return key;
}

bool ZipReader::Open(std::vector<uint8_t> bytes) {
    Close();
    const size_t size = bytes.size();
    if (size < kEndSize)
        return false;

    // The end record is the last thing in the file, followed only by its
    // comment; search backwards over the longest possible comment and take the
    // first record whose comment length reaches the end of the buffer exactly.
    const uint8_t* base = bytes.data();
    size_t endPos = SIZE_MAX;
    const size_t lowest = size - kEndSize > kMaxCommentSize ? size - kEndSize - kMaxCommentSize : 0;
    for (size_t pos = size - kEndSize + 1; pos-- > lowest;) {
        if (ReadLe32(base + pos) == kEndSignature &&
            pos + kEndSize + ReadLe16(base + pos + 20) == size) {
            endPos = pos;
            break;
        }
    }
    if (endPos == SIZE_MAX)
        return false;

    const uint8_t* end = base + endPos;
    const uint16_t count = ReadLe16(end + 10);
    const uint32_t dirSize = ReadLe32(end + 12);
    const uint32_t dirOffset = ReadLe32(end + 16);
    if (!Fits(endPos, dirOffset, dirSize))
        return false;

    size_t pos = dirOffset;
    const size_t dirEnd = static_cast<size_t>(dirOffset) + dirSize;
    for (uint16_t i = 0; i < count; ++i) {
        if (!Fits(dirEnd, pos, kCentralSize))
            break;
        const uint8_t* rec = base + pos;
        if (ReadLe32(rec) != kCentralSignature)
            break;
        const uint16_t nameLength = ReadLe16(rec + 28);
        const size_t variable =
            static_cast<size_t>(nameLength) + ReadLe16(rec + 30) + ReadLe16(rec + 32);
        if (!Fits(dirEnd, pos + kCentralSize, variable))
            break;

        Entry entry;
        entry.flags = ReadLe16(rec + 8);
        entry.method = ReadLe16(rec + 10);
        entry.modTime = ReadLe16(rec + 12);
        entry.crc = ReadLe32(rec + 16);
        entry.compressedSize = ReadLe32(rec + 20);
        entry.size = ReadLe32(rec + 24);
        entry.localOffset = ReadLe32(rec + 42);
        std::string name(reinterpret_cast<const char*>(rec + kCentralSize), nameLength);
        // A later record of the same name does not replace the first.
        entries_.emplace(ZipEntryKey(name), entry);
        pos += kCentralSize + variable;
    }

    bytes_ = std::move(bytes);
    open_ = true;
    return true;
}

void ZipReader::Close() {
    bytes_.clear();
    entries_.clear();
    open_ = false;
}

std::vector<std::string> ZipReader::EntryNames() const {
    std::vector<std::string> names;
    names.reserve(entries_.size());
    for (const auto& [name, entry] : entries_)
        names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

bool ZipReader::Contains(std::string_view name) const {
    return Find(name) != nullptr;
}

const ZipReader::Entry* ZipReader::Find(std::string_view name) const {
    const auto it = entries_.find(ZipEntryKey(name));
    return it == entries_.end() ? nullptr : &it->second;
}

std::optional<std::vector<uint8_t>> ZipReader::Read(std::string_view name,
                                                    std::string_view password) const {
    const Entry* entry = Find(name);
    if (!entry)
        return std::nullopt;
    if (entry->size > kMaxEntrySize)
        return std::nullopt;
    if (entry->flags & kFlagStrongEncryption)
        return std::nullopt;
    if (entry->method != kMethodStored && entry->method != kMethodDeflated)
        return std::nullopt;

    // The local header repeats the name and may carry a different extra
    // field; only its lengths are used, the sizes come from the directory
    // (the local copy is zero when a data descriptor follows the data).
    const size_t size = bytes_.size();
    if (!Fits(size, entry->localOffset, kLocalSize))
        return std::nullopt;
    const uint8_t* local = bytes_.data() + entry->localOffset;
    if (ReadLe32(local) != kLocalSignature)
        return std::nullopt;
    const size_t dataPos = static_cast<size_t>(entry->localOffset) + kLocalSize +
                           ReadLe16(local + 26) + ReadLe16(local + 28);
    if (!Fits(size, dataPos, entry->compressedSize))
        return std::nullopt;

    const uint8_t* data = bytes_.data() + dataPos;
    uint32_t length = entry->compressedSize;
    std::vector<uint8_t> plain;
    if (entry->flags & kFlagEncrypted) {
        if (length < kCryptHeaderSize)
            return std::nullopt;
        PkwareKeys keys(password);
        uint8_t last = 0;
        for (size_t i = 0; i < kCryptHeaderSize; ++i)
            last = keys.Decrypt(data[i]);
        // The header's last byte repeats the CRC's high byte, or the time's
        // high byte when the CRC was not known before the data was written.
        const uint8_t check = (entry->flags & kFlagDataDescriptor)
                                  ? static_cast<uint8_t>(entry->modTime >> 8)
                                  : static_cast<uint8_t>(entry->crc >> 24);
        if (last != check)
            return std::nullopt;
        length -= kCryptHeaderSize;
        plain.resize(length);
        for (uint32_t i = 0; i < length; ++i)
            plain[i] = keys.Decrypt(data[kCryptHeaderSize + i]);
        data = plain.data();
    }

    std::optional<std::vector<uint8_t>> out;
    if (entry->method == kMethodStored) {
        if (length != entry->size)
            return std::nullopt;
        out.emplace(data, data + length);
    } else {
        if (entry->size > static_cast<uint64_t>(length) * kMaxDeflateRatio + 64)
            return std::nullopt;
        out = Inflate(data, length, entry->size);
        if (!out)
            return std::nullopt;
    }
    if (Crc32(out->data(), out->size()) != entry->crc)
        return std::nullopt;
    return out;
}

}  // namespace pt
