// Images: raster pictures decoded from bytes, encoded images decoded when
// drawn (the least recently drawn let go beyond a limit), and SVG pictures.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/win_handles.h"
#include "toolkit/graphics.h"
#include "toolkit/png_decode.h"
#include "toolkit/graphics_detail.h"

namespace pt {

using graphics_detail::g_decodes;
using graphics_detail::g_started;

// The encoded images that hold a decoded picture, most recently drawn
// first, threaded through the images themselves: an image unlinks itself
// when it dies, so the list never points at a freed image.
class DecodedImages {
  public:
    static void Touch(const EncodedImage& image) {
        if (&image == newest_)
            return;
        if (image.listed_)
            Unlink(image);
        else
            ++count_;
        image.listed_ = true;
        image.older_ = newest_;
        image.newer_ = nullptr;
        if (newest_)
            newest_->newer_ = &image;
        newest_ = &image;
        if (!oldest_)
            oldest_ = &image;
    }
    // After Touch of a newly decoded image: the oldest beyond the limit let go.
    static void Trim() {
        while (count_ > limit_ && oldest_ && oldest_ != newest_)
            Drop(*oldest_);
    }
    static void Drop(const EncodedImage& image) {
        if (image.listed_) {
            Unlink(image);
            image.listed_ = false;
            --count_;
        }
        image.decoded_.reset();
    }
    static void DropAll() {
        while (oldest_)
            Drop(*oldest_);
    }
    static size_t Count() { return count_; }
    static size_t Limit() { return limit_; }
    static void SetLimit(size_t limit) {
        limit_ = std::max<size_t>(limit, 1);
        Trim();
    }

  private:
    static void Unlink(const EncodedImage& image) {
        if (image.newer_)
            image.newer_->older_ = image.older_;
        else
            newest_ = image.older_;
        if (image.older_)
            image.older_->newer_ = image.newer_;
        else
            oldest_ = image.newer_;
        image.newer_ = image.older_ = nullptr;
    }

    static inline const EncodedImage* newest_ = nullptr;
    static inline const EncodedImage* oldest_ = nullptr;
    static inline size_t count_ = 0;
    static inline size_t limit_ = 256;
};

void graphics_detail::DropDecodedImages() {
    DecodedImages::DropAll();
}

// ----------------------------------------------------------------- images

std::shared_ptr<RasterImage> RasterImage::FromBytes(const void* data, size_t size) {
    if (!g_started || !data || size == 0 || size > 0x7FFFFFFF)
        return nullptr;
    ++g_decodes;
    // Our own reader takes the images the program writes and ships, without
    // waking the system's imaging codecs; anything else goes to GDI+.
    PngPixels png;
    if (DecodePng(data, size, &png))
        return FromPixels(png.argb.data(), png.width, png.height);
    UniqueGlobal mem(::GlobalAlloc(GMEM_MOVEABLE, size));
    if (!mem)
        return nullptr;
    void* p = ::GlobalLock(mem.Get());
    if (!p)
        return nullptr;
    memcpy(p, data, size);
    ::GlobalUnlock(mem.Get());
    ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(mem.Get(), TRUE, stream.Put())) || !stream)
        return nullptr;
    mem.Release();  // the stream frees it
    IStream* raw = stream.Get();
    std::shared_ptr<RasterImage> out;
    {
        // A decoded GDI+ bitmap keeps reading its stream; draw it once into
        // a bitmap of our own so the stream can go now.
        Gdiplus::Bitmap decoded(raw);
        if (decoded.GetLastStatus() == Gdiplus::Ok && decoded.GetWidth() > 0 &&
            decoded.GetHeight() > 0) {
            const UINT w = decoded.GetWidth();
            const UINT h = decoded.GetHeight();
            auto copy = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(w), static_cast<INT>(h),
                                                          PixelFormat32bppPARGB);
            if (copy->GetLastStatus() == Gdiplus::Ok) {
                Gdiplus::Graphics g(copy.get());
                g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
                g.DrawImage(&decoded, 0, 0, static_cast<INT>(w), static_cast<INT>(h));
                out.reset(new RasterImage);
                out->bitmap_ = std::move(copy);
            }
        }
    }
    return out;
}

