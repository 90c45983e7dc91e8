// The canvas: filling, lines, looks, text and images on a GDI+ surface, with
// smooth edges drawn supersampled.
#include <algorithm>
#include <cmath>

#include "base/text.h"
#include "toolkit/back_buffer.h"
#include "toolkit/graphics.h"
#include "toolkit/graphics_detail.h"

namespace pt {

using graphics_detail::ConfigureFormat;
using graphics_detail::g_started;

// ---------------------------------------------------------- supersampling

namespace {
constexpr int kSuper = 4;
}

std::shared_ptr<Gdiplus::Bitmap> RenderSupersampled(const Rect& box, const PaintFunction& paint) {
    const int w = box.Width();
    const int h = box.Height();
    if (!g_started || w <= 0 || h <= 0 || w > kMaxSupersampled || h > kMaxSupersampled)
        return nullptr;
    const int bw = w * kSuper;
    const int bh = h * kSuper;
    std::vector<uint32_t> big(static_cast<size_t>(bw) * bh, 0);
    {
        Gdiplus::Bitmap surface(bw, bh, bw * 4, PixelFormat32bppPARGB,
                                reinterpret_cast<BYTE*>(big.data()));
        Gdiplus::Graphics g(&surface);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        g.ScaleTransform(static_cast<Gdiplus::REAL>(kSuper), static_cast<Gdiplus::REAL>(kSuper));
        g.TranslateTransform(static_cast<Gdiplus::REAL>(-box.left),
                             static_cast<Gdiplus::REAL>(-box.top));
        paint(g);
        g.Flush(Gdiplus::FlushIntentionSync);
    }
    auto out = std::make_shared<Gdiplus::Bitmap>(w, h, PixelFormat32bppPARGB);
    if (out->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    Gdiplus::BitmapData data;
    Gdiplus::Rect all(0, 0, w, h);
    if (out->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &data) !=
        Gdiplus::Ok)
        return nullptr;
    // A box filter over premultiplied pixels: each pixel's coverage is the
    // share of its sixteen samples that were painted.
    constexpr uint32_t kSamples = kSuper * kSuper;
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<BYTE*>(data.Scan0) +
                                                static_cast<ptrdiff_t>(y) * data.Stride);
        for (int x = 0; x < w; ++x) {
            uint32_t sum[4] = {0, 0, 0, 0};
            for (int sy = 0; sy < kSuper; ++sy) {
                const uint32_t* src = &big[static_cast<size_t>(y * kSuper + sy) * bw + x * kSuper];
                for (int sx = 0; sx < kSuper; ++sx) {
                    const uint32_t p = src[sx];
                    sum[0] += p & 255;
                    sum[1] += (p >> 8) & 255;
                    sum[2] += (p >> 16) & 255;
                    sum[3] += p >> 24;
                }
            }
            uint32_t v = 0;
            for (int c = 0; c < 4; ++c)
                v |= ((sum[c] + kSamples / 2) / kSamples) << (8 * c);
            row[x] = v;
        }
    }
    out->UnlockBits(&data);
    return out;
}

void DrawSupersampled(Gdiplus::Graphics& target, const Rect& box, const PaintFunction& paint) {
    if (box.IsEmpty())
        return;
    if (box.Width() > kMaxSupersampled || box.Height() > kMaxSupersampled) {
        const auto old = target.GetSmoothingMode();
        target.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        paint(target);
        target.SetSmoothingMode(old);
        return;
    }
    std::shared_ptr<Gdiplus::Bitmap> picture = RenderSupersampled(box, paint);
    if (!picture)
        return;
    const auto oldMode = target.GetInterpolationMode();
    target.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    target.DrawImage(picture.get(), Gdiplus::Rect(box.left, box.top, box.Width(), box.Height()), 0,
                     0, box.Width(), box.Height(), Gdiplus::UnitPixel);
    target.SetInterpolationMode(oldMode);
}

// ----------------------------------------------------------------- canvas

Canvas::Canvas(Gdiplus::Graphics& graphics, PixelBuffer* pixels)
    : g_(graphics), pixels_(pixels), clip_{-kUnclipped, -kUnclipped, kUnclipped, kUnclipped} {}

