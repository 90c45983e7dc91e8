// The display scale factor and the font-size rule. Every fixed pixel size the
// program hands to the toolkit is multiplied by the factor; it is measured
// once at start-up from the screen's device capabilities. Pure arithmetic, so
// the rules are tested without a display.
#pragma once

#include <functional>

namespace pt {

struct ScreenMetrics {
    int desktopHorzRes = 0;  // DESKTOPHORZRES: physical width in pixels
    int horzRes = 0;         // HORZRES: width as the process sees it
    int logPixelsX = 96;     // LOGPIXELSX
};

// The measured scale: the ratio of physical to virtualised width when the
// system stretches the program, else the logical DPI over 96; when both
// disagree, the user's applied DPI (read lazily: most machines never need it).
float MeasureScale(const ScreenMetrics& metrics, const std::function<int()>& appliedDpi);

// With DPIAware the program draws at 1.0 and lets the fonts shrink instead.
float ScaleFactor(bool dpiAware, float measured);

// Point size of a shared font: with DPIAware the size is divided by the
// measured scale and rounded to the nearest integer.
int AdjustFontSize(int size, bool dpiAware, float measured);

// A scaled pixel size: n × factor, rounded to the nearest integer.
int Scaled(int n, float factor);

}  // namespace pt
