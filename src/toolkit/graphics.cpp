// GDI+ start and stop, and the colour conversion every drawing file uses.
// Fonts and text measuring live in fonts.cpp, images in images.cpp, the
// canvas in canvas.cpp.
#include "toolkit/graphics.h"

#include "toolkit/graphics_detail.h"

namespace pt {
namespace graphics_detail {

bool g_started = false;
uint64_t g_decodes = 0;

}  // namespace graphics_detail

namespace {
ULONG_PTR g_token = 0;
}  // namespace

using graphics_detail::g_started;

Gdiplus::Color ToGdiColor(Color c) {
    return Gdiplus::Color(static_cast<Gdiplus::ARGB>(ToArgb(c)));
}

bool StartGraphics() {
    if (g_started)
        return true;
    Gdiplus::GdiplusStartupInput input;
    g_started = Gdiplus::GdiplusStartup(&g_token, &input, nullptr) == Gdiplus::Ok;
    return g_started;
}

void StopGraphics() {
    if (!g_started)
        return;
    // Images may outlive GDI+ (a cell kept by the program); their bitmaps may not.
    graphics_detail::DropDecodedImages();
    graphics_detail::Shared& s = graphics_detail::TheShared();
    s.defaultFont.reset();
    s.measure.reset();
    s.measureBitmap.reset();
    Gdiplus::GdiplusShutdown(g_token);
    g_started = false;
}

bool GraphicsStarted() {
    return g_started;
}

}  // namespace pt
