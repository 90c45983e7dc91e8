// Small helpers of the extension tests under Wine: files the build made,
// real input for the capture overlay.
#pragma once

#include <windows.h>

#include <string>

#include "support/build_path.h"

namespace pt::test {

inline void SendMouse(DWORD flags, int x = 0, int y = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_MOVE) {
        in.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
        const int vx = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
        const int vy = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
        const int vw = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
        const int vh = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
        in.mi.dx = static_cast<LONG>(((x - vx) * 65535LL + vw / 2) / (vw - 1));
        in.mi.dy = static_cast<LONG>(((y - vy) * 65535LL + vh / 2) / (vh - 1));
    }
    ::SendInput(1, &in, sizeof in);
    ::Sleep(15);  // pacing, so each event is its own message
}

// Moves the pointer and waits until the system reports it there. Under Wine
// a motion event of the X server's own may still arrive with the old place
// shortly after a move, so the place is checked twice, apart.
inline bool MovePointer(int x, int y) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        SendMouse(MOUSEEVENTF_MOVE, x, y);
        POINT p{};
        ::Sleep(20);
        if (::GetCursorPos(&p) && p.x == x && p.y == y) {
            ::Sleep(30);
            if (::GetCursorPos(&p) && p.x == x && p.y == y)
                return true;
        }
    }
    return false;
}

inline void SendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &in, sizeof in);
    ::Sleep(15);
}

inline void TapKey(WORD vk) {
    SendKey(vk, false);
    SendKey(vk, true);
}

}  // namespace pt::test
