// Drawing for the toolkit, on GDI+: fonts (by face, or from TTF bytes),
// text measuring, images (PNG and the other GDI+ formats from bytes; our
// SVG renderer) and the canvas that elements paint on. Everything is drawn
// anti-aliased into 32-bpp premultiplied buffers, so text and shapes keep
// their alpha on layered windows. Single lines are laid out from GDI's
// glyphs by the toolkit itself (text_raster.cpp): GDI's text drawn straight
// into the pixels would wipe their alpha.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/color.h"
#include "toolkit/geometry.h"
#include "toolkit/looks.h"
#include "toolkit/svg_document.h"

namespace pt {

// GDI+ for the process. Start before any toolkit object exists; stop only
// after every font, image and window is gone.
bool StartGraphics();
void StopGraphics();
bool GraphicsStarted();

namespace graphics_detail {
struct GdiFace;
}

enum FontStyle : int {
    kFontRegular = 0,
    kFontBold = 1,
    kFontItalic = 2,
    kFontUnderline = 4,
    kFontStrikeout = 8
};

class Font {
  public:
    // A face by name (UTF-8) at `points`. When the face is missing, a face
    // with CJK glyphs stands in (the UI face's usual replacements), then the
    // generic sans-serif face, so Chinese text never shows as boxes.
    static std::shared_ptr<Font> Create(std::string_view face, float points,
                                        int style = kFontRegular);
    // The first family of a TrueType file in memory (the resource archive's
    // product font). Null when the bytes are not a usable font.
    static std::shared_ptr<Font> FromMemory(const void* data, size_t size, float points,
                                            int style = kFontRegular);

    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    Gdiplus::Font* Get() const { return font_.get(); }
    const std::string& Face() const { return face_; }  // the face actually used
    float Points() const { return points_; }
    int Style() const { return style_; }
    int LineHeight() const;  // pixels
    // The same face, size and style for GDI, with the glyphs drawn so far,
    // made on first use; null when GDI cannot have it (a memory font).
    graphics_detail::GdiFace* GdiText() const;

  private:
    Font();
    std::unique_ptr<Gdiplus::FontFamily> family_;
    std::unique_ptr<Gdiplus::Font> font_;
    std::shared_ptr<Gdiplus::PrivateFontCollection> collection_;  // keeps a memory font alive
    mutable std::unique_ptr<graphics_detail::GdiFace> gdi_;
    mutable bool gdiTried_ = false;
    std::string face_;
    float points_ = 9;
    int style_ = 0;
};

// The font elements use unless given their own. Created on first use as
// "微软雅黑" 9 unless the program sets another.
void SetDefaultFont(std::shared_ptr<Font> font);
std::shared_ptr<Font> DefaultFont();

enum class TextAlign { kStart, kCenter, kEnd };

struct TextFormat {
    TextAlign horizontal = TextAlign::kStart;
    TextAlign vertical = TextAlign::kCenter;
    bool wrap = false;  // single line unless set; a single line ends in "…" when cut
};

// The pixel size of the text in the font; with `maxWidth` > 0 and wrapping,
// lines are broken to fit that width.
Size MeasureText(std::string_view text, const Font& font, int maxWidth = 0, bool wrap = false);

struct ImageDrawOptions {
    bool rotate180 = false;
    std::optional<Color> fill;  // single-colour recolouring (SVG)
};

class Image {
  public:
    virtual ~Image() = default;
    virtual Size NaturalSize() const = 0;
    virtual void Draw(Gdiplus::Graphics& g, const Rect& box) const = 0;
    // For an image that only stands for another (shared by many cells),
    // that other one: pictures rendered of it are kept once for all.
    virtual std::shared_ptr<Image> StandsFor() const { return nullptr; }
};

// A raster image (PNG, BMP, ICO, JPEG: whatever GDI+ decodes) drawn scaled
// with high-quality filtering. Null when the bytes do not decode.
class RasterImage final : public Image {
  public:
    static std::shared_ptr<RasterImage> FromBytes(const void* data, size_t size);
    // From 32-bpp premultiplied BGRA pixels (width × height, top-down).
    static std::shared_ptr<RasterImage> FromPixels(const uint32_t* pixels, int width, int height);
    Size NaturalSize() const override;
    void Draw(Gdiplus::Graphics& g, const Rect& box) const override;
    Gdiplus::Bitmap* Bitmap() const { return bitmap_.get(); }

