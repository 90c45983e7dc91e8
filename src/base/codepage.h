// Conversion of ANSI text in code page 936 (Simplified Chinese GBK), the
// encoding of older data files and of texts stored in that form. The code
// page is fixed, whatever the system's ANSI code page: Windows converts with
// MultiByteToWideChar(936), other systems with iconv "CP936", so the same
// bytes give the same text in every build.
#pragma once

#include <string>
#include <string_view>

namespace pt {

// UTF-16 text of code page 936 bytes. A byte sequence with no character in
// the code page becomes U+FFFD (one per bad byte natively; Windows decides
// its own grouping). Never fails.
std::u16string Cp936ToWide(std::string_view bytes);
// The same as WTF-8.
std::string Cp936ToUtf8(std::string_view bytes);
// Code page 936 bytes of UTF-16 text; false (and bytes cleared) when a
// character has no form in the code page.
bool WideToCp936(std::u16string_view text, std::string* bytes);
bool Utf8ToCp936(std::string_view text, std::string* bytes);

}  // namespace pt
