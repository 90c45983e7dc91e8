// What the window files share among themselves and nobody else uses: the
// private redraw message and the registry of live and destroyed windows.
#pragma once

#include <windows.h>

#include <unordered_map>
#include <vector>

namespace pt {

class Window;

namespace window_detail {

inline constexpr UINT kMsgRedraw = 0x7FF1;  // private: a coalesced repaint

// HWND -> its Window, from WM_NCCREATE to WM_NCDESTROY.
std::unordered_map<HWND, Window*>& Windows();
// Windows past WM_NCDESTROY, freed by ReapZombies.
std::vector<Window*>& WindowZombies();

}  // namespace window_detail
}  // namespace pt
