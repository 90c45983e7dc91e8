// The Windows side of codepage.h: MultiByteToWideChar and
// WideCharToMultiByte with code page 936 named explicitly, never CP_ACP, so a
// system set to another ANSI code page reads the same bytes the same way.
#include "base/codepage.h"

#include <windows.h>

#include <climits>

#include "base/text.h"

namespace pt {

std::u16string Cp936ToWide(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > INT_MAX)
        return {};
    const int inSize = static_cast<int>(bytes.size());
    int size = ::MultiByteToWideChar(936, 0, bytes.data(), inSize, nullptr, 0);
    if (size <= 0)
        return {};
    std::u16string out(static_cast<size_t>(size), u'\0');
    ::MultiByteToWideChar(936, 0, bytes.data(), inSize, reinterpret_cast<wchar_t*>(out.data()),
                          size);
    return out;
}

std::string Cp936ToUtf8(std::string_view bytes) {
    return WideToUtf8(Cp936ToWide(bytes));
}

bool WideToCp936(std::u16string_view text, std::string* bytes) {
    bytes->clear();
    if (text.empty())
        return true;
    if (text.size() > INT_MAX)
        return false;
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int inSize = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    // No best-fit mapping: a character without its own form must say so
    // rather than turn into a look-alike.
    int size = ::WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide, inSize, nullptr, 0, nullptr,
                                     &usedDefault);
    if (size <= 0 || usedDefault)
        return false;
    bytes->resize(static_cast<size_t>(size));
    ::WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide, inSize, bytes->data(), size, nullptr,
                          &usedDefault);
    if (usedDefault) {
        bytes->clear();
        return false;
    }
    return true;
}

bool Utf8ToCp936(std::string_view text, std::string* bytes) {
    return WideToCp936(Utf8ToWide(text), bytes);
}

}  // namespace pt
