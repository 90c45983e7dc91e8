// Reporting a failed save; see save_failure_report.h.
#include "dialogs/save_failure_report.h"

#include <windows.h>

#include <atomic>

#include "base/system_error.h"
#include "dialogs/message_box.h"

namespace pt {

bool ReportSaveFailure(void* owner, std::string_view file, uint32_t error) {
    static std::atomic<bool> reported{false};
    if (reported.exchange(true))
        return false;
    ShowMessageBox(static_cast<HWND>(owner), SaveFailureText(file, SystemErrorText(error)),
                   "保存失败", kMbSetOk | kMbIconError);
    return true;
}

}  // namespace pt
