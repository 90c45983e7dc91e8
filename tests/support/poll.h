// Waiting in the Windows tests: the thread's messages are pumped while a
// condition is polled with a time limit, never a bare sleep, so timers,
// posted messages and window updates keep running while a test waits.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

namespace pt::test {

inline void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Pumps messages until `done` holds or `ms` have passed; true when it held.
// Messages are pumped before the first look, so what is already queued
// counts. The default is generous for a loaded Wine: only a failing test
// waits it out.
inline bool PollUntil(const std::function<bool()>& done, int ms = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        Pump();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > end)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Pumps messages for `ms` whatever happens: for checking that something does
// NOT happen within a time.
inline void PumpFor(int ms) {
    PollUntil([] { return false; }, ms);
}

}  // namespace pt::test
