// The native side of codepage.h, through iconv; the Windows build uses
// codepage_win.cpp and compiles nothing here.
#include "base/codepage.h"

#ifndef _WIN32
#include <iconv.h>

#include <cerrno>

#include "base/text.h"

namespace pt {
namespace {

// Owns one conversion descriptor.
class Iconv {
  public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok())
            iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

// Runs all of `in` through the descriptor into `out`. With `skip`, a byte
// that cannot be converted is replaced by `replacement` and skipped;
// without, the conversion stops and false is returned.
bool Run(const Iconv& cd, std::string_view in, std::string* out, bool skip,
         std::string_view replacement) {
    out->clear();
    if (!cd.ok())
        return false;
    std::string input(in);  // iconv wants a mutable pointer
    char* src = input.data();
    size_t srcLeft = input.size();
    char buffer[1024];
    while (true) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        // A null input flushes the shift state at the end.
        size_t rc = srcLeft > 0 ? iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft)
                                : iconv(cd.get(), nullptr, nullptr, &dst, &dstLeft);
        out->append(buffer, static_cast<size_t>(dst - buffer));
        if (rc != static_cast<size_t>(-1)) {
            if (srcLeft == 0 && dst == buffer)
                return true;
            continue;
        }
        if (errno == E2BIG)
            continue;
        // EILSEQ, or EINVAL for a sequence cut off at the end.
        if (!skip)
            return false;
        out->append(replacement);
        ++src;
        --srcLeft;
    }
}

}  // namespace

std::u16string Cp936ToWide(std::string_view bytes) {
    Iconv cd("UTF-16LE", "CP936");
    std::string raw;
    Run(cd, bytes, &raw, true, std::string_view("\xFD\xFF", 2));
    std::u16string out(raw.size() / 2, u'\0');
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(raw[2 * i]) |
                                       (static_cast<unsigned char>(raw[2 * i + 1]) << 8));
    }
    return out;
}

std::string Cp936ToUtf8(std::string_view bytes) {
    return WideToUtf8(Cp936ToWide(bytes));
}

bool WideToCp936(std::u16string_view text, std::string* bytes) {
    std::string raw;
    raw.reserve(text.size() * 2);
    for (char16_t c : text) {
        raw += static_cast<char>(c & 0xFF);
        raw += static_cast<char>(c >> 8);
    }
    Iconv cd("CP936", "UTF-16LE");
    if (Run(cd, raw, bytes, false, {}))
        return true;
    bytes->clear();
    return false;
}

bool Utf8ToCp936(std::string_view text, std::string* bytes) {
    return WideToCp936(Utf8ToWide(text), bytes);
}

}  // namespace pt
#endif
