// Clipboard text through CF_UNICODETEXT.
#include "toolkit/clipboard.h"

#include <cstring>

#include "base/text.h"
#include "base/win_handles.h"

namespace pt {
namespace {

// Another program may hold the clipboard for a moment (clipboard managers
// read every change): a few short retries instead of failing at once.
bool OpenWithRetry(HWND owner) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (::OpenClipboard(owner))
            return true;
        ::Sleep(5);
    }
    return false;
}

}  // namespace

bool SetClipboardText(HWND owner, std::string_view text) {
    const std::wstring w = ToWide(text);
    const size_t bytes = (w.size() + 1) * sizeof(wchar_t);
    UniqueGlobal mem(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!mem)
        return false;
    void* p = ::GlobalLock(mem.Get());
    if (!p)
        return false;
    std::memcpy(p, w.c_str(), bytes);
    ::GlobalUnlock(mem.Get());
    const OpenClipboardScope open(OpenWithRetry(owner));
    if (!open)
        return false;
    bool ok = false;
    if (::EmptyClipboard()) {
        // On success the clipboard owns the memory.
        ok = ::SetClipboardData(CF_UNICODETEXT, mem.Get()) != nullptr;
        if (ok)
            mem.Release();
    }
    return ok;
}

std::optional<std::string> GetClipboardText(HWND owner) {
    if (!::IsClipboardFormatAvailable(CF_UNICODETEXT))
        return std::nullopt;
    const OpenClipboardScope open(OpenWithRetry(owner));
    if (!open)
        return std::nullopt;
    std::optional<std::string> out;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const wchar_t*>(::GlobalLock(data))) {
            // Never read past the block, even when its text lacks the
            // terminating zero.
            const size_t max = ::GlobalSize(data) / sizeof(wchar_t);
            size_t n = 0;
            while (n < max && p[n])
                ++n;
            out = FromWide(std::wstring_view(p, n));
            ::GlobalUnlock(data);
        }
    }
    return out;
}

bool ClipboardHasText() {
    return ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
}

}  // namespace pt
