// Pixel work on a window's 32-bpp premultiplied back buffer that GDI+ does
// not do for us: the anti-aliased rounded corners of the frame and the soft
// drop shadow laid under it. The layout is the Windows DIB one (B, G, R, A
// bytes, top-down rows). No Win32 here, so it is tested on plain memory.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/color.h"
#include "toolkit/geometry.h"

namespace pt {

struct ShadowParams {
    int size = 0;        // width of the shadow band outside the frame; 0: none
    int depth = 255;     // strength, 0..255
    int cornerSize = 0;  // radius of rounded corners
    bool rightAngled = true;
    Color color = 0;  // ABGR; its alpha is ignored (depth rules)
};

class PixelBuffer {
  public:
    PixelBuffer() = default;
    PixelBuffer(int width, int height) { Resize(width, height); }
    void Resize(int width, int height);
    // Wraps foreign memory (a DIB section) without owning it.
    void Attach(uint32_t* pixels, int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    uint32_t* Data() { return data_; }
    const uint32_t* Data() const { return data_; }
    uint32_t At(int x, int y) const { return data_[static_cast<size_t>(y) * width_ + x]; }
    void Set(int x, int y, uint32_t v) { data_[static_cast<size_t>(y) * width_ + x] = v; }
    void Clear(uint32_t value = 0);

  private:
    std::vector<uint32_t> own_;
    uint32_t* data_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

inline int PixelAlpha(uint32_t p) {
    return static_cast<int>(p >> 24);
}

uint32_t PremultipliedArgb(Color color);

// Sets every pixel of `r` (cut to the buffer) to `color`, premultiplied.
void FillPixels(PixelBuffer& buffer, const Rect& r, Color color);
// Lays `color` over every pixel of `r` (cut to the buffer), source over.
void BlendColor(PixelBuffer& buffer, const Rect& r, Color color);

// Lays `width` x `height` premultiplied pixels, their top-left corner at
// (x, y), over the buffer (source over), inside `clip` only.
void BlendOver(PixelBuffer& buffer, const Rect& clip, const uint32_t* pixels, int width, int height,
               int x, int y);

// Multiplies the pixels outside a rounded rectangle of `radius` at the
// frame's corners by their coverage, so corners fade out smoothly.
void RoundFrameCorners(PixelBuffer& buffer, const Rect& frame, int radius);

// Lays the shadow under what is drawn: every pixel outside the frame's shape
// and within `size` of it gets the shadow colour at a strength falling from
// the frame's edge outwards, beneath the pixel's own (premultiplied) colour.
void CompositeShadowUnder(PixelBuffer& buffer, const Rect& frame, const ShadowParams& shadow);

// The shadow's alpha (0..255) at distance `d` (pixels) outside the frame.
int ShadowAlphaAt(double d, const ShadowParams& shadow);

}  // namespace pt
