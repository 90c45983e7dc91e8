// What the graphics files share among themselves and nobody else uses: the
// started flag, the shared font and measuring surface, the screen's DPI, the
// text format setup and the decoded-image list.
#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <cstdint>
#include <memory>

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
// Lets every decoded picture go (GDI+ is about to stop).
void DropDecodedImages();

}  // namespace pt::graphics_detail
