// Helpers of the Windows tests that drive the program's real windows: the
// toolkit started once per test process with the packed UI resources,
// message pumping with a time limit (never a bare sleep), mouse input by
// messages, and colour checks on a window's back buffer.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/resource_archive.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"

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

inline void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Pumps this thread's messages until `done` holds or `ms` pass.
inline bool PollUntil(const std::function<bool()>& done, int ms = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    }
    return true;
}

inline LPARAM At(Point p) {
    return MAKELPARAM(p.x, p.y);
}
inline Point Centre(const Element& e) {
    const Rect r = e.WindowRect();
    return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
inline void MouseTo(HWND h, Point p) {
    ::SendMessageW(h, WM_MOUSEMOVE, 0, At(p));
}
inline void Click(HWND h, const Element& e) {
    const Point p = Centre(e);
    MouseTo(h, p);
    ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(p));
    ::SendMessageW(h, WM_LBUTTONUP, 0, At(p));
}

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

}  // namespace pt::test
