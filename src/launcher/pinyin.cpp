// Pinyin lookups and search folding; see pinyin.h.
#include "launcher/pinyin.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace pt {
namespace pinyin_data {
// The generated table (pinyin_table.cpp in the build folder).
extern const char kSyllables[];
extern const int kSyllableCount;
extern const uint32_t kDenseFirst;
extern const uint32_t kDenseCount;
extern const uint16_t kDense[];
extern const uint32_t kSparseCount;
extern const uint32_t kSparse[];
}  // namespace pinyin_data

namespace {

// Syllable number n (from 1) is entry n - 1.
const std::vector<std::string_view>& Syllables() {
    static const std::vector<std::string_view> list = [] {
        std::vector<std::string_view> out;
        out.reserve(static_cast<size_t>(pinyin_data::kSyllableCount));
        std::string_view all(pinyin_data::kSyllables);
        size_t start = 0;
        for (size_t i = 0; i < all.size(); ++i) {
            if (all[i] == ' ') {
                out.push_back(all.substr(start, i - start));
                start = i + 1;
            }
        }
        return out;
    }();
    return list;
}

std::string_view Syllable(uint32_t number) {
    const auto& list = Syllables();
    return number >= 1 && number <= list.size() ? list[number - 1] : std::string_view();
}

}  // namespace

size_t PinyinSyllableCount() {
    return Syllables().size();
}

size_t PinyinReadingsOf(char32_t cp, std::string_view* out, size_t max) {
    using namespace pinyin_data;
    size_t n = 0;
    if (max == 0)
        return 0;
    const uint32_t code = static_cast<uint32_t>(cp);
    if (code >= kDenseFirst && code - kDenseFirst < kDenseCount) {
        if (const uint16_t first = kDense[code - kDenseFirst]; first != 0)
            out[n++] = Syllable(first);
    }
    const uint32_t* begin = kSparse;
    const uint32_t* end = kSparse + kSparseCount;
    const uint32_t* it = std::lower_bound(begin, end, code << 9);
    for (; it != end && (*it >> 9) == code && n < max; ++it)
        out[n++] = Syllable(*it & 0x1FF);
    return n;
}

char32_t NextCodePoint(std::string_view text, size_t* i) {
    const size_t at = *i;
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[at + k]); };
    const unsigned char b0 = byte(0);
    size_t length = 0;
    char32_t cp = 0;
    char32_t least = 0;
    if (b0 < 0x80) {
        *i = at + 1;
        return b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        length = 2, cp = b0 & 0x1F, least = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, cp = b0 & 0x0F, least = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, cp = b0 & 0x07, least = 0x10000;
    }
    if (length == 0 || at + length > text.size()) {
        *i = at + 1;
        return 0xFFFD;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) {
            *i = at + 1;
            return 0xFFFD;
        }
        cp = (cp << 6) | (byte(k) & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF) {
        *i = at + 1;
        return 0xFFFD;
    }
    *i = at + length;
    return cp;
}

char32_t FoldCodePoint(char32_t cp) {
    if (cp >= 0xFF01 && cp <= 0xFF5E)
        cp -= 0xFF01 - 0x21;
    else if (cp == 0x3000)
        cp = ' ';
    if (cp >= 'A' && cp <= 'Z')
        return cp + 32;
    if ((cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) || (cp >= 0x410 && cp <= 0x42F))
        return cp + 32;
    if (cp >= 0x400 && cp <= 0x40F)
        return cp + 80;
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void AppendFolded(std::string& out, std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out.push_back(b >= 'A' && b <= 'Z' ? static_cast<char>(b + 32) : static_cast<char>(b));
            ++i;
        } else {
            AppendUtf8(out, FoldCodePoint(NextCodePoint(text, &i)));
        }
    }
}

std::string FoldForSearch(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendFolded(out, text);
    return out;
}

}  // namespace pt
