// Reference counting, lookup and the deferred save of the icon store.
#include "launcher/icon_store.h"

#include <utility>

namespace pt {
IconStore::IconStore(IconKeyFunction keyOf, DocumentStorage* storage)
    : keyOf_(std::move(keyOf)), storage_(storage) {}

IconStore::~IconStore() {
    if (savePending_)
        StopTimer();
}

void IconStore::StopTimer() {
    if (storage_)
        storage_->CancelTimer();
}

void IconStore::Load() {
    images_.clear();
    added_.clear();
    references_.clear();
    file_.reset();
    if (!storage_ || !(file_ = storage_->Open()))
        return;
    if (std::optional<IconImageViews> images = ParseIconCacheViews(file_->Bytes()))
        images_ = std::move(*images);
}

uint32_t IconStore::KeyOf(std::string_view source) {
    auto found = keys_.find(source);
    if (found != keys_.end())
        return found->second;
    uint32_t key = keyOf_(source);
    keys_.emplace(std::string(source), key);
    return key;
}

void IconStore::AddRef(std::string_view source) {
    if (source.empty())
        return;
    ++references_[KeyOf(source)];
}

std::string_view IconStore::Get(std::string_view source) {
    if (source.empty())
        return {};
    auto found = images_.find(KeyOf(source));
    return found == images_.end() ? std::string_view() : std::string_view(found->second);
}

std::string_view IconStore::Find(uint32_t key) const {
    auto found = images_.find(key);
    return found == images_.end() ? std::string_view() : std::string_view(found->second);
}

void IconStore::Put(std::string_view source, std::string_view png) {
    if (source.empty() || png.empty())
        return;
    const uint32_t key = KeyOf(source);
    auto found = images_.find(key);
    if (found != images_.end() && found->second == png)
        return;
    // Assigned before the view is replaced: png may be the old image itself.
    std::string bytes(png);
    std::string& slot = added_[key];
    slot = std::move(bytes);
    images_[key] = slot;
    ScheduleSave();
}

void IconStore::Release(std::string_view source) {
    if (source.empty())
        return;
    uint32_t key = KeyOf(source);
    auto count = references_.find(key);
    if (images_.find(key) == images_.end()) {
        // No image (the shell had none, the fallback is never stored): only the count goes.
        if (count != references_.end() && --count->second <= 0)
            references_.erase(count);
        return;
    }
    // A release without a matching AddRef counts as the last one rather than
    // leaving an image that nothing could ever remove.
    if (count == references_.end() || --count->second <= 0) {
        if (count != references_.end())
            references_.erase(count);
        images_.erase(key);
        added_.erase(key);
        ScheduleSave();
    }
}

bool IconStore::Save() {
    if (savePending_) {
        StopTimer();
        savePending_ = false;
    }
    std::optional<std::string> bytes = SerializeIconCache(images_);
    // The images move into the new bytes before the old ones go: a mapped
    // file cannot be replaced while it is mapped.
    auto next = bytes ? HoldBytes(std::move(*bytes)) : nullptr;
    std::optional<IconImageViews> images;
    if (next)
        images = ParseIconCacheViews(next->Bytes());
    if (!images) {
        savePending_ = true;  // too large for the format; a later save tries again
        return false;
    }
    images_ = std::move(*images);
    added_.clear();
    file_ = std::move(next);
    uint32_t error = 0;
    if (storage_ && storage_->Write(file_->Bytes(), &error))
        return true;
    savePending_ = true;  // the next change or the flush at exit tries again
    return false;
}

void IconStore::ScheduleSave() {
    savePending_ = true;
    if (storage_)
        storage_->ArmTimer([this] { Save(); });
}

bool IconStore::FlushPendingSave() {
    return savePending_ ? Save() : true;
}

int IconStore::RefCount(std::string_view source) {
    auto found = references_.find(KeyOf(source));
    return found == references_.end() ? 0 : found->second;
}

}  // namespace pt