std::shared_ptr<RasterImage> RasterImage::FromPixels(const uint32_t* pixels, int width,
                                                     int height) {
    if (!g_started || !pixels || width <= 0 || height <= 0)
        return nullptr;
    auto bmp = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppPARGB);
    if (bmp->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    Gdiplus::BitmapData data;
    Gdiplus::Rect r(0, 0, width, height);
    if (bmp->LockBits(&r, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return nullptr;
    for (int y = 0; y < height; ++y) {
        memcpy(static_cast<BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
               pixels + static_cast<size_t>(y) * width, static_cast<size_t>(width) * 4);
    }
    bmp->UnlockBits(&data);
    std::shared_ptr<RasterImage> out(new RasterImage);
    out->bitmap_ = std::move(bmp);
    return out;
}

Size RasterImage::NaturalSize() const {
    return Size{static_cast<int>(bitmap_->GetWidth()), static_cast<int>(bitmap_->GetHeight())};
}

void RasterImage::Draw(Gdiplus::Graphics& g, const Rect& box) const {
    if (box.IsEmpty())
        return;
    const auto oldMode = g.GetInterpolationMode();
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.DrawImage(bitmap_.get(), Gdiplus::Rect(box.left, box.top, box.Width(), box.Height()));
    g.SetInterpolationMode(oldMode);
}

std::shared_ptr<EncodedImage> EncodedImage::FromBytes(std::shared_ptr<const std::string> bytes,
                                                      std::shared_ptr<Image> fallback) {
    if (!bytes || bytes->empty())
        return nullptr;
    std::shared_ptr<EncodedImage> out(new EncodedImage);
    out->bytes_ = std::move(bytes);
    out->fallback_ = std::move(fallback);
    return out;
}

std::shared_ptr<EncodedImage> EncodedImage::FromSource(std::function<std::string_view()> source,
                                                       std::shared_ptr<Image> fallback) {
    if (!source)
        return nullptr;
    std::shared_ptr<EncodedImage> out(new EncodedImage);
    out->source_ = std::move(source);
    out->fallback_ = std::move(fallback);
    return out;
}

EncodedImage::~EncodedImage() {
    DecodedImages::Drop(*this);
}

const Image* EncodedImage::Picture() const {
    if (!decoded_ && !broken_) {
        const std::string_view bytes = Bytes();
        decoded_ = RasterImage::FromBytes(bytes.data(), bytes.size());
        // Before GDI+ runs nothing decodes, and that is no verdict on the bytes.
        broken_ = !decoded_ && g_started;
    }
    if (decoded_) {
        DecodedImages::Touch(*this);
        DecodedImages::Trim();
        return decoded_.get();
    }
    return fallback_.get();
}

Size EncodedImage::NaturalSize() const {
    const Image* picture = Picture();
    return picture ? picture->NaturalSize() : Size{};
}

void EncodedImage::Draw(Gdiplus::Graphics& g, const Rect& box) const {
    if (const Image* picture = Picture())
        picture->Draw(g, box);
}

const Image* LazyImage::Picture() const {
    if (make_) {
        picture_ = make_();
        make_ = nullptr;  // asked once, whatever it answered
    }
    return picture_.get();
}

Size LazyImage::NaturalSize() const {
    const Image* picture = Picture();
    return picture ? picture->NaturalSize() : Size{};
}

void LazyImage::Draw(Gdiplus::Graphics& g, const Rect& box) const {
    if (const Image* picture = Picture())
        picture->Draw(g, box);
}

void SetDecodedImageLimit(size_t count) {
    DecodedImages::SetLimit(count);
}

size_t DecodedImageLimit() {
    return DecodedImages::Limit();
}

size_t DecodedImageCount() {
    return DecodedImages::Count();
}

uint64_t ImageDecodeCount() {
    return g_decodes;
}

std::shared_ptr<SvgImage> SvgImage::FromBytes(std::string_view bytes) {
    auto doc = std::make_shared<SvgDocument>();
    if (!ParseSvg(bytes, *doc))
        return nullptr;
    return FromDocument(std::move(doc));
}

std::shared_ptr<SvgImage> SvgImage::FromDocument(std::shared_ptr<const SvgDocument> document) {
    if (!document || document->Empty())
        return nullptr;
    std::shared_ptr<SvgImage> img(new SvgImage);
    img->doc_ = std::move(document);
    return img;
}

std::shared_ptr<SvgImage> SvgImage::Clone() const {
    return std::make_shared<SvgImage>(*this);
}

Size SvgImage::NaturalSize() const {
    if (size_.width > 0 && size_.height > 0)
        return size_;
    return Size{static_cast<int>(std::lround(doc_->viewWidth)),
                static_cast<int>(std::lround(doc_->viewHeight))};
}

void SvgImage::Draw(Gdiplus::Graphics& g, const Rect& box) const {
    if (box.IsEmpty())
        return;
    ImageDrawOptions o;
    o.fill = fill_;
    o.rotate180 = rotate_;
    const int w = box.Width();
    const int h = box.Height();
    if (w > kMaxSupersampled || h > kMaxSupersampled) {
        RenderSvg(g, *doc_,
                  Gdiplus::RectF(static_cast<float>(box.left), static_cast<float>(box.top),
                                 static_cast<float>(w), static_cast<float>(h)),
                  o);
        return;
    }
    if (!rendered_ || static_cast<int>(rendered_->GetWidth()) != w ||
        static_cast<int>(rendered_->GetHeight()) != h) {
        rendered_ = RenderSupersampled(Rect{0, 0, w, h}, [&](Gdiplus::Graphics& big) {
            RenderSvg(big, *doc_,
                      Gdiplus::RectF(0, 0, static_cast<float>(w), static_cast<float>(h)), o);
        });
    }
    if (!rendered_)
        return;
    const auto oldMode = g.GetInterpolationMode();
    g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    g.DrawImage(rendered_.get(), Gdiplus::Rect(box.left, box.top, w, h), 0, 0, w, h,
                Gdiplus::UnitPixel);
    g.SetInterpolationMode(oldMode);
}

void RenderSvg(Gdiplus::Graphics& g, const SvgDocument& doc, const Gdiplus::RectF& box,
               const ImageDrawOptions& options) {
    if (doc.Empty() || box.Width <= 0 || box.Height <= 0 || doc.viewWidth <= 0 ||
        doc.viewHeight <= 0)
        return;
    const double scale = std::min(box.Width / doc.viewWidth, box.Height / doc.viewHeight);
    const double ox = box.X + (box.Width - doc.viewWidth * scale) / 2 - doc.viewX * scale;
    const double oy = box.Y + (box.Height - doc.viewHeight * scale) / 2 - doc.viewY * scale;
    const double cx2 = 2 * box.X + box.Width;  // 2 × centre, for the half turn
    const double cy2 = 2 * box.Y + box.Height;
    const auto map = [&](double x, double y) {
        double px = ox + x * scale;
        double py = oy + y * scale;
        if (options.rotate180) {
            px = cx2 - px;
            py = cy2 - py;
        }
        return Gdiplus::PointF(static_cast<float>(px), static_cast<float>(py));
    };
    const auto oldSmoothing = g.GetSmoothingMode();
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const auto paint = [&](uint32_t rgb, double opacity) {
        int a = static_cast<int>(std::lround(std::clamp(opacity, 0.0, 1.0) * 255));
        int r = (rgb >> 16) & 255, gr = (rgb >> 8) & 255, b = rgb & 255;
        if (options.fill) {
            r = ColorRed(*options.fill);
            gr = ColorGreen(*options.fill);
            b = ColorBlue(*options.fill);
            a = a * ColorAlpha(*options.fill) / 255;
        }
        return Gdiplus::Color(static_cast<BYTE>(a), static_cast<BYTE>(r), static_cast<BYTE>(gr),
                              static_cast<BYTE>(b));
    };
    for (const SvgShape& shape : doc.shapes) {
        Gdiplus::GraphicsPath path(shape.evenOdd ? Gdiplus::FillModeAlternate
                                                 : Gdiplus::FillModeWinding);
        Gdiplus::PointF cur(0, 0);
        size_t k = 0;
        for (SvgOp op : shape.path.ops) {
            switch (op) {
                case SvgOp::kMove:
                    path.StartFigure();
                    cur = map(shape.path.coords[k], shape.path.coords[k + 1]);
                    k += 2;
                    break;
                case SvgOp::kLine: {
                    const Gdiplus::PointF p = map(shape.path.coords[k], shape.path.coords[k + 1]);
                    path.AddLine(cur, p);
                    cur = p;
                    k += 2;
                    break;
                }
                case SvgOp::kCubic: {
                    const Gdiplus::PointF c1 = map(shape.path.coords[k], shape.path.coords[k + 1]);
                    const Gdiplus::PointF c2 =
                        map(shape.path.coords[k + 2], shape.path.coords[k + 3]);
                    const Gdiplus::PointF p =
                        map(shape.path.coords[k + 4], shape.path.coords[k + 5]);
                    path.AddBezier(cur, c1, c2, p);
                    cur = p;
                    k += 6;
                    break;
                }
                case SvgOp::kClose:
                    path.CloseFigure();
                    break;
            }
        }
        if (shape.fill) {
            Gdiplus::SolidBrush brush(paint(shape.fillRgb, shape.fillOpacity * shape.opacity));
            g.FillPath(&brush, &path);
        }
        if (shape.stroke) {
            Gdiplus::Pen pen(paint(shape.strokeRgb, shape.strokeOpacity * shape.opacity),
                             static_cast<float>(shape.strokeWidth * scale));
            const Gdiplus::LineCap cap = shape.lineCap == 1   ? Gdiplus::LineCapRound
                                         : shape.lineCap == 2 ? Gdiplus::LineCapSquare
                                                              : Gdiplus::LineCapFlat;
            pen.SetLineCap(cap, cap,
                           shape.lineCap == 1 ? Gdiplus::DashCapRound : Gdiplus::DashCapFlat);
            pen.SetLineJoin(shape.lineJoin == 1   ? Gdiplus::LineJoinRound
                            : shape.lineJoin == 2 ? Gdiplus::LineJoinBevel
                                                  : Gdiplus::LineJoinMiter);
            g.DrawPath(&pen, &path);
        }
    }
    g.SetSmoothingMode(oldSmoothing);
}

}  // namespace pt
