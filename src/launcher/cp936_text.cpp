// The native side of cp936_text.h, through iconv (the Windows build uses
// cp936_text_win.cpp instead and compiles nothing here).
#include "launcher/cp936_text.h"

#ifndef _WIN32
#include <iconv.h>

#include <cerrno>

namespace pt::cp936 {
namespace {

// Converts all of `in`; false on a character that has no form in the target.
bool Convert(const char* to, const char* from, std::string_view in, std::string* out,
             bool replace) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    out->clear();
    std::string input(in);
    char* src = input.data();
    size_t srcLeft = input.size();
    char buffer[256];
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out->append(buffer, static_cast<size_t>(dst - buffer));
        if (rc != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        if (!replace) {
            ok = false;
            break;
        }
        out->append("\xEF\xBF\xBD");  // skip one undecodable byte
        ++src;
        --srcLeft;
    }
    iconv_close(cd);
    return ok;
}

}  // namespace

bool FromUtf8(std::string_view text, std::string* bytes) {
    return Convert("GBK", "UTF-8", text, bytes, false);
}

std::string ToUtf8(std::string_view bytes) {
    std::string out;
    Convert("UTF-8", "GBK", bytes, &out, true);
    return out;
}

}  // namespace pt::cp936
#endif
