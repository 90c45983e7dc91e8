// Rounded corners and the drop shadow on a premultiplied pixel buffer.
#include "toolkit/back_buffer.h"

#include <algorithm>
#include <cmath>

namespace pt {
namespace {

// Signed distance from (px, py) to a rounded rectangle (negative inside).
double RoundedRectDistance(const Rect& r, double radius, double px, double py) {
    const double halfW = r.Width() / 2.0;
    const double halfH = r.Height() / 2.0;
    radius = std::min({radius, halfW, halfH});
    const double cx = r.left + halfW;
    const double cy = r.top + halfH;
    const double qx = std::abs(px - cx) - (halfW - radius);
    const double qy = std::abs(py - cy) - (halfH - radius);
    const double ox = std::max(qx, 0.0);
    const double oy = std::max(qy, 0.0);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - radius;
}

uint32_t Scale(uint32_t p, double k) {
    const auto ch = [&](int shift) {
        const double v = static_cast<double>((p >> shift) & 255u) * k;
        return static_cast<uint32_t>(std::clamp(static_cast<int>(v + 0.5), 0, 255)) << shift;
    };
    return ch(24) | ch(16) | ch(8) | ch(0);
}

}  // namespace

void PixelBuffer::Resize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    own_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0u);
    data_ = own_.data();
}

void PixelBuffer::Attach(uint32_t* pixels, int width, int height) {
    own_.clear();
    data_ = pixels;
    width_ = pixels ? width : 0;
    height_ = pixels ? height : 0;
}

void PixelBuffer::Clear(uint32_t value) {
    std::fill(data_, data_ + static_cast<size_t>(width_) * static_cast<size_t>(height_), value);
}

uint32_t PremultipliedArgb(Color color) {
    const uint32_t a = static_cast<uint32_t>(ColorAlpha(color));
    const auto channel = [a](int c) { return (static_cast<uint32_t>(c) * a + 127) / 255; };
    return (a << 24) | (channel(ColorRed(color)) << 16) | (channel(ColorGreen(color)) << 8) |
           channel(ColorBlue(color));
}

namespace {

// Premultiplied source over destination: each channel keeps (255 - a) of
// what lies beneath. Two channels at a time, with the rounding of x / 255
// done as (x + 128 + ((x + 128) >> 8)) >> 8.
inline uint32_t Over(uint32_t s, uint32_t d) {
    const uint32_t keep = 255 - (s >> 24);
    uint32_t rb = (d & 0x00FF00FF) * keep + 0x00800080;
    rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
    uint32_t ag = ((d >> 8) & 0x00FF00FF) * keep + 0x00800080;
    ag = (ag + ((ag >> 8) & 0x00FF00FF)) & 0xFF00FF00;
    return s + rb + ag;
}

}  // namespace

void FillPixels(PixelBuffer& buffer, const Rect& r, Color color) {
    const Rect area = r.Intersect(Rect{0, 0, buffer.Width(), buffer.Height()});
    if (area.IsEmpty())
        return;
    const uint32_t value = PremultipliedArgb(color);
    for (int y = area.top; y < area.bottom; ++y) {
        uint32_t* row = buffer.Data() + static_cast<size_t>(y) * buffer.Width();
        std::fill(row + area.left, row + area.right, value);
    }
}

void BlendColor(PixelBuffer& buffer, const Rect& r, Color color) {
    if (ColorAlpha(color) == 255)
        return FillPixels(buffer, r, color);
    const Rect area = r.Intersect(Rect{0, 0, buffer.Width(), buffer.Height()});
    const uint32_t value = PremultipliedArgb(color);
    if (area.IsEmpty() || value == 0)
        return;
    for (int y = area.top; y < area.bottom; ++y) {
        uint32_t* row = buffer.Data() + static_cast<size_t>(y) * buffer.Width();
        for (int x = area.left; x < area.right; ++x)
            row[x] = Over(value, row[x]);
    }
}

void BlendOver(PixelBuffer& buffer, const Rect& clip, const uint32_t* pixels, int width, int height,
               int x, int y) {
    const Rect area = Rect{x, y, x + width, y + height}.Intersect(clip).Intersect(
        Rect{0, 0, buffer.Width(), buffer.Height()});
    if (!pixels || area.IsEmpty())
        return;
    for (int row = area.top; row < area.bottom; ++row) {
        const uint32_t* src = pixels + static_cast<size_t>(row - y) * width + (area.left - x);
        uint32_t* dst = buffer.Data() + static_cast<size_t>(row) * buffer.Width() + area.left;
        for (int n = area.Width(); n > 0; --n, ++src, ++dst) {
            const uint32_t s = *src;
            if ((s >> 24) == 255)
                *dst = s;
            else if (s != 0)
                *dst = Over(s, *dst);
        }
    }
}

