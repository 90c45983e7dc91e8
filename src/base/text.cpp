// WTF-8 encoder and decoder; see text.h for the rules.
#include "base/text.h"

namespace pt {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one code point at text[i]; on a bad sequence returns false and sets
// `length` to the maximal bad subsequence (at least 1 byte).
bool DecodeOne(std::string_view text, size_t i, char32_t& cp, size_t& length) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80) {
        cp = b0;
        length = 1;
        return true;
    }
    size_t need;
    char32_t min;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        need = 1, min = 0x80, cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        need = 2, min = 0x800, cp = b0 & 0x0F;
        if (b0 == 0xE0) lo = 0xA0;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        need = 3, min = 0x10000, cp = b0 & 0x07;
        if (b0 == 0xF0) lo = 0x90;
        if (b0 == 0xF4) hi = 0x8F;
    } else {
        length = 1;
        return false;
    }
    size_t k = 1;
    for (; k <= need; ++k) {
        if (i + k >= text.size()) break;
        const auto b = static_cast<unsigned char>(text[i + k]);
        if (k == 1 ? (b < lo || b > hi) : (b < 0x80 || b > 0xBF)) break;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (k <= need) {
        length = k;
        return false;
    }
    length = need + 1;
    return cp >= min;
}

}  // namespace

std::string WideToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3 / 2);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::u16string Utf8ToWide(std::string_view text) {
    // Never more units than bytes: written through a pointer and cut to size
    // at the end, which is several times faster than appending unit by unit
    // on the long texts of the data files.
    std::u16string out(text.size(), u'\0');
    char16_t* const first = out.data();
    char16_t* o = first;
    size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            *o++ = byte;
            ++i;
            continue;
        }
        char32_t cp;
        size_t length;
        if (!DecodeOne(text, i, cp, length)) {
            *o++ = static_cast<char16_t>(kReplacement);
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
            *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            // A high surrogate followed by a low one is the CESU form of a
            // pair, which WTF-8 forbids; decoding it to the pair would make
            // two byte strings read the same, so it stays as two units.
            *o++ = static_cast<char16_t>(cp);
        }
        i += length;
    }
    out.resize(static_cast<size_t>(o - first));
    return out;
}

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    bool lastWasHigh = false;
    while (i < text.size()) {
        char32_t cp;
        size_t length;
        if (!DecodeOne(text, i, cp, length)) return false;
        if (lastWasHigh && IsLowSurrogate(cp)) return false;
        lastWasHigh = IsHighSurrogate(cp);
        i += length;
    }
    return true;
}

}  // namespace pt
