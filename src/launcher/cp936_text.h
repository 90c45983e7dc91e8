// The launcher's short names for the code page 936 conversion of
// base/codepage.h (the one implementation, iconv natively and
// MultiByteToWideChar(936) on Windows).
#pragma once

#include <string>
#include <string_view>

#include "base/codepage.h"

namespace pt::cp936 {

// The code page 936 bytes of UTF-8 text; false when a character has no form there.
inline bool FromUtf8(std::string_view text, std::string* bytes) {
    return Utf8ToCp936(text, bytes);
}
// UTF-8 text of code page 936 bytes; bytes that decode to nothing become U+FFFD.
inline std::string ToUtf8(std::string_view bytes) {
    return Cp936ToUtf8(bytes);
}

}  // namespace pt::cp936
