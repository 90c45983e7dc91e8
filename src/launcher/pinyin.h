// Pinyin readings of Chinese characters and the text folding of the item
// search. The readings come from a table generated at build time from the
// Unihan database (tools/pinyin/make_pinyin_table.py): toneless syllables in
// lower case, "v" for u with diaeresis, the usual reading first and the
// further readings of a polyphonic character after it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pt {

// The readings of one code point, usual reading first, at most `max`; the
// views point into the static table. 0 for a character without a reading
// (every character outside the CJK ideographs).
size_t PinyinReadingsOf(char32_t cp, std::string_view* out, size_t max);
// Every syllable of the table, in alphabetical order (for tests and tools).
size_t PinyinSyllableCount();

// The code point of the UTF-8 sequence at text[*i], moving *i past it; a
// byte that starts no well-formed sequence reads as itself (U+0080..U+00FF
// would be ambiguous, so it becomes U+FFFD) and moves one byte on.
char32_t NextCodePoint(std::string_view text, size_t* i);
// One code point folded for comparison: ASCII, Latin-1 and basic Cyrillic
// capitals to small letters, the full-width forms U+FF01..U+FF5E to ASCII,
// the ideographic space to a space.
char32_t FoldCodePoint(char32_t cp);
// The UTF-8 text folded code point by code point.
std::string FoldForSearch(std::string_view text);
// The same, appended to `out`.
void AppendFolded(std::string& out, std::string_view text);
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace pt
