// Reference counting, lookup and the deferred save of the icon store.
#include "launcher/icon_store.h"

#include <utility>

namespace pt {

IconStore::IconStore(IconKeyFunction keyOf, IconCacheStorage* storage, SaveTimer* timer)
    : keyOf_(std::move(keyOf)), storage_(storage), timer_(timer) {}

IconStore::~IconStore() {
    if (savePending_ && timer_)
        timer_->Stop();
}

void IconStore::Load() {
    images_.clear();
    references_.clear();
    std::string bytes;
    if (!storage_ || !storage_->Read(&bytes))
        return;
    if (std::optional<IconImages> images = ParseIconCache(bytes))
        images_ = std::move(*images);
}

uint32_t IconStore::KeyOf(std::string_view source) {
    std::string text(source);
    auto found = keys_.find(text);
    if (found != keys_.end())
        return found->second;
    uint32_t key = keyOf_(source);
    keys_.emplace(std::move(text), key);
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

void IconStore::Put(std::string_view source, std::string_view png) {
    if (source.empty() || png.empty())
        return;
    std::string& slot = images_[KeyOf(source)];
    if (slot == png)
        return;
    slot.assign(png);
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
        ScheduleSave();
    }
}

bool IconStore::Save() {
    if (savePending_) {
        if (timer_)
            timer_->Stop();
        savePending_ = false;
    }
    std::optional<std::string> bytes = SerializeIconCache(images_);
    bool ok = bytes && storage_ && storage_->Write(*bytes);
    if (!ok)
        savePending_ = true;  // the next change or the flush at exit tries again
    return ok;
}

void IconStore::ScheduleSave() {
    savePending_ = true;
    if (!timer_)
        return;
    timer_->Stop();
    timer_->Start([this] { Save(); });
}

bool IconStore::FlushPendingSave() {
    return savePending_ ? Save() : true;
}

int IconStore::RefCount(std::string_view source) {
    auto found = references_.find(KeyOf(source));
    return found == references_.end() ? 0 : found->second;
}

}  // namespace pt
