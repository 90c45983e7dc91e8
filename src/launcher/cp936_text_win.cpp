// The Windows side of cp936_text.h: MultiByteToWideChar and
// WideCharToMultiByte with code page 936, whatever the system code page is.
#include "launcher/cp936_text.h"

#include <windows.h>

#include "base/text.h"

namespace pt::cp936 {

bool FromUtf8(std::string_view text, std::string* bytes) {
    bytes->clear();
    if (text.empty())
        return true;
    std::wstring wide = ToWide(text);
    BOOL usedDefault = FALSE;
    // No best-fit mapping: a character without its own form must say so.
    int size =
        ::WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                              nullptr, 0, nullptr, &usedDefault);
    if (size <= 0 || usedDefault)
        return false;
    bytes->resize(static_cast<size_t>(size));
    ::WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                          bytes->data(), size, nullptr, &usedDefault);
    return !usedDefault;
}

std::string ToUtf8(std::string_view bytes) {
    if (bytes.empty())
        return {};
    int size =
        ::MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), size);
    return FromWide(wide);
}

}  // namespace pt::cp936
