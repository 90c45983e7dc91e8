// The process-wide window property table: named 32-bit values attached to a
// window. Reading a name that was never written gives 0; a boolean is stored
// as 1 or 0. A window's entries are dropped when the window is destroyed
// (the toolkit calls DropWindowProperties on WM_NCDESTROY), so a recycled
// HWND value never inherits stale flags. Safe to use from any thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

namespace pt {

void SetWindowProperty(HWND window, std::string_view name, int32_t value);
int32_t GetWindowProperty(HWND window, std::string_view name);
inline void SetWindowFlag(HWND window, std::string_view name, bool on) {
    SetWindowProperty(window, name, on ? 1 : 0);
}
inline bool GetWindowFlag(HWND window, std::string_view name) {
    return GetWindowProperty(window, name) == 1;
}
bool HasWindowProperty(HWND window, std::string_view name);
void RemoveWindowProperty(HWND window, std::string_view name);
void DropWindowProperties(HWND window);
// Number of windows with at least one entry (for leak checks).
size_t WindowPropertyWindowCount();

}  // namespace pt