void Canvas::SetClip(const Rect& clip) {
    clip_ = clip;
    g_.SetClip(Gdiplus::Rect(clip.left, clip.top, clip.Width(), clip.Height()));
}

bool Canvas::BlendPixels(const uint32_t* pixels, int width, int height, int x, int y) {
    if (!pixels_ || !pixels || width <= 0 || height <= 0)
        return false;
    // The clip is the one kept here: asking GDI+ for it (and for its
    // transform) costs more than the copy itself.
    BlendOver(*pixels_, clip_, pixels, width, height, x, y);
    return true;
}

void Canvas::FillRect(const Rect& r, Color color) {
    if (r.IsEmpty() || ColorAlpha(color) == 0)
        return;
    if (pixels_) {
        BlendColor(*pixels_, r.Intersect(clip_), color);
        return;
    }
    Gdiplus::SolidBrush brush(ToGdiColor(color));
    g_.FillRectangle(&brush, r.left, r.top, r.Width(), r.Height());
}

void Canvas::FillRoundRect(const Rect& r, int radius, Color color) {
    radius = std::min({radius, r.Width() / 2, r.Height() / 2});
    if (radius <= 0)
        return FillRect(r, color);
    if (r.IsEmpty() || ColorAlpha(color) == 0)
        return;
    // Straight parts as plain rectangles; only the four corner squares need
    // smoothing, so large rounded panels cost no more than small ones.
    const int d = radius;
    FillRect(Rect{r.left + d, r.top, r.right - d, r.bottom}, color);
    FillRect(Rect{r.left, r.top + d, r.left + d, r.bottom - d}, color);
    FillRect(Rect{r.right - d, r.top + d, r.right, r.bottom - d}, color);
    const Gdiplus::SolidBrush brush(ToGdiColor(color));
    const auto corner = [&](int x, int y, float cx, float cy) {
        DrawSupersampled(g_, Rect::FromSize(x, y, d, d), [&](Gdiplus::Graphics& g) {
            g.FillEllipse(&brush, cx - d, cy - d, 2.0f * d, 2.0f * d);
        });
    };
    const float inLeft = static_cast<float>(r.left + d);
    const float inTop = static_cast<float>(r.top + d);
    const float inRight = static_cast<float>(r.right - d);
    const float inBottom = static_cast<float>(r.bottom - d);
    corner(r.left, r.top, inLeft, inTop);
    corner(r.right - d, r.top, inRight, inTop);
    corner(r.left, r.bottom - d, inLeft, inBottom);
    corner(r.right - d, r.bottom - d, inRight, inBottom);
}

void Canvas::FillEllipse(const Rect& r, Color color) {
    if (r.IsEmpty() || ColorAlpha(color) == 0)
        return;
    const Gdiplus::SolidBrush brush(ToGdiColor(color));
    DrawSupersampled(g_, r, [&](Gdiplus::Graphics& g) {
        g.FillEllipse(&brush, static_cast<Gdiplus::REAL>(r.left), static_cast<Gdiplus::REAL>(r.top),
                      static_cast<Gdiplus::REAL>(r.Width()),
                      static_cast<Gdiplus::REAL>(r.Height()));
    });
}

void Canvas::DrawPolyline(const std::vector<Gdiplus::PointF>& points, Color color, float width) {
    if (points.size() < 2 || ColorAlpha(color) == 0)
        return;
    float left = points[0].X, top = points[0].Y, right = left, bottom = top;
    for (const Gdiplus::PointF& p : points) {
        left = std::min(left, p.X);
        top = std::min(top, p.Y);
        right = std::max(right, p.X);
        bottom = std::max(bottom, p.Y);
    }
    const int margin = static_cast<int>(std::ceil(width)) + 1;
    const Rect box{
        static_cast<int>(std::floor(left)) - margin, static_cast<int>(std::floor(top)) - margin,
        static_cast<int>(std::ceil(right)) + margin, static_cast<int>(std::ceil(bottom)) + margin};
    Gdiplus::Pen pen(ToGdiColor(color), width);
    pen.SetLineJoin(Gdiplus::LineJoinRound);
    pen.SetLineCap(Gdiplus::LineCapRound, Gdiplus::LineCapRound, Gdiplus::DashCapRound);
    DrawSupersampled(g_, box, [&](Gdiplus::Graphics& g) {
        g.DrawLines(&pen, points.data(), static_cast<INT>(points.size()));
    });
}

