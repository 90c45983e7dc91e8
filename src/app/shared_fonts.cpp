// Creation of the shared fonts.
#include "app/shared_fonts.h"

#include "app/display_scale.h"

namespace pt {

SharedFonts CreateSharedFonts(bool dpiAware, float measuredScale) {
    SharedFonts fonts;
    fonts.defaultFont = Font::Create(
        kUiFace, static_cast<float>(AdjustFontSize(kDefaultFontSize, dpiAware, measuredScale)));
    fonts.captionFont = Font::Create(
        kUiFace, static_cast<float>(AdjustFontSize(kCaptionFontSize, dpiAware, measuredScale)));
    if (fonts.defaultFont)
        SetDefaultFont(fonts.defaultFont);
    return fonts;
}

}  // namespace pt
