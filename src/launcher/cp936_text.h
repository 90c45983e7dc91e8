// Stand-in for the shared code page 936 conversion until the base library
// offers one: the launcher reaches code page 936 only through these two
// functions, so switching over is a change of this header alone.
#pragma once

#include <string>
#include <string_view>

namespace pt::cp936 {

// The code page 936 bytes of UTF-8 text; false when a character has no form there.
bool FromUtf8(std::string_view text, std::string* bytes);
// UTF-8 text of code page 936 bytes; bytes that decode to nothing become U+FFFD.
std::string ToUtf8(std::string_view bytes);

}  // namespace pt::cp936
