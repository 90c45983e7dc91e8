// Pictures of images and single-line texts rendered once at the size they
// are drawn at, then copied 1:1 on every later paint. GDI+ renders an SVG
// icon or lays out a string far more slowly than it copies a bitmap, and a
// list repaints the same cells on every hover change and scroll step. The
// least recently used pictures go when the cache is full.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "toolkit/graphics.h"

namespace pt {

class RenderCache {
  public:
    explicit RenderCache(size_t capacity = 512) : capacity_(capacity) {}

    void DrawImage(Canvas& canvas, const std::shared_ptr<Image>& image, const Rect& box);
    void DrawText(Canvas& canvas, std::string_view text, const Font& font, Color color,
                  const Rect& box, const TextFormat& format);
    void Clear() { entries_.clear(); }
    size_t Count() const { return entries_.size(); }

  private:
    struct Entry {
        std::unique_ptr<Gdiplus::Bitmap> bitmap;
        std::weak_ptr<Image> image;  // an image's picture is kept only while it lives
        uint64_t used = 0;
    };
    Entry* Find(const std::string& key);
    Entry& Insert(const std::string& key, std::unique_ptr<Gdiplus::Bitmap> bitmap);
    static std::unique_ptr<Gdiplus::Bitmap> NewPicture(int width, int height);
    static void Blit(Canvas& canvas, Gdiplus::Bitmap& bitmap, const Rect& box);

    size_t capacity_;
    uint64_t clock_ = 0;
    std::unordered_map<std::string, Entry> entries_;
};

}  // namespace pt
