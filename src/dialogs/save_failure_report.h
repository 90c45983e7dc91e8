// Tells the user, once per run, that one of the program's files could not be
// saved: which file and why. The stores keep their data in memory and retry,
// so one message is enough; repeating it at every retry would only nag.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pt {

// The message for a failed save of `file` with the system error `error`.
std::string SaveFailureText(std::string_view file, std::string_view reason);

// Shows the message box (owned by `owner`, the panel when it exists) unless
// a save failure was already reported in this run. True when it showed one.
// The owner is an HWND; this header stays free of <windows.h>.
bool ReportSaveFailure(void* owner, std::string_view file, uint32_t error);

}  // namespace pt
