// Finding a stored icon's bytes when it is first shown, and sharing one
// image among the keys whose bytes are equal.
#include "panel/stored_icon.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <string_view>

#include "launcher/icon_store.h"

namespace pt {

std::shared_ptr<EncodedImage> StoredIcons::ImageOf(uint32_t key) {
    const std::string_view bytes = store_ ? store_->Find(key) : std::string_view();
    if (bytes.empty())
        return nullptr;
    // Keys whose bytes are equal share one image, compared where the bytes
    // lie, not copied. The image reads them when it decodes: when a cell of
    // it is first painted, and again should its picture have been let go.
    // Any of its keys will do, as long as its bytes are still the ones
    // shared (a key's image may be replaced or dropped meanwhile); the store
    // keeps its images across a save, so they are found then too.
    const size_t hash = std::hash<std::string_view>{}(bytes);
    SharedIcon& shared = shared_[hash];
    std::shared_ptr<EncodedImage> image = shared.image.lock();
    std::shared_ptr<SharedKeys> keys = shared.keys.lock();
    if (image && keys && image->Bytes() == bytes) {
        keys->keys.push_back(key);
        return image;
    }
    keys = std::make_shared<SharedKeys>(SharedKeys{{key}, hash});
    // The table holds its images only weakly, so the image may hold it.
    image = EncodedImage::FromSource(
        [icons = shared_from_this(), keys]() -> std::string_view {
            for (uint32_t k : keys->keys) {
                const std::string_view found =
                    icons->store_ ? icons->store_->Find(k) : std::string_view();
                if (!found.empty() && std::hash<std::string_view>{}(found) == keys->hash)
                    return found;
            }
            return {};
        },
        fallback_);
    shared = SharedIcon{image, keys};
    if (shared_.size() >= pruneAt_) {
        for (auto it = shared_.begin(); it != shared_.end();)
            it = it->second.image.expired() ? shared_.erase(it) : std::next(it);
        pruneAt_ = std::max<size_t>(256, shared_.size() * 2);
    }
    return image;
}

const std::shared_ptr<EncodedImage>& StoredIconImage::Shared() const {
    if (!found_) {
        found_ = true;
        shared_ = icons_->ImageOf(key_);
    }
    return shared_;
}

const Image* StoredIconImage::Picture() const {
    // No bytes to be had (the file could not be read): the generic icon, as
    // for bytes that do not decode.
    const std::shared_ptr<EncodedImage>& shared = Shared();
    return shared ? static_cast<const Image*>(shared.get()) : icons_->Fallback().get();
}

std::shared_ptr<Image> StoredIconImage::StandsFor() const {
    const std::shared_ptr<EncodedImage>& shared = Shared();
    return shared ? std::shared_ptr<Image>(shared) : icons_->Fallback();
}

Size StoredIconImage::NaturalSize() const {
    const Image* picture = Picture();
    return picture ? picture->NaturalSize() : Size{};
}

void StoredIconImage::Draw(Gdiplus::Graphics& g, const Rect& box) const {
    if (const Image* picture = Picture())
        picture->Draw(g, box);
}

}  // namespace pt
