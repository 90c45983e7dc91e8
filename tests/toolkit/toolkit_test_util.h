// Test windows of the toolkit tests that show them on the desktop. Waiting
// and input by messages come from support/.
#pragma once

#include <windows.h>

#include "support/poll.h"
#include "support/ui_input.h"
#include "toolkit/window.h"

namespace pt::test {

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

}  // namespace pt::test
