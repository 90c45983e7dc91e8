// A small ZIP writer for tests: builds archives in memory with stored or
// deflated entries, optionally encrypted with the traditional PKWARE scheme,
// and reports where each entry's pieces landed so a test can damage them.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pt::test {

struct ZipTestEntry {
    std::string name;
    std::vector<uint8_t> content;
    bool deflate = true;
    std::string password;         // empty: not encrypted
    bool dataDescriptor = false;  // check byte from the time, sizes after the data
};

struct ZipTestLayout {
    std::vector<size_t> localOffsets;
    std::vector<size_t> dataOffsets;  // first byte after the local header
    std::vector<size_t> centralOffsets;
    size_t endOffset = 0;
};

inline std::vector<uint8_t> ZipBytes(std::string_view text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

class ZipTestWriter {
  public:
    static constexpr uint16_t kTime = 0x6A5B;  // 13:18:54
    static constexpr uint16_t kDate = 0x5988;  // 2024-12-08

    void Add(ZipTestEntry entry) { entries_.push_back(std::move(entry)); }

    std::vector<uint8_t> Finish(ZipTestLayout* layout = nullptr) const {
        std::vector<uint8_t> out;
        std::vector<uint8_t> central;
        ZipTestLayout where;
        for (const ZipTestEntry& e : entries_) {
            const uint32_t crc = static_cast<uint32_t>(
                crc32(0, e.content.data(), static_cast<uInt>(e.content.size())));
            std::vector<uint8_t> data = e.deflate ? Deflate(e.content) : e.content;
            uint16_t flags = 0;
            if (!e.password.empty()) {
                flags |= 1;
                const uint8_t check = e.dataDescriptor ? static_cast<uint8_t>(kTime >> 8)
                                                       : static_cast<uint8_t>(crc >> 24);
                data = Encrypt(e.password, data, check);
            }
            if (e.dataDescriptor)
                flags |= 8;
            const uint16_t method = e.deflate ? 8 : 0;
            const size_t local = out.size();
            where.localOffsets.push_back(local);
            Put32(out, 0x04034b50);
            Put16(out, 20);
            Put16(out, flags);
            Put16(out, method);
            Put16(out, kTime);
            Put16(out, kDate);
            Put32(out, e.dataDescriptor ? 0 : crc);
            Put32(out, e.dataDescriptor ? 0 : static_cast<uint32_t>(data.size()));
            Put32(out, e.dataDescriptor ? 0 : static_cast<uint32_t>(e.content.size()));
            Put16(out, static_cast<uint16_t>(e.name.size()));
            Put16(out, 0);
            out.insert(out.end(), e.name.begin(), e.name.end());
            where.dataOffsets.push_back(out.size());
            out.insert(out.end(), data.begin(), data.end());
            if (e.dataDescriptor) {
                Put32(out, 0x08074b50);
                Put32(out, crc);
                Put32(out, static_cast<uint32_t>(data.size()));
                Put32(out, static_cast<uint32_t>(e.content.size()));
            }
            where.centralOffsets.push_back(central.size());
            Put32(central, 0x02014b50);
            Put16(central, 20);
            Put16(central, 20);
            Put16(central, flags);
            Put16(central, method);
            Put16(central, kTime);
            Put16(central, kDate);
            Put32(central, crc);
            Put32(central, static_cast<uint32_t>(data.size()));
            Put32(central, static_cast<uint32_t>(e.content.size()));
            Put16(central, static_cast<uint16_t>(e.name.size()));
            Put16(central, 0);
            Put16(central, 0);
            Put16(central, 0);
            Put16(central, 0);
            Put32(central, 0);
            Put32(central, static_cast<uint32_t>(local));
            central.insert(central.end(), e.name.begin(), e.name.end());
        }
        const size_t dirOffset = out.size();
        for (size_t& c : where.centralOffsets)
            c += dirOffset;
        out.insert(out.end(), central.begin(), central.end());
        where.endOffset = out.size();
        Put32(out, 0x06054b50);
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, static_cast<uint16_t>(entries_.size()));
        Put16(out, static_cast<uint16_t>(entries_.size()));
        Put32(out, static_cast<uint32_t>(central.size()));
        Put32(out, static_cast<uint32_t>(dirOffset));
        Put16(out, static_cast<uint16_t>(comment_.size()));
        out.insert(out.end(), comment_.begin(), comment_.end());
        if (layout)
            *layout = where;
        return out;
    }

    void SetComment(std::string comment) { comment_ = std::move(comment); }

    static std::vector<uint8_t> Deflate(const std::vector<uint8_t>& in) {
        z_stream s{};
        deflateInit2(&s, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        std::vector<uint8_t> out(deflateBound(&s, static_cast<uLong>(in.size())) + 16);
        uint8_t none = 0;
        s.next_in = in.empty() ? &none : const_cast<Bytef*>(in.data());
        s.avail_in = static_cast<uInt>(in.size());
        s.next_out = out.data();
        s.avail_out = static_cast<uInt>(out.size());
        deflate(&s, Z_FINISH);
        out.resize(s.total_out);
        deflateEnd(&s);
        return out;
    }

  private:
    struct Keys {
        uint32_t k0 = 0x12345678u, k1 = 0x23456789u, k2 = 0x34567890u;
        static uint32_t Step(uint32_t c, uint8_t b) {
            c ^= b;
            for (int i = 0; i < 8; ++i)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            return c;
        }
        void Update(uint8_t p) {
            k0 = Step(k0, p);
            k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
            k2 = Step(k2, static_cast<uint8_t>(k1 >> 24));
        }
        uint8_t Encrypt(uint8_t p) {
            const uint32_t t = (k2 | 2) & 0xFFFF;
            const uint8_t c = p ^ static_cast<uint8_t>((t * (t ^ 1)) >> 8);
            Update(p);
            return c;
        }
    };

    static std::vector<uint8_t> Encrypt(const std::string& password,
                                        const std::vector<uint8_t>& data, uint8_t check) {
        Keys keys;
        for (char c : password)
            keys.Update(static_cast<uint8_t>(c));
        std::vector<uint8_t> out;
        for (int i = 0; i < 11; ++i)
            out.push_back(keys.Encrypt(static_cast<uint8_t>(i * 37 + 11)));
        out.push_back(keys.Encrypt(check));
        for (uint8_t b : data)
            out.push_back(keys.Encrypt(b));
        return out;
    }

    static void Put16(std::vector<uint8_t>& out, uint16_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    }
    static void Put32(std::vector<uint8_t>& out, uint32_t v) {
        Put16(out, static_cast<uint16_t>(v));
        Put16(out, static_cast<uint16_t>(v >> 16));
    }

    std::vector<ZipTestEntry> entries_;
    std::string comment_;
};

}  // namespace pt::test
