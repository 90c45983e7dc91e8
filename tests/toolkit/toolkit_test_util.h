// Helpers shared by the toolkit's Windows tests: pumping the thread's
// messages, polling for a condition with a time limit, and test windows.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

#include "toolkit/window.h"

namespace pt::test {

inline void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Pumps messages until `done` holds or `ms` have passed.
inline bool WaitFor(const std::function<bool()>& done, int ms = 3000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        PumpMessages();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > end)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Pumps messages for `ms` whatever happens: for checking that something
// does NOT happen within a time.
inline void PumpFor(int ms) {
    WaitFor([] { return false; }, ms);
}

inline Window* MakeTestWindow(int x, int y, int width, int height, HWND owner = nullptr) {
    WindowOptions o;
    o.x = x;
    o.y = y;
    o.width = width;
    o.height = height;
    o.title = "测试";
    o.owner = owner;
    o.exStyle = WS_EX_TOOLWINDOW;
    // Without a system menu a shown window hides at once under a bare X
    // server (no window manager to wait for).
    o.systemMenu = false;
    return Window::Create(o);
}

inline Point CentreOf(const Rect& r) {
    return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace pt::test
