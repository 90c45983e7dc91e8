// The grid image of an icon in the icon store. A grid makes one for every
// cached entry at start, so it holds nothing but its key: it asks the store
// for the bytes when it is first measured or drawn, and then shows the image
// shared by every key whose bytes are the same (one shell icon for every
// document of a type), which decodes them when painted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "toolkit/graphics.h"

namespace pt {

class IconStore;

// The store as the images find it, and the images shared by equal bytes.
class StoredIcons : public std::enable_shared_from_this<StoredIcons> {
  public:
    StoredIcons(IconStore* store, std::shared_ptr<Image> fallback)
        : store_(store), fallback_(std::move(fallback)) {}
    // The view goes: images that outlive it read nothing.
    void Detach() { store_ = nullptr; }
    const std::shared_ptr<Image>& Fallback() const { return fallback_; }
    // The image every key with these bytes shares; null when the store has
    // no bytes for the key.
    std::shared_ptr<EncodedImage> ImageOf(uint32_t key);

  private:
    struct SharedKeys {
        std::vector<uint32_t> keys;
        size_t hash = 0;
    };
    struct SharedIcon {
        std::weak_ptr<EncodedImage> image;
        std::weak_ptr<SharedKeys> keys;
    };
    IconStore* store_;
    std::shared_ptr<Image> fallback_;                // drawn for bytes that do not decode
    std::unordered_map<size_t, SharedIcon> shared_;  // by a hash of the bytes
    size_t pruneAt_ = 256;
};

class StoredIconImage final : public Image {
  public:
    StoredIconImage(std::shared_ptr<StoredIcons> icons, uint32_t key)
        : icons_(std::move(icons)), key_(key) {}
    Size NaturalSize() const override;
    void Draw(Gdiplus::Graphics& g, const Rect& box) const override;
    // The shared image (or the generic icon when there are no bytes to be
    // had), so that every cell of it draws from one rendered picture.
    std::shared_ptr<Image> StandsFor() const override;
    // The shared image, found now if it was not yet (which decodes nothing).
    const std::shared_ptr<EncodedImage>& Shared() const;

  private:
    const Image* Picture() const;

    std::shared_ptr<StoredIcons> icons_;
    uint32_t key_;
    mutable bool found_ = false;
    mutable std::shared_ptr<EncodedImage> shared_;
};

}  // namespace pt
