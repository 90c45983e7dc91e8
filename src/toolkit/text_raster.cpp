// Single lines of text laid out from GDI's glyphs. GDI+ takes about 0.13 ms
// to lay out and draw one short name under Wine (7 ms for a full grid at
// the first paint). Here GDI gives each glyph's grey coverage once
// (GetGlyphOutlineW, kept per font) and the advances of the line
// (GetTextExtentExPointW); the toolkit places the glyphs itself and turns
// their coverage into premultiplied pixels of the text's colour. GDI's
// DrawTextW would be as quick but writes no alpha, and its own smoothing
// weighs edges differently for dark and light text. Wrapped lines, scripts
// that need shaping, characters the face lacks, underlined or struck-out
// faces and memory fonts (which GDI cannot see) stay with GDI+.
#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <vector>

#include "base/text.h"
#include "base/win_handles.h"
#include "toolkit/graphics.h"
#include "toolkit/graphics_detail.h"

namespace pt {
namespace graphics_detail {

struct GdiGlyph {
    int left = 0;  // from the pen position
    int top = 0;   // from the baseline, upwards
    int width = 0;
    int height = 0;
    std::vector<uint8_t> grey;  // 0..64, `width` a row
};

struct GdiFace {
    UniqueFont font;
    TEXTMETRICW metrics{};
    int ellipsisWidth = 0;
    std::unordered_map<wchar_t, GdiGlyph> glyphs;
};

namespace {

// Lines beyond this go to GDI+: nothing the toolkit shows is that big.
constexpr int kMaxLineWidth = 4096;
constexpr int kMaxLineHeight = 512;
constexpr wchar_t kEllipsis = 0x2026;
constexpr size_t kMaxGlyphs = 4096;

// GetGlyphOutlineW and the extent calls need a DC; one per thread.
HDC MeasureDc() {
    thread_local UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    return dc.Get();
}

// A font selected for one call: a font still selected into a DC cannot be
// deleted, so it leaves again at the end.
class SelectedFont {
  public:
    SelectedFont(HDC dc, HFONT font) : dc_(dc), old_(dc ? ::SelectObject(dc, font) : nullptr) {}
    ~SelectedFont() {
        if (*this)
            ::SelectObject(dc_, old_);
    }
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;
    explicit operator bool() const { return old_ != nullptr && old_ != HGDI_ERROR; }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// Characters that are drawn one glyph each, left to right, with no
// shaping: Latin, Greek, Cyrillic, Armenian, punctuation and symbols, CJK,
// kana, Hangul syllables and full-width forms. Combining marks, scripts that
// join or reorder their letters, direction marks, tabs and line breaks are
// left to GDI+, as are surrogate pairs.
bool PlainCharacter(wchar_t c) {
    if (c < 0x20)
        return false;
    if (c < 0x0300)
        return true;
    if (c < 0x0370)
        return false;  // combining diacritics
    if (c < 0x0590)
        return true;
    if (c < 0x1E00)
        return false;  // Hebrew to Mongolian, Hangul jamo
    if (c < 0x2000)
        return true;
    if ((c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
        (c >= 0x2060 && c <= 0x206F) || (c >= 0x20D0 && c <= 0x20FF))
        return false;
    if (c < 0x2C00)
        return true;
    if (c < 0x2E80)
        return false;
    if ((c >= 0x302A && c <= 0x302F) || c == 0x3099 || c == 0x309A)
        return false;
    if (c < 0xD800)
        return true;
    if (c < 0xF900)
        return false;  // surrogates, private use
    if (c < 0xFB00)
        return true;
    return c >= 0xFF00 && c <= 0xFFEF;
}

bool Drawable(const std::wstring& w) {
    return std::all_of(w.begin(), w.end(), PlainCharacter);
}

// GDI's glyphs come from the one face: a character the face lacks would
// show as a box where GDI+ may find it elsewhere.
bool FaceHasEveryGlyph(HDC dc, const std::wstring& w) {
    std::vector<WORD> indices(w.size());
    if (::GetGlyphIndicesW(dc, w.c_str(), static_cast<int>(w.size()), indices.data(),
                           GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
        return false;
    return std::find(indices.begin(), indices.end(), static_cast<WORD>(0xFFFF)) == indices.end();
}

const GdiGlyph& GlyphOf(HDC dc, GdiFace& face, wchar_t c) {
    auto found = face.glyphs.find(c);
    if (found != face.glyphs.end())
        return found->second;
    // A face keeps what it has drawn; a text of very many different
    // characters starts it afresh rather than let it grow without end.
    if (face.glyphs.size() >= kMaxGlyphs)
        face.glyphs.clear();
    GdiGlyph& glyph = face.glyphs[c];
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GLYPHMETRICS gm{};
    const DWORD size = ::GetGlyphOutlineW(dc, c, GGO_GRAY8_BITMAP, &gm, 0, nullptr, &identity);
    // A blank glyph (a space) has no bitmap: nothing to draw.
    if (size == GDI_ERROR || size == 0 || gm.gmBlackBoxX == 0 || gm.gmBlackBoxY == 0)
        return glyph;
    std::vector<uint8_t> rows(size);
    if (::GetGlyphOutlineW(dc, c, GGO_GRAY8_BITMAP, &gm, size, rows.data(), &identity) == GDI_ERROR)
        return glyph;
    // Rows are padded to whole DWORDs.
    const int pitch = static_cast<int>((gm.gmBlackBoxX + 3) & ~3u);
    const int width = static_cast<int>(gm.gmBlackBoxX);
    const int height = static_cast<int>(gm.gmBlackBoxY);
    if (static_cast<size_t>(pitch) * height > rows.size())
        return glyph;
    glyph.grey.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        std::copy_n(rows.begin() + static_cast<ptrdiff_t>(y) * pitch, width,
                    glyph.grey.begin() + static_cast<ptrdiff_t>(y) * width);
    }
    glyph.left = gm.gmptGlyphOrigin.x;
    glyph.top = gm.gmptGlyphOrigin.y;
    glyph.width = width;
    glyph.height = height;
    return glyph;
}

// The pen position of every character, and the width of the whole line.
bool Advances(HDC dc, const std::wstring& w, std::vector<int>* ends, int* width) {
    ends->assign(w.size(), 0);
    SIZE extent{};
    if (w.empty()) {
        *width = 0;
        return true;
    }
    if (!::GetTextExtentExPointW(dc, w.c_str(), static_cast<int>(w.size()), 0, nullptr,
                                 ends->data(), &extent))
        return false;
    *width = extent.cx;
    return true;
}

// A line GDI can lay out, with its face selected for as long as it lives
// (the glyphs are fetched through the same DC).
struct LaidOutLine {
    GdiFace* face = nullptr;
    HDC dc = nullptr;
    std::wstring text;
    std::vector<int> ends;  // the pen position after each character
    int width = 0;
    std::optional<SelectedFont> selected;

    bool Lay(std::string_view utf8, const Font& font) {
        face = font.GdiText();
        if (!face)
            return false;
        text = ToWide(utf8);
        if (!Drawable(text))
            return false;
        dc = MeasureDc();
        selected.emplace(dc, face->font.Get());
        return *selected && FaceHasEveryGlyph(dc, text) && Advances(dc, text, &ends, &width);
    }
};

}  // namespace

bool RasterizeLine(std::string_view text, const Font& font, Color color, Size box,
                   const TextFormat& format, std::vector<uint32_t>* out) {
    if (format.wrap || box.width <= 0 || box.height <= 0 || box.width > kMaxLineWidth ||
        box.height > kMaxLineHeight)
        return false;
    LaidOutLine line;
    if (!line.Lay(text, font))
        return false;
    GdiFace* face = line.face;
    const HDC dc = line.dc;
    std::wstring& w = line.text;
    std::vector<int>& ends = line.ends;
    int& lineWidth = line.width;
    if (lineWidth > box.width) {
        // Cut at the last character that leaves room for the "…".
        size_t keep = 0;
        while (keep < ends.size() && ends[keep] + face->ellipsisWidth <= box.width)
            ++keep;
        w.resize(keep);
        w += kEllipsis;
        if (!Advances(dc, w, &ends, &lineWidth))
            return false;
    }
    const int x0 = format.horizontal == TextAlign::kCenter ? (box.width - lineWidth) / 2
                   : format.horizontal == TextAlign::kEnd  ? box.width - lineWidth
                                                           : 0;
    const int lineHeight = static_cast<int>(face->metrics.tmHeight);
    const int top = format.vertical == TextAlign::kCenter ? (box.height - lineHeight) / 2
                    : format.vertical == TextAlign::kEnd  ? box.height - lineHeight
                                                          : 0;
    const int baseline = top + static_cast<int>(face->metrics.tmAscent);

    // Glyphs that touch (italics, tight pairs) add up, as the coverage of
    // one line of text does.
    std::vector<uint8_t> cover(static_cast<size_t>(box.width) * box.height, 0);
    for (size_t i = 0; i < w.size(); ++i) {
        const GdiGlyph& glyph = GlyphOf(dc, *face, w[i]);
        if (glyph.grey.empty())
            continue;
        const int gx = x0 + (i == 0 ? 0 : ends[i - 1]) + glyph.left;
        const int gy = baseline - glyph.top;
        for (int y = std::max(0, -gy); y < glyph.height && gy + y < box.height; ++y) {
            const uint8_t* from = glyph.grey.data() + static_cast<size_t>(y) * glyph.width;
            uint8_t* to = cover.data() + static_cast<size_t>(gy + y) * box.width;
            for (int x = std::max(0, -gx); x < glyph.width && gx + x < box.width; ++x)
                to[gx + x] = static_cast<uint8_t>(std::min(64, to[gx + x] + from[x]));
        }
    }
    // Coverage 0..64 to the pixel it makes.
    const uint32_t alpha = static_cast<uint32_t>(ColorAlpha(color));
    uint32_t byGrey[65];
    for (uint32_t g = 0; g <= 64; ++g) {
        const uint32_t a = (g * alpha + 32) / 64;
        const auto channel = [a](int c) { return (static_cast<uint32_t>(c) * a + 127) / 255; };
        byGrey[g] = (a << 24) | (channel(ColorRed(color)) << 16) |
                    (channel(ColorGreen(color)) << 8) | channel(ColorBlue(color));
    }
    out->resize(cover.size());
    std::transform(cover.begin(), cover.end(), out->begin(),
                   [&byGrey](uint8_t g) { return byGrey[g]; });
    return true;
}

bool MeasureLine(std::string_view text, const Font& font, Size* size) {
    LaidOutLine line;
    if (!line.Lay(text, font))
        return false;
    size->width = line.width;
    size->height = static_cast<int>(line.face->metrics.tmHeight);
    return true;
}

}  // namespace graphics_detail

Font::Font() = default;
Font::~Font() = default;

graphics_detail::GdiFace* Font::GdiText() const {
    if (gdiTried_)
        return gdi_.get();
    gdiTried_ = true;
    // A memory font lives only in GDI+'s private collection, and the generic
    // stand-in has no face GDI would resolve the same way. GDI's glyphs carry
    // no underline or strike-out.
    if (collection_ || face_ == "sans-serif" || (style_ & (kFontUnderline | kFontStrikeout)))
        return nullptr;
    const std::wstring faceName = ToWide(face_);
    if (faceName.empty() || faceName.size() >= LF_FACESIZE)
        return nullptr;
    LOGFONTW lf{};
    // The same em size as the GDI+ font, which is given in pixels.
    lf.lfHeight = -static_cast<LONG>(std::lround(points_ * graphics_detail::ScreenDpiY() / 72.0f));
    // The style GDI+ could make: a face without a bold form was made regular.
    const int made = font_ ? font_->GetStyle() : style_;
    lf.lfWeight = (made & kFontBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (made & kFontItalic) ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    lf.lfQuality = ANTIALIASED_QUALITY;
    std::copy(faceName.begin(), faceName.end(), lf.lfFaceName);
    auto face = std::make_unique<graphics_detail::GdiFace>();
    face->font.Reset(::CreateFontIndirectW(&lf));
    const HDC dc = graphics_detail::MeasureDc();
    if (!face->font || !dc)
        return nullptr;
    {
        graphics_detail::SelectedFont selected(dc, face->font.Get());
        SIZE ellipsis{};
        const std::wstring e(1, graphics_detail::kEllipsis);
        if (!selected || !::GetTextMetricsW(dc, &face->metrics) ||
            !graphics_detail::FaceHasEveryGlyph(dc, e) ||
            !::GetTextExtentPoint32W(dc, e.c_str(), 1, &ellipsis))
            return nullptr;
        face->ellipsisWidth = ellipsis.cx;
    }
    gdi_ = std::move(face);
    return gdi_.get();
}

}  // namespace pt
