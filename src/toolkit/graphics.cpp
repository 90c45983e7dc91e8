// GDI+ start-up, fonts, text measuring, images and the element canvas.
#include "toolkit/graphics.h"

#include "base/win_handles.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "base/text.h"

namespace pt {
namespace {

ULONG_PTR g_token = 0;
bool g_started = false;
uint64_t g_decodes = 0;

struct Shared {
    std::shared_ptr<Font> defaultFont;
    std::unique_ptr<Gdiplus::Bitmap> measureBitmap;
    std::unique_ptr<Gdiplus::Graphics> measure;
};
Shared& TheShared() {
    static Shared* s = new Shared;
    return *s;
}

float ScreenDpiY() {
    static float dpi = [] {
        WindowDc screen(nullptr);
        const int v = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
        return static_cast<float>(v > 0 ? v : 96);
    }();
    return dpi;
}

void ConfigureFormat(Gdiplus::StringFormat& fmt, const TextFormat& f) {
    int flags = Gdiplus::StringFormatFlagsMeasureTrailingSpaces;
    if (!f.wrap)
        flags |= Gdiplus::StringFormatFlagsNoWrap;
    fmt.SetFormatFlags(flags);
    const auto map = [](TextAlign a) {
        return a == TextAlign::kCenter ? Gdiplus::StringAlignmentCenter
               : a == TextAlign::kEnd  ? Gdiplus::StringAlignmentFar
                                       : Gdiplus::StringAlignmentNear;
    };
    fmt.SetAlignment(map(f.horizontal));
    fmt.SetLineAlignment(map(f.vertical));
    fmt.SetTrimming(f.wrap ? Gdiplus::StringTrimmingWord
                           : Gdiplus::StringTrimmingEllipsisCharacter);
}

}  // namespace

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
    DecodedImages::DropAll();
    Shared& s = TheShared();
    s.defaultFont.reset();
    s.measure.reset();
    s.measureBitmap.reset();
    Gdiplus::GdiplusShutdown(g_token);
    g_started = false;
}

bool GraphicsStarted() {
    return g_started;
}

// ------------------------------------------------------------------ fonts

Font::~Font() = default;

