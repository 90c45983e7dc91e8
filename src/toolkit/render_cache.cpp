// Rendering images and texts once into bitmaps, and copying them.
#include "toolkit/render_cache.h"

#include "toolkit/graphics_detail.h"

namespace pt {
namespace {

// Larger pictures are drawn directly: caching them would cost more memory
// than the drawing costs time.
constexpr int kMaxSide = 1024;

}  // namespace

RenderCache::Entry* RenderCache::Find(const std::string& key) {
    auto it = entries_.find(key);
    if (it == entries_.end())
        return nullptr;
    it->second.used = ++clock_;
    return &it->second;
}

RenderCache::Entry& RenderCache::Insert(const std::string& key, Picture picture) {
    if (entries_.size() >= capacity_ && !entries_.count(key)) {
        auto oldest = entries_.begin();
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->second.used < oldest->second.used)
                oldest = it;
        }
        entries_.erase(oldest);
    }
    Entry& e = entries_[key];
    e.picture = std::move(picture);
    e.used = ++clock_;
    return e;
}

bool RenderCache::NewPicture(int width, int height, Picture* picture) {
    picture->pixels.assign(static_cast<size_t>(width) * height, 0);
    picture->width = width;
    picture->height = height;
    picture->bitmap =
        std::make_unique<Gdiplus::Bitmap>(width, height, width * 4, PixelFormat32bppPARGB,
                                          reinterpret_cast<BYTE*>(picture->pixels.data()));
    return picture->bitmap->GetLastStatus() == Gdiplus::Ok;
}

void RenderCache::Blit(Canvas& canvas, Picture& picture, const Rect& box) {
    if (canvas.BlendPixels(picture.pixels.data(), picture.width, picture.height, box.left, box.top))
        return;
    if (!picture.bitmap) {
        // Drawn by GDI: wrapped for GDI+ only when a surface without its
        // own pixels asks for it.
        picture.bitmap = std::make_unique<Gdiplus::Bitmap>(
            picture.width, picture.height, picture.width * 4, PixelFormat32bppPARGB,
            reinterpret_cast<BYTE*>(picture.pixels.data()));
    }
    Gdiplus::Graphics& g = canvas.Graphics();
    const auto mode = g.GetInterpolationMode();
    g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    g.DrawImage(picture.bitmap.get(), Gdiplus::Rect(box.left, box.top, box.Width(), box.Height()),
                0, 0, box.Width(), box.Height(), Gdiplus::UnitPixel);
    g.SetInterpolationMode(mode);
}

void RenderCache::DrawImage(Canvas& canvas, const std::shared_ptr<Image>& shown, const Rect& box) {
    if (!shown || box.IsEmpty())
        return;
    // Cells standing for one shared image share its picture too.
    std::shared_ptr<Image> standsFor = shown->StandsFor();
    const std::shared_ptr<Image>& image = standsFor ? standsFor : shown;
    if (box.Width() > kMaxSide || box.Height() > kMaxSide)
        return canvas.DrawImage(*image, box);
    const std::string key = "i" + std::to_string(reinterpret_cast<uintptr_t>(image.get())) + ":" +
                            std::to_string(box.Width()) + "x" + std::to_string(box.Height());
    Entry* e = Find(key);
    // The same address may belong to a new image by now.
    if (e && e->image.lock() != image)
        e = nullptr;
    if (!e) {
        Picture picture;
        if (!NewPicture(box.Width(), box.Height(), &picture))
            return canvas.DrawImage(*image, box);
        {
            Gdiplus::Graphics g(picture.bitmap.get());
            g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
            image->Draw(g, Rect{0, 0, box.Width(), box.Height()});
            g.Flush(Gdiplus::FlushIntentionSync);
        }
        e = &Insert(key, std::move(picture));
        e->image = image;
    }
    Blit(canvas, e->picture, box);
}

void RenderCache::DrawText(Canvas& canvas, std::string_view text, const Font& font, Color color,
                           const Rect& box, const TextFormat& format) {
    if (text.empty() || box.IsEmpty())
        return;
    if (box.Width() > kMaxSide || box.Height() > kMaxSide)
        return canvas.DrawText(text, font, color, box, format);
    std::string key =
        "t" + std::to_string(reinterpret_cast<uintptr_t>(&font)) + ":" + font.Face() + ":" +
        std::to_string(font.Points()) + ":" + std::to_string(font.Style()) + ":" +
        std::to_string(static_cast<uint32_t>(color)) + ":" + std::to_string(box.Width()) + "x" +
        std::to_string(box.Height()) + ":" + std::to_string(static_cast<int>(format.horizontal)) +
        std::to_string(static_cast<int>(format.vertical)) + (format.wrap ? "w" : "") + ":";
    key.append(text);
    Entry* e = Find(key);
    if (!e) {
        Picture picture;
        if (graphics_detail::RasterizeLine(text, font, color, Size{box.Width(), box.Height()},
                                           format, &picture.pixels)) {
            picture.width = box.Width();
            picture.height = box.Height();
            e = &Insert(key, std::move(picture));
            return Blit(canvas, e->picture, box);
        }
        if (!NewPicture(box.Width(), box.Height(), &picture))
            return canvas.DrawText(text, font, color, box, format);
        {
            Gdiplus::Graphics g(picture.bitmap.get());
            g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
            g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
            Canvas c(g);
            c.DrawText(text, font, color, Rect{0, 0, box.Width(), box.Height()}, format);
            g.Flush(Gdiplus::FlushIntentionSync);
        }
        e = &Insert(key, std::move(picture));
    }
    Blit(canvas, e->picture, box);
}

}  // namespace pt