  private:
    std::unique_ptr<Gdiplus::Bitmap> bitmap_;
};

// An image kept as its encoded bytes (PNG or any format RasterImage reads)
// and decoded only when it is first drawn or measured: a list of 10,000
// cells paints about 80, and a decoded picture costs several times its PNG.
// The bytes are shared, never copied, between images made from the same
// pointer, or stay where they are (a mapped file) and are asked for at each
// decode. At most DecodedImageLimit() images stay decoded, the least
// recently drawn dropping theirs first (they decode again when drawn). When
// the bytes do not decode, `fallback` is drawn instead (nothing without
// one). UI thread only, like GDI+ itself.
class EncodedImage final : public Image {
  public:
    // Null for null or empty bytes.
    static std::shared_ptr<EncodedImage> FromBytes(std::shared_ptr<const std::string> bytes,
                                                   std::shared_ptr<Image> fallback = nullptr);
    // Bytes kept elsewhere: `source` is asked for them whenever the image
    // decodes, and what it answers need only last for that call (empty
    // bytes: the fallback). Null without a source.
    static std::shared_ptr<EncodedImage> FromSource(std::function<std::string_view()> source,
                                                    std::shared_ptr<Image> fallback = nullptr);
    ~EncodedImage() override;
    EncodedImage(const EncodedImage&) = delete;
    EncodedImage& operator=(const EncodedImage&) = delete;

    Size NaturalSize() const override;
    void Draw(Gdiplus::Graphics& g, const Rect& box) const override;
    std::string_view Bytes() const { return bytes_ ? std::string_view(*bytes_) : source_(); }
    bool Decoded() const { return decoded_ != nullptr; }
    // The bytes were tried and did not decode (the fallback is shown).
    bool Broken() const { return broken_; }

  private:
    friend class DecodedImages;
    EncodedImage() = default;
    const Image* Picture() const;  // decoded, the fallback, or null

    std::shared_ptr<const std::string> bytes_;  // or else source_
    std::function<std::string_view()> source_;
    std::shared_ptr<Image> fallback_;
    mutable std::shared_ptr<RasterImage> decoded_;
    mutable bool broken_ = false;
    // Links of the list of decoded images, most recently drawn first.
    mutable const EncodedImage* newer_ = nullptr;
    mutable const EncodedImage* older_ = nullptr;
    mutable bool listed_ = false;
};

// An image made by `make` when it is first measured or drawn: for one that
// costs (an extraction) and is seldom shown. A null result draws nothing.
class LazyImage final : public Image {
  public:
    explicit LazyImage(std::function<std::shared_ptr<Image>()> make) : make_(std::move(make)) {}
    Size NaturalSize() const override;
    void Draw(Gdiplus::Graphics& g, const Rect& box) const override;

  private:
    const Image* Picture() const;
    mutable std::function<std::shared_ptr<Image>()> make_;
    mutable std::shared_ptr<Image> picture_;
};

// How many encoded images may stay decoded at once (default 256; at least 1).
void SetDecodedImageLimit(size_t count);
size_t DecodedImageLimit();
size_t DecodedImageCount();
// Images decoded from bytes (RasterImage::FromBytes) since the process
// started, successful or not: what tests and benchmarks count.
uint64_t ImageDecodeCount();

// An SVG icon. Several images may share one parsed document (the three
// state images of a system button differ only in colour and rotation).
class SvgImage final : public Image {
  public:
    static std::shared_ptr<SvgImage> FromBytes(std::string_view bytes);
    static std::shared_ptr<SvgImage> FromDocument(std::shared_ptr<const SvgDocument> document);
    // A copy sharing the document, with its own size, fill and rotation.
    std::shared_ptr<SvgImage> Clone() const;

    void SetSize(int width, int height) { size_ = Size{width, height}; }
    void SetFill(Color color) {
        fill_ = color;
        Invalidate();
    }
    void ClearFill() {
        fill_.reset();
        Invalidate();
    }
    void SetRotate180(bool on) {
        rotate_ = on;
        Invalidate();
    }
    bool Rotated180() const { return rotate_; }
    std::optional<Color> Fill() const { return fill_; }
    const SvgDocument& Document() const { return *doc_; }

