// Reporting a failed save; see save_failure_report.h.
#include "dialogs/save_failure_report.h"

#include <windows.h>

#include <atomic>

#include "base/text.h"
#include "dialogs/message_box.h"

namespace pt {
namespace {

std::string SystemErrorText(uint32_t error) {
    wchar_t* buffer = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", n);
    if (buffer)
        ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    std::string out = FromWide(text);
    return out + (out.empty() ? "" : " ") + "(" + std::to_string(error) + ")";
}

}  // namespace

bool ReportSaveFailure(void* owner, std::string_view file, uint32_t error) {
    static std::atomic<bool> reported{false};
    if (reported.exchange(true))
        return false;
    ShowMessageBox(static_cast<HWND>(owner), SaveFailureText(file, SystemErrorText(error)),
                   "保存失败", kMbSetOk | kMbIconError);
    return true;
}

}  // namespace pt