void Canvas::DrawLine(int x1, int y1, int x2, int y2, Color color, float width) {
    Gdiplus::Pen pen(ToGdiColor(color), width);
    g_.DrawLine(&pen, x1, y1, x2, y2);
}

void Canvas::FillRectF(float x, float y, float width, float height, Color color) {
    Gdiplus::SolidBrush brush(ToGdiColor(color));
    g_.FillRectangle(&brush, Gdiplus::RectF(x, y, width, height));
}

void Canvas::DrawDashedRect(const Rect& r, Color color) {
    Gdiplus::Pen pen(ToGdiColor(color), 1.0f);
    pen.SetDashStyle(Gdiplus::DashStyleDash);
    g_.DrawRectangle(&pen, r.left, r.top, r.Width(), r.Height());
}

void Canvas::DrawLook(const Rect& r, const Look& look) {
    if (r.IsEmpty())
        return;
    const int bw = std::max(look.borderWidth, 0);
    if (look.radius > 0 && look.borderSides == kBorderAll && bw > 0) {
        // A rounded outline: the border colour underneath, the fill inset.
        FillRoundRect(r, look.radius, look.borderColor);
        if (look.fill)
            FillRoundRect(r.Inset({bw, bw, bw, bw}), std::max(look.radius - bw, 1), *look.fill);
        return;
    }
    if (look.fill)
        FillRoundRect(r, look.radius, *look.fill);
    if (bw <= 0)
        return;
    // Sides as filled strips: crisp lines whatever the smoothing mode.
    if (look.borderSides & kBorderTop)
        FillRect(Rect{r.left, r.top, r.right, r.top + bw}, look.borderColor);
    if (look.borderSides & kBorderBottom)
        FillRect(Rect{r.left, r.bottom - bw, r.right, r.bottom}, look.borderColor);
    if (look.borderSides & kBorderLeft)
        FillRect(Rect{r.left, r.top, r.left + bw, r.bottom}, look.borderColor);
    if (look.borderSides & kBorderRight)
        FillRect(Rect{r.right - bw, r.top, r.right, r.bottom}, look.borderColor);
}

void Canvas::DrawText(std::string_view text, const Font& font, Color color, const Rect& r,
                      const TextFormat& format) {
    if (text.empty() || r.IsEmpty() || ColorAlpha(color) == 0)
        return;
    // A single line goes through GDI, as cached texts do, so the two look
    // alike.
    std::vector<uint32_t> line;
    if (graphics_detail::RasterizeLine(text, font, color, Size{r.Width(), r.Height()}, format,
                                       &line)) {
        if (BlendPixels(line.data(), r.Width(), r.Height(), r.left, r.top))
            return;
        Gdiplus::Bitmap bitmap(r.Width(), r.Height(), r.Width() * 4, PixelFormat32bppPARGB,
                               reinterpret_cast<BYTE*>(line.data()));
        g_.DrawImage(&bitmap, r.left, r.top, r.Width(), r.Height());
        return;
    }
    const std::wstring w = ToWide(text);
    Gdiplus::StringFormat fmt(Gdiplus::StringFormat::GenericTypographic());
    ConfigureFormat(fmt, format);
    Gdiplus::SolidBrush brush(ToGdiColor(color));
    g_.DrawString(w.c_str(), static_cast<INT>(w.size()), font.Get(),
                  Gdiplus::RectF(static_cast<float>(r.left), static_cast<float>(r.top),
                                 static_cast<float>(r.Width()), static_cast<float>(r.Height())),
                  &fmt, &brush);
}

void Canvas::DrawImage(const Image& image, const Rect& r) {
    image.Draw(g_, r);
}

}  // namespace pt