    // The set size, else the view box size rounded.
    Size NaturalSize() const override;
    // Drawn into `box` keeping the aspect ratio, centred.
    void Draw(Gdiplus::Graphics& g, const Rect& box) const override;

  private:
    void Invalidate() { rendered_.reset(); }

    std::shared_ptr<const SvgDocument> doc_;
    Size size_;
    std::optional<Color> fill_;
    bool rotate_ = false;
    // The last rendering (its size is the box it was drawn for): icons are
    // drawn far more often than they change.
    mutable std::shared_ptr<Gdiplus::Bitmap> rendered_;
};

// Renders a document into a box with GDI+ (used by SvgImage; public so the
// later controls and tests can call it directly).
void RenderSvg(Gdiplus::Graphics& g, const SvgDocument& doc, const Gdiplus::RectF& box,
               const ImageDrawOptions& options);

// Smooth edges whatever GDI+ does with them (Wine's GDI+ fills and strokes
// without anti-aliasing): `paint` draws, in the target's device
// coordinates, into a copy of `box` four times larger, which is averaged
// down and laid over the target. Boxes larger than kMaxSupersampled pixels
// on a side are painted directly instead.
inline constexpr int kMaxSupersampled = 256;
using PaintFunction = std::function<void(Gdiplus::Graphics&)>;
void DrawSupersampled(Gdiplus::Graphics& target, const Rect& box, const PaintFunction& paint);
// The averaged-down picture of `box` alone (premultiplied alpha); null when
// the box is empty or too large.
std::shared_ptr<Gdiplus::Bitmap> RenderSupersampled(const Rect& box, const PaintFunction& paint);

// The surface elements paint on: a GDI+ graphics over the window's back
// buffer, with an origin and a clip stack for the element being painted.
class PixelBuffer;

class Canvas {
  public:
    // `pixels`, when given, is the memory `graphics` paints into (a window's
    // back buffer, never transformed): copies of ready pictures then go
    // straight into it instead of through GDI+, which costs several times
    // the copy under some systems.
    explicit Canvas(Gdiplus::Graphics& graphics, PixelBuffer* pixels = nullptr);
    // Painting that changes the clip or the transform through Graphics()
    // must put them back before it draws through the canvas again.
    Gdiplus::Graphics& Graphics() { return g_; }

    // The clip of what is painted next, kept here as well as in GDI+.
    void SetClip(const Rect& clip);
    const Rect& ClipRect() const { return clip_; }

    // Premultiplied pixels laid over the canvas at (x, y), source over,
    // inside the clip. False when the canvas has no pixels of its own; the
    // caller then draws through GDI+.
    bool BlendPixels(const uint32_t* pixels, int width, int height, int x, int y);

    void FillRect(const Rect& r, Color color);
    // Rounded corners are drawn smooth (see DrawSupersampled); a radius of
    // half the shorter side makes a circle or a pill.
    void FillRoundRect(const Rect& r, int radius, Color color);
    void FillEllipse(const Rect& r, Color color);
    // An open polyline (a check mark, a submenu arrow) with round joins.
    void DrawPolyline(const std::vector<Gdiplus::PointF>& points, Color color, float width);
    void DrawLine(int x1, int y1, int x2, int y2, Color color, float width = 1.0f);
    // A rectangle at fractional coordinates (a thin marker between cells).
    void FillRectF(float x, float y, float width, float height, Color color);
    // The 1-pixel outline of `r`, dashed.
    void DrawDashedRect(const Rect& r, Color color);
    void DrawLook(const Rect& r, const Look& look);
    void DrawText(std::string_view text, const Font& font, Color color, const Rect& r,
                  const TextFormat& format);
    void DrawImage(const Image& image, const Rect& r);

  private:
    static constexpr int kUnclipped = 1 << 24;
    Gdiplus::Graphics& g_;
    PixelBuffer* pixels_;
    Rect clip_;
};

Gdiplus::Color ToGdiColor(Color c);

}  // namespace pt
