// The two fonts every window shares: the default font ("微软雅黑" 9) and the
// caption font ("微软雅黑" 10). Where that face is not installed, a face with
// CJK glyphs stands in, so Chinese text never shows as boxes.
#pragma once

#include <string>

#include "base/win_handles.h"

namespace pt {

inline constexpr char kUiFace[] = "微软雅黑";
inline constexpr int kDefaultFontSize = 9;
inline constexpr int kCaptionFontSize = 10;

// The first installed face of the UI face and its stand-ins (UTF-8).
std::string ChooseUiFace();

struct SharedFonts {
    std::string face;
    int defaultSize = kDefaultFontSize;  // points, after the DPIAware rule
    int captionSize = kCaptionFontSize;
    UniqueFont defaultFont;
    UniqueFont captionFont;
};

SharedFonts CreateSharedFonts(bool dpiAware, float measuredScale);

// A GDI font of `points` on this screen, normal weight.
UniqueFont CreateUiFont(const std::string& face, int points);

}  // namespace pt
