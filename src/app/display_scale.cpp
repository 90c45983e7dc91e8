// Scale factor arithmetic; see display_scale.h.
#include "app/display_scale.h"

#include <cmath>

namespace pt {

float MeasureScale(const ScreenMetrics& metrics, const std::function<int()>& appliedDpi) {
    // A zero from GetDeviceCaps (no display, a broken driver) must not divide
    // by zero: such a screen is taken as unscaled.
    const float s1 =
        metrics.horzRes > 0 && metrics.desktopHorzRes > 0
            ? static_cast<float>(metrics.desktopHorzRes) / static_cast<float>(metrics.horzRes)
            : 1.0f;
    const float s2 = metrics.logPixelsX > 0 ? static_cast<float>(metrics.logPixelsX / 96.0) : 1.0f;
    if (std::fabs(s1 - 1.0f) <= 0.0000001f)
        return s2;
    if (std::fabs(s2 - 1.0f) <= 0.0000001f || s1 == s2)
        return s1;
    int dpi = appliedDpi ? appliedDpi() : 96;
    if (dpi <= 0)
        dpi = 96;
    return static_cast<float>(dpi / 96.0);
}

float ScaleFactor(bool dpiAware, float measured) {
    return dpiAware ? 1.0f : measured;
}

int AdjustFontSize(int size, bool dpiAware, float measured) {
    if (!dpiAware || measured <= 0.0f)
        return size;
    return static_cast<int>(std::lround(size / measured));
}

int Scaled(int n, float factor) {
    return static_cast<int>(std::lround(n * factor));
}

}  // namespace pt
