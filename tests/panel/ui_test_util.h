// Helpers of the Windows tests that drive the program's real windows: the
// toolkit started once per test process with the packed UI resources,
// colour checks on a window's back buffer, the open modal dialog and the
// tray icon's presence.
// Waiting and input come from support/.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "support/poll.h"
#include "support/ui_input.h"
#include "toolkit/resource_archive.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"
#include "window/tray_icon.h"

namespace pt::test {

class UiEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        ASSERT_TRUE(InitToolkit());
#ifdef PT_RESOURCES_ZIP_PATH
        std::FILE* f = std::fopen(PT_RESOURCES_ZIP_PATH, "rb");
        ASSERT_NE(f, nullptr) << PT_RESOURCES_ZIP_PATH;
        std::vector<uint8_t> bytes;
        uint8_t buffer[65536];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(f);
        ASSERT_TRUE(ResourceArchive::Instance().LoadFromBytes(std::move(bytes)));
#endif
    }
};

// True when some opaque pixel of `r` (window coordinates) in the window's
// back buffer is `color` drawn over `background` at half strength or more
// (anti-aliased strokes seldom cover a pixel fully).
inline bool AreaHasTint(const Window& window, const Rect& r, Color background, Color color) {
    const PixelBuffer& px = window.BackBuffer();
    const double d[3] = {double(ColorRed(color) - ColorRed(background)),
                         double(ColorGreen(color) - ColorGreen(background)),
                         double(ColorBlue(color) - ColorBlue(background))};
    const double len2 = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, px.Height()); ++y) {
        for (int x = std::max(r.left, 0); x < std::min(r.right, px.Width()); ++x) {
            const uint32_t p = px.At(x, y);
            if (PixelAlpha(p) < 250)
                continue;
            const double v[3] = {double(int((p >> 16) & 255) - ColorRed(background)),
                                 double(int((p >> 8) & 255) - ColorGreen(background)),
                                 double(int(p & 255) - ColorBlue(background))};
            const double t = (v[0] * d[0] + v[1] * d[1] + v[2] * d[2]) / len2;
            double off = 0;
            for (int i = 0; i < 3; ++i)
                off += (v[i] - t * d[i]) * (v[i] - t * d[i]);
            if (t >= 0.5 && t <= 1.1 && off < 20 * 20)
                return true;
        }
    }
    return false;
}

// A named function: a lambda is no stdcall function on 32-bit builds.
inline BOOL CALLBACK FindModalWindow(HWND hwnd, LPARAM param) {
    Window* w = Window::FromHwnd(hwnd);
    if (w && w->IsModal()) {
        *reinterpret_cast<HWND*>(param) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The modal dialog open on this (the UI) thread, or null.
inline HWND OpenModal() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindModalWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The shell still knows the panel's tray icon: changing it succeeds only then.
inline bool TrayIconExists(HWND panel) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = panel;
    data.uID = TrayIconId();
    data.uFlags = NIF_TIP;
    ::lstrcpynW(data.szTip, L"Pinatrove", ARRAYSIZE(data.szTip));
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

}  // namespace pt::test