std::shared_ptr<Font> Font::Create(std::string_view face, float points, int style) {
    if (!g_started || !(points > 0))
        return nullptr;
    std::shared_ptr<Font> f(new Font);
    const std::wstring wanted = ToWide(face);
    const wchar_t* fallbacks[] = {wanted.c_str(), L"Microsoft YaHei", L"WenQuanYi Micro Hei",
                                  L"SimSun",      L"Tahoma",          L"Arial"};
    for (const wchar_t* name : fallbacks) {
        if (!*name)
            continue;
        auto family = std::make_unique<Gdiplus::FontFamily>(name);
        if (family->GetLastStatus() != Gdiplus::Ok || !family->IsAvailable())
            continue;
        f->family_ = std::move(family);
        f->face_ = FromWide(name);
        break;
    }
    if (!f->family_) {
        f->family_.reset(Gdiplus::FontFamily::GenericSansSerif()->Clone());
        f->face_ = "sans-serif";
    }
    f->points_ = points;
    f->style_ = style;
    f->font_ = std::make_unique<Gdiplus::Font>(f->family_.get(), points * ScreenDpiY() / 72.0f,
                                               style, Gdiplus::UnitPixel);
    if (f->font_->GetLastStatus() != Gdiplus::Ok) {
        // The face lacks this style: take its regular form.
        f->font_ = std::make_unique<Gdiplus::Font>(f->family_.get(), points * ScreenDpiY() / 72.0f,
                                                   Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        if (f->font_->GetLastStatus() != Gdiplus::Ok)
            return nullptr;
    }
    return f;
}

std::shared_ptr<Font> Font::FromMemory(const void* data, size_t size, float points, int style) {
    if (!g_started || !data || size == 0 || size > 0x7FFFFFFF || !(points > 0))
        return nullptr;
    auto collection = std::make_shared<Gdiplus::PrivateFontCollection>();
    if (collection->AddMemoryFont(data, static_cast<INT>(size)) != Gdiplus::Ok)
        return nullptr;
    if (collection->GetFamilyCount() < 1)
        return nullptr;
    // Looked up from the collection, not by a name written here: Wine
    // registers a memory font under its full name.
    Gdiplus::FontFamily families[1];
    INT found = 0;
    if (collection->GetFamilies(1, families, &found) != Gdiplus::Ok || found < 1)
        return nullptr;
    std::shared_ptr<Font> f(new Font);
    f->family_.reset(families[0].Clone());
    WCHAR name[LF_FACESIZE] = {};
    f->family_->GetFamilyName(name);
    f->face_ = FromWide(name);
    f->collection_ = std::move(collection);
    f->points_ = points;
    f->style_ = style;
    f->font_ = std::make_unique<Gdiplus::Font>(f->family_.get(), points * ScreenDpiY() / 72.0f,
                                               style, Gdiplus::UnitPixel);
    if (f->font_->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return f;
}

int Font::LineHeight() const {
    return static_cast<int>(std::ceil(font_->GetHeight(ScreenDpiY())));
}

void SetDefaultFont(std::shared_ptr<Font> font) {
    TheShared().defaultFont = std::move(font);
}

std::shared_ptr<Font> DefaultFont() {
    Shared& s = TheShared();
    if (!s.defaultFont)
        s.defaultFont = Font::Create("微软雅黑", 9);
    return s.defaultFont;
}

Size MeasureText(std::string_view text, const Font& font, int maxWidth, bool wrap) {
    Shared& s = TheShared();
    if (!g_started)
        return {};
    if (!s.measure) {
        s.measureBitmap = std::make_unique<Gdiplus::Bitmap>(1, 1, PixelFormat32bppPARGB);
        s.measure = std::make_unique<Gdiplus::Graphics>(s.measureBitmap.get());
        s.measure->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    }
    const std::wstring w = ToWide(text);
    if (w.empty())
        return Size{0, font.LineHeight()};
    TextFormat tf;
    tf.wrap = wrap && maxWidth > 0;
    Gdiplus::StringFormat fmt(Gdiplus::StringFormat::GenericTypographic());
    ConfigureFormat(fmt, tf);
    const Gdiplus::RectF layout(
        0, 0, maxWidth > 0 && tf.wrap ? static_cast<float>(maxWidth) : 100000.0f, 100000.0f);
    Gdiplus::RectF bounds;
    s.measure->MeasureString(w.c_str(), static_cast<INT>(w.size()), font.Get(), layout, &fmt,
                             &bounds);
    // One pixel more on each axis: anti-aliased edges spill past the box.
    Size size{static_cast<int>(std::ceil(bounds.Width)) + 1,
              std::max(static_cast<int>(std::ceil(bounds.Height)), font.LineHeight())};
    if (maxWidth > 0)
        size.width = std::min(size.width, maxWidth);
    return size;
}

// ----------------------------------------------------------------- images

std::shared_ptr<RasterImage> RasterImage::FromBytes(const void* data, size_t size) {
    if (!g_started || !data || size == 0 || size > 0x7FFFFFFF)
        return nullptr;
    ++g_decodes;
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

EncodedImage::~EncodedImage() {
    DecodedImages::Drop(*this);
}

const Image* EncodedImage::Picture() const {
    if (!decoded_ && !broken_) {
        decoded_ = RasterImage::FromBytes(bytes_->data(), bytes_->size());
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

Canvas::Canvas(Gdiplus::Graphics& graphics) : g_(graphics) {}

void Canvas::FillRect(const Rect& r, Color color) {
    if (r.IsEmpty() || ColorAlpha(color) == 0)
        return;
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
