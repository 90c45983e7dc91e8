// Fonts: loading by face or from memory, the default font, and measuring
// text on a shared surface at the screen's DPI.
#include <algorithm>
#include <cmath>

#include "base/text.h"
#include "base/win_handles.h"
#include "toolkit/graphics.h"
#include "toolkit/graphics_detail.h"

namespace pt {
namespace graphics_detail {

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

}  // namespace graphics_detail

using namespace graphics_detail;

// ------------------------------------------------------------------ fonts

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
    // Measured the way it will be drawn: a single line from GDI's glyphs.
    if (!text.empty() && !(wrap && maxWidth > 0)) {
        Size line;
        if (MeasureLine(text, font, &line)) {
            Size size{line.width + 1, std::max(line.height, font.LineHeight())};
            if (maxWidth > 0)
                size.width = std::min(size.width, maxWidth);
            return size;
        }
    }
    if (!s.measure) {
        s.measureBitmap = std::make_unique<Gdiplus::Bitmap>(1, 1, PixelFormat32bppPARGB);
        s.measure = std::make_unique<Gdiplus::Graphics>(s.measureBitmap.get());
        s.measure->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    }
    if (text.empty())
        return Size{0, font.LineHeight()};
    const std::wstring w = ToWide(text);
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

}  // namespace pt
