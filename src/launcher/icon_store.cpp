// Reference counting, lookup and the deferred save of the icon store.
#include "launcher/icon_store.h"

#include <iterator>
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
    references_.clear();
    file_.reset();
    if (!storage_ || !(file_ = storage_->Open()))
        return;
    std::optional<IconCacheIndex> index = ParseIconCacheIndex(
        file_->Size(),
        [this](uint64_t at, char* out, size_t length) { return file_->ReadAt(at, out, length); });
    if (!index) {
        file_.reset();
        return;
    }
    images_.reserve(index->size());
    for (const auto& [key, entry] : *index)
        images_.emplace(key, Image{entry, false, {}});
}

bool IconStore::Hold(Image& image) {
    if (image.held)
        return true;
    if (!file_)
        return false;
    std::string bytes(image.inFile.length, '\0');
    if (!file_->ReadAt(image.inFile.at, bytes.data(), bytes.size()))
        return false;
    image.bytes = std::move(bytes);
    image.held = true;
    return true;
}

size_t IconStore::BytesHeld() const {
    size_t total = 0;
    for (const auto& entry : images_)
        total += entry.second.held ? entry.second.bytes.size() : 0;
    return total;
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
    return Find(KeyOf(source));
}

std::string_view IconStore::Find(uint32_t key) {
    auto found = images_.find(key);
    if (found == images_.end() || !Hold(found->second))
        return {};
    return found->second.bytes;
}

bool IconStore::Holds(uint32_t key, std::string_view png) {
    auto found = images_.find(key);
    if (found == images_.end())
        return false;
    Image& image = found->second;
    if (!image.held && image.inFile.length != png.size())
        return false;
    return Hold(image) && image.bytes == png;
}

void IconStore::Put(std::string_view source, std::string_view png) {
    if (source.empty() || png.empty())
        return;
    const uint32_t key = KeyOf(source);
    if (Holds(key, png))
        return;
    // Copied before the image is replaced: png may be the old image itself.
    std::string bytes(png);
    Image& image = images_[key];
    image.bytes = std::move(bytes);
    image.held = true;
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
        StopTimer();
        savePending_ = false;
    }
    // Every image into memory before the file goes: a file that is open may
    // not be replaceable. One the file no longer gives is left out; its
    // cells extract it again.
    for (auto it = images_.begin(); it != images_.end();)
        it = Hold(it->second) ? std::next(it) : images_.erase(it);
    IconImageViews views;
    views.reserve(images_.size());
    for (const auto& [key, image] : images_)
        views.emplace(key, image.bytes);
    std::optional<std::string> bytes = SerializeIconCache(views);
    if (!bytes) {
        savePending_ = true;  // too large for the format; a later save tries again
        return false;
    }
    file_.reset();
    uint32_t error = 0;
    if (!storage_ || !storage_->Write(*bytes, &error)) {
        savePending_ = true;  // the next change or the flush at exit tries again
        return false;
    }
    // The images stay in memory rather than be read from the new file: a
    // file held open cannot be replaced, and another store of the same file
    // (a test's, a tool's) must still be able to save.
    return true;
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
