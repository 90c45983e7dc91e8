// Input for toolkit windows sent as messages straight to the window, and
// modifier keys held through the thread's key state (what GetKeyState
// reads), so no test depends on the desktop's focus or on real input.
#pragma once

#include <windows.h>

#include <string_view>
#include <utility>
#include <vector>

#include "toolkit/element.h"
#include "toolkit/geometry.h"

namespace pt::test {

inline LPARAM At(Point p) {
    return MAKELPARAM(p.x, p.y);
}
inline Point Centre(const Rect& r) {
    return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
inline Point Centre(const Element& e) {
    return Centre(e.WindowRect());
}

// `p` in the window's client coordinates (the toolkit's window coordinates).
inline void MouseMove(HWND h, Point p, WPARAM keys = 0) {
    ::SendMessageW(h, WM_MOUSEMOVE, keys, At(p));
}
inline void LeftDown(HWND h, Point p, WPARAM keys = 0) {
    MouseMove(h, p, keys);
    ::SendMessageW(h, WM_LBUTTONDOWN, keys | MK_LBUTTON, At(p));
}
inline void LeftUp(HWND h, Point p, WPARAM keys = 0) {
    ::SendMessageW(h, WM_LBUTTONUP, keys, At(p));
}
inline void Click(HWND h, Point p, WPARAM keys = 0) {
    LeftDown(h, p, keys);
    LeftUp(h, p, keys);
}
inline void Click(HWND h, const Element& e) {
    Click(h, Centre(e));
}
inline void DoubleClick(HWND h, Point p) {
    Click(h, p);
    ::SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, At(p));
    LeftUp(h, p);
}
inline void RightClick(HWND h, Point p) {
    MouseMove(h, p);
    ::SendMessageW(h, WM_RBUTTONDOWN, MK_RBUTTON, At(p));
    ::SendMessageW(h, WM_RBUTTONUP, 0, At(p));
}
// One wheel notch per 120 of `delta`. The message carries screen
// coordinates, and the toolkit routes it to the element under the mouse, so
// the mouse is moved there first.
inline void Wheel(HWND h, Point p, int delta) {
    MouseMove(h, p);
    POINT s{p.x, p.y};
    ::ClientToScreen(h, &s);
    ::SendMessageW(h, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))),
                   MAKELPARAM(s.x, s.y));
}

// Holds modifier keys (VK_CONTROL, VK_SHIFT, VK_MENU) in the thread's key
// state while it lives.
class HeldKeys {
  public:
    explicit HeldKeys(std::vector<int> keys) : keys_(std::move(keys)) { Set(0x80); }
    ~HeldKeys() { Set(0); }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

  private:
    void Set(BYTE value) {
        BYTE state[256];
        ::GetKeyboardState(state);
        for (int k : keys_)
            state[k] = value;
        ::SetKeyboardState(state);
    }
    std::vector<int> keys_;
};

inline void Key(HWND h, int vk, UINT message = WM_KEYDOWN) {
    ::SendMessageW(h, message, static_cast<WPARAM>(vk), 1);
}
inline void Type(HWND h, std::u16string_view text) {
    for (char16_t c : text)
        ::SendMessageW(h, WM_CHAR, static_cast<WPARAM>(c), 1);
}

}  // namespace pt::test
