// What the graphics files share among themselves and nobody else uses: the
// started flag, the shared font and measuring surface, the screen's DPI, the
// text format setup and the decoded-image list.
#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "toolkit/graphics.h"

namespace pt::graphics_detail {

extern bool g_started;
extern uint64_t g_decodes;

struct Shared {
    std::shared_ptr<Font> defaultFont;
    std::unique_ptr<Gdiplus::Bitmap> measureBitmap;
    std::unique_ptr<Gdiplus::Graphics> measure;
};
Shared& TheShared();
float ScreenDpiY();
void ConfigureFormat(Gdiplus::StringFormat& fmt, const TextFormat& f);
// A single line drawn by GDI into `box`-sized premultiplied pixels of
// `color` (the same alignment and "…" as the GDI+ text); false when GDI
// cannot draw it (wrapping, a memory font, a line break, no memory) and
// GDI+ must.
bool RasterizeLine(std::string_view text, const Font& font, Color color, Size box,
                   const TextFormat& format, std::vector<uint32_t>* out);
// GDI's extent of a single line, as RasterizeLine would draw it.
bool MeasureLine(std::string_view text, const Font& font, Size* size);
// Lets every decoded picture go (GDI+ is about to stop).
void DropDecodedImages();

}  // namespace pt::graphics_detail