void RoundFrameCorners(PixelBuffer& buffer, const Rect& frame, int radius) {
    if (radius <= 0)
        return;
    const Rect area = frame.Intersect(Rect{0, 0, buffer.Width(), buffer.Height()});
    const int r = std::min({radius, frame.Width() / 2, frame.Height() / 2});
    // Only the four corner squares can be affected.
    const Rect corners[4] = {Rect::FromSize(frame.left, frame.top, r, r),
                             Rect::FromSize(frame.right - r, frame.top, r, r),
                             Rect::FromSize(frame.left, frame.bottom - r, r, r),
                             Rect::FromSize(frame.right - r, frame.bottom - r, r, r)};
    for (const Rect& c : corners) {
        const Rect box = c.Intersect(area);
        for (int y = box.top; y < box.bottom; ++y) {
            for (int x = box.left; x < box.right; ++x) {
                const double d = RoundedRectDistance(frame, radius, x + 0.5, y + 0.5);
                const double cover = std::clamp(0.5 - d, 0.0, 1.0);
                if (cover < 1.0)
                    buffer.Set(x, y, Scale(buffer.At(x, y), cover));
            }
        }
    }
}

int ShadowAlphaAt(double d, const ShadowParams& shadow) {
    if (shadow.size <= 0 || d >= shadow.size)
        return 0;
    if (d < 0)
        d = 0;
    const double t = 1.0 - d / shadow.size;
    // A soft quadratic fall-off; at full depth the darkest pixel is 40 %.
    const double a = std::clamp(shadow.depth, 0, 255) * 0.4 * t * t;
    return std::clamp(static_cast<int>(a + 0.5), 0, 255);
}

void CompositeShadowUnder(PixelBuffer& buffer, const Rect& frame, const ShadowParams& shadow) {
    if (shadow.size <= 0 || shadow.depth <= 0)
        return;
    const double radius = shadow.rightAngled ? 0.0 : shadow.cornerSize;
    const Rect reach{frame.left - shadow.size, frame.top - shadow.size, frame.right + shadow.size,
                     frame.bottom + shadow.size};
    const Rect area = reach.Intersect(Rect{0, 0, buffer.Width(), buffer.Height()});
    const int cr = ColorRed(shadow.color);
    const int cg = ColorGreen(shadow.color);
    const int cb = ColorBlue(shadow.color);
    // Pixels this far inside the frame's edges are inside its shape
    // whatever the corners: each row skips them rather than measure half a
    // million distances a paint.
    const int inset = static_cast<int>(std::ceil(radius)) + 1;
    for (int y = area.top; y < area.bottom; ++y) {
        const bool innerRow = y >= frame.top + inset && y < frame.bottom - inset;
        const int skipFrom = frame.left + inset, skipTo = frame.right - inset;
        for (int x = area.left; x < area.right; ++x) {
            if (innerRow && x == skipFrom && skipFrom < skipTo) {
                x = skipTo - 1;
                continue;
            }
            const double d = RoundedRectDistance(frame, radius, x + 0.5, y + 0.5);
            if (d <= -0.5)
                continue;  // fully inside the frame
            int a = ShadowAlphaAt(d, shadow);
            if (d < 0.5)
                a = static_cast<int>(a * (d + 0.5) + 0.5);  // the anti-aliased rim
            if (a <= 0)
                continue;
            const uint32_t p = buffer.At(x, y);
            const int keep = 255 - PixelAlpha(p);
            if (keep <= 0)
                continue;
            const auto under = [&](int channel) { return channel * a / 255 * keep / 255; };
            const uint32_t sa = static_cast<uint32_t>(a * keep / 255);
            const uint32_t add = (sa << 24) | (static_cast<uint32_t>(under(cr)) << 16) |
                                 (static_cast<uint32_t>(under(cg)) << 8) |
                                 static_cast<uint32_t>(under(cb));
            // Premultiplied "over": the sums never pass 255 per channel.
            buffer.Set(x, y, p + add);
        }
    }
}

}  // namespace pt
