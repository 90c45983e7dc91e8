// Single instance: the running panel publishes its window handle in the named
// shared memory "Pinatrove"; a second start finds it, hands the user's request
// over to the running panel and ends.
#pragma once

#include <windows.h>

#include "base/win_handles.h"

namespace pt {

inline constexpr wchar_t kInstanceMappingName[] = L"Pinatrove";

// Asks a running instance to show its panel or come to the front. Returns
// true when a mapping exists (whether or not its window still lives: a stale
// handle is not our business, the second start ends all the same).
bool HandOverToRunningInstance();

// The writer side. The mapping and its view live for the process's lifetime,
// so the name disappears only when the process ends.
class InstanceMapping {
  public:
    bool Publish(HWND panel);

  private:
    UniqueKernelHandle mapping_;
    UniqueMappedView view_;
};

// A window handle as the 32-bit value kept in the mapping, and back. Window
// handles are 32-bit values on 64-bit Windows too (sign-extended), so a 32-bit
// and a 64-bit build can hand over to each other.
inline UINT32 HandleToValue(HWND window) {
    return static_cast<UINT32>(reinterpret_cast<UINT_PTR>(window));
}
inline HWND ValueToHandle(UINT32 value) {
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(static_cast<INT32>(value)));
}

}  // namespace pt
