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
#include <vector>

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
    // A picture's pixels are our own memory with a GDI+ bitmap over them:
    // GDI+ renders into it once, and copies read the memory directly.
    struct Picture {
        std::vector<uint32_t> pixels;
        int width = 0, height = 0;
        std::unique_ptr<Gdiplus::Bitmap> bitmap;
    };
    struct Entry {
        Picture picture;
        std::weak_ptr<Image> image;  // an image's picture is kept only while it lives
        uint64_t used = 0;
    };
    Entry* Find(const std::string& key);
    Entry& Insert(const std::string& key, Picture picture);
    static bool NewPicture(int width, int height, Picture* picture);
    static void Blit(Canvas& canvas, Picture& picture, const Rect& box);

    size_t capacity_;
    uint64_t clock_ = 0;
    std::unordered_map<std::string, Entry> entries_;
};

}  // namespace pt
