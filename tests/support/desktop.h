// The desktop as the Windows tests see it: the work area the panel docks in,
// and keys pressed through real input (SendInput), for what only the system's
// input path reaches, such as a registered global hotkey.
#pragma once

#include <windows.h>

#include "toolkit/geometry.h"

namespace pt::test {

inline Rect WorkArea() {
    RECT w{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &w, 0);
    return Rect{w.left, w.top, w.right, w.bottom};
}

// Ctrl+` pressed and let go, the panel's hotkey unless the settings change it.
inline void PressPanelHotkey() {
    INPUT in[4] = {};
    const WORD keys[4] = {VK_CONTROL, VK_OEM_3, VK_OEM_3, VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
        in[i].type = INPUT_KEYBOARD;
        in[i].ki.wVk = keys[i];
        in[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    ::SendInput(4, in, sizeof(INPUT));
}

}  // namespace pt::test
