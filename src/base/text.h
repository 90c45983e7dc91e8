// Text conversion between the program's UTF-8 strings and the UTF-16 of the
// Win32 boundary and of JSON documents. The UTF-8 side is really WTF-8: an
// unpaired surrogate in UTF-16 is kept as its three-byte form, so a file name
// or a document string survives a round trip whatever it holds.
#pragma once

#include <string>
#include <string_view>

namespace pt {

// UTF-16 to WTF-8. Never fails: every code unit sequence has a form.
std::string WideToUtf8(std::u16string_view text);
// WTF-8 to UTF-16. Bytes that are not well-formed WTF-8 become U+FFFD, one per
// maximal bad subsequence.
std::u16string Utf8ToWide(std::string_view text);

// wchar_t is UTF-16 on Windows; these are the forms the W functions take.
#ifdef _WIN32
inline std::wstring ToWide(std::string_view text) {
    std::u16string w = Utf8ToWide(text);
    return std::wstring(w.begin(), w.end());
}
inline std::string FromWide(std::wstring_view text) {
    return WideToUtf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}
#endif

// The same conversions into a buffer of the caller's, for code that converts
// piece by piece: `out` must have room for text.size() units (to UTF-16) or
// 3 * text.size() bytes (to WTF-8); the result is how many were written. A
// text cut only at ASCII characters converts in pieces exactly as it does
// whole.
size_t Utf8ToWideInto(std::string_view text, char16_t* out);
size_t WideToUtf8Into(std::u16string_view text, char* out);
// The WTF-8 sequence (or maximal bad subsequence) that starts at text[i]:
// returns its length in bytes and sets `units` to the UTF-16 units it
// becomes (1 or 2).
size_t Utf8SequenceAt(std::string_view text, size_t i, size_t& units);

// True when the bytes are well-formed WTF-8 (UTF-8 that also admits lone
// surrogates, but not surrogate pairs written as two three-byte forms).
bool IsValidUtf8(std::string_view text);

}  // namespace pt
