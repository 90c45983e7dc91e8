// The two fonts every window shares: the default font ("微软雅黑" 9) and the
// caption font ("微软雅黑" 10). Where that face is not installed, the toolkit
// picks a face with CJK glyphs, so Chinese text never shows as boxes.
#pragma once

#include <memory>

#include "toolkit/graphics.h"

namespace pt {

inline constexpr char kUiFace[] = "微软雅黑";
inline constexpr int kDefaultFontSize = 9;
inline constexpr int kCaptionFontSize = 10;

struct SharedFonts {
    std::shared_ptr<Font> defaultFont;
    std::shared_ptr<Font> captionFont;
};

// Creates both (sizes after the DPIAware rule) and installs the default font
// as the toolkit's.
SharedFonts CreateSharedFonts(bool dpiAware, float measuredScale);

}  // namespace pt
