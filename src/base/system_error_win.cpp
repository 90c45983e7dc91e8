// System error texts; see system_error.h.
#include "base/system_error.h"

#include <windows.h>

#include <cstdio>

#include "base/text.h"
#include "base/win_handles.h"

namespace pt {

std::string SystemErrorText(uint32_t code) {
    wchar_t* buffer = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const UniqueLocal owned(buffer);
    std::wstring text(buffer ? buffer : L"", buffer ? n : 0);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    std::string out = FromWide(text);
    const bool hresult = (code & 0x80000000u) != 0;
    char number[16];
    std::snprintf(number, sizeof number, hresult ? "0x%08X" : "%u", static_cast<unsigned>(code));
    return out + (out.empty() ? "" : " ") + "(" + number + ")";
}

}  // namespace pt
