// WTF-8 encoder and decoder; see text.h for the rules.
#include "base/text.h"

namespace pt {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
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
        if (b0 == 0xE0)
            lo = 0xA0;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        need = 3, min = 0x10000, cp = b0 & 0x07;
        if (b0 == 0xF0)
            lo = 0x90;
        if (b0 == 0xF4)
            hi = 0x8F;
    } else {
        length = 1;
        return false;
    }
    size_t k = 1;
    for (; k <= need; ++k) {
        if (i + k >= text.size())
            break;
        const auto b = static_cast<unsigned char>(text[i + k]);
        if (k == 1 ? (b < lo || b > hi) : (b < 0x80 || b > 0xBF))
            break;
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

size_t WideToUtf8Into(std::u16string_view text, char* out) {
    char* o = out;
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        // Runs of ASCII dominate JSON text: four units at a time.
        while (i + 4 <= n) {
            const char16_t a = text[i], b = text[i + 1], c = text[i + 2], d = text[i + 3];
            if ((a | b | c | d) >= 0x80)
                break;
            o[0] = static_cast<char>(a);
            o[1] = static_cast<char>(b);
            o[2] = static_cast<char>(c);
            o[3] = static_cast<char>(d);
            o += 4;
            i += 4;
        }
        if (i == n)
            break;
        char32_t c = text[i++];
        if (c < 0x80) {
            *o++ = static_cast<char>(c);
            continue;
        }
        if (IsHighSurrogate(c) && i < n && IsLowSurrogate(text[i])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i] - 0xDC00);
            ++i;
        }
        if (c < 0x800) {
            o[0] = static_cast<char>(0xC0 | (c >> 6));
            o[1] = static_cast<char>(0x80 | (c & 0x3F));
            o += 2;
        } else if (c < 0x10000) {
            o[0] = static_cast<char>(0xE0 | (c >> 12));
            o[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            o[2] = static_cast<char>(0x80 | (c & 0x3F));
            o += 3;
        } else {
            o[0] = static_cast<char>(0xF0 | (c >> 18));
            o[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            o[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            o[3] = static_cast<char>(0x80 | (c & 0x3F));
            o += 4;
        }
    }
    return static_cast<size_t>(o - out);
}

std::string WideToUtf8(std::u16string_view text) {
    std::string out(text.size() * 3, '\0');
    out.resize(WideToUtf8Into(text, out.data()));
    return out;
}

size_t Utf8ToWideInto(std::string_view text, char16_t* out) {
    char16_t* o = out;
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            *o++ = byte;
            ++i;
            // Runs of ASCII go four bytes at a time.
            while (i + 4 <= n) {
                const auto a = static_cast<unsigned char>(text[i]);
                const auto b = static_cast<unsigned char>(text[i + 1]);
                const auto c = static_cast<unsigned char>(text[i + 2]);
                const auto d = static_cast<unsigned char>(text[i + 3]);
                if ((a | b | c | d) >= 0x80)
                    break;
                o[0] = a;
                o[1] = b;
                o[2] = c;
                o[3] = d;
                o += 4;
                i += 4;
            }
            continue;
        }
        // Well-formed two- and three-byte sequences (Chinese text) without
        // the general decoder; it has the last word on anything else.
        if (byte >= 0xC2 && byte <= 0xDF && i + 1 < n) {
            const auto b1 = static_cast<unsigned char>(text[i + 1]);
            if ((b1 & 0xC0) == 0x80) {
                *o++ = static_cast<char16_t>(((byte & 0x1F) << 6) | (b1 & 0x3F));
                i += 2;
                continue;
            }
        } else if (byte >= 0xE1 && byte <= 0xEF && i + 2 < n) {
            const auto b1 = static_cast<unsigned char>(text[i + 1]);
            const auto b2 = static_cast<unsigned char>(text[i + 2]);
            if ((b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80) {
                *o++ =
                    static_cast<char16_t>(((byte & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F));
                i += 3;
                continue;
            }
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
    return static_cast<size_t>(o - out);
}

std::u16string Utf8ToWide(std::string_view text) {
    // Never more units than bytes: written through a pointer and cut to size.
    std::u16string out(text.size(), u'\0');
    out.resize(Utf8ToWideInto(text, out.data()));
    return out;
}

size_t Utf8SequenceAt(std::string_view text, size_t i, size_t& units) {
    char32_t cp;
    size_t length;
    units = DecodeOne(text, i, cp, length) && cp >= 0x10000 ? 2 : 1;
    return length;
}

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    bool lastWasHigh = false;
    while (i < text.size()) {
        char32_t cp;
        size_t length;
        if (!DecodeOne(text, i, cp, length))
            return false;
        if (lastWasHigh && IsLowSurrogate(cp))
            return false;
        lastWasHigh = IsHighSurrogate(cp);
        i += length;
    }
    return true;
}

}  // namespace pt
