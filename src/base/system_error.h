// The system's own words for a Win32 error or an HRESULT, for messages that
// tell the user why an operation failed. Windows-only.
#pragma once

#include <cstdint>
#include <string>

namespace pt {

// FormatMessage's text without its line break, followed by the code in
// parentheses ("拒绝访问。 (5)"); the code alone when the system has no text.
std::string SystemErrorText(uint32_t code);

}  // namespace pt
