// The icon store: the PNG image of every icon source in use, kept between runs
// in data\Cache, and how many grid entries use each one (the launcher data
// counts its items, launcher_data.h). An image whose entries are all gone
// leaves the cache; every change is written by one deferred save. The file
// and its timer come in through DocumentStorage, as for the other stores, so
// the store's rules are tested without a system. The store keeps the file
// open and reads an image's bytes only when they are first asked for: a start
// shows a few dozen of thousands of cached icons.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/save_timer.h"
#include "launcher/icon_cache.h"

namespace pt {

// The icon key of an icon source (IconKey of its default icon source at the
// current scale).
using IconKeyFunction = std::function<uint32_t(std::string_view source)>;

class IconStore {
  public:
    // The deferred save runs on the storage's timer.
    IconStore(IconKeyFunction keyOf, DocumentStorage* storage);
    ~IconStore();
    IconStore(const IconStore&) = delete;
    IconStore& operator=(const IconStore&) = delete;

    // Opens the cache file and reads where its images lie (a start with
    // thousands of icons must not copy each one); anything missing, foreign
    // or damaged gives an empty cache.
    void Load();

    // One more grid entry uses the source; an empty source is ignored.
    void AddRef(std::string_view source);
    // The cached PNG bytes, empty when there are none (or they could not be
    // read from the file). Valid until the next change or save.
    std::string_view Get(std::string_view source);
    // The same by icon key.
    std::string_view Find(uint32_t key);
    // Whether the key's image is a copy of `png`; the bytes are read only
    // when the lengths agree.
    bool Holds(uint32_t key, std::string_view png);
    // Whether the key has an image, without reading it.
    bool Has(uint32_t key) const { return images_.count(key) != 0; }
    // Stores the image and schedules a save, unless these bytes are already there.
    void Put(std::string_view source, std::string_view png);
    // One grid entry less; the last one drops the image and schedules a save.
    void Release(std::string_view source);

    // Writes the file now; false when it could not be written (the images
    // stay, and a later save writes them). Every image is read into memory
    // first and stays there: the file is let go of before it is replaced,
    // and the images are found in the store as before.
    bool Save();
    void ScheduleSave();
    // Saves only when a save is pending; true when nothing was pending or it worked.
    bool FlushPendingSave();
    bool SavePending() const { return savePending_; }

    uint32_t KeyOf(std::string_view source);
    size_t ImageCount() const { return images_.size(); }
    int RefCount(std::string_view source);
    // How many bytes of images the store holds in memory (read or put).
    size_t BytesHeld() const;

  private:
    // An image: where it lies in file_, until its bytes are read or put.
    struct Image {
        IconCacheEntry inFile;
        bool held = false;
        std::string bytes;
    };

    void StopTimer();
    // Reads the image's bytes from the file if they are not held yet; false
    // when they cannot be read.
    bool Hold(Image& image);

    IconKeyFunction keyOf_;
    DocumentStorage* storage_;
    std::unique_ptr<DocumentReader> file_;  // the cache file as opened
    std::unordered_map<uint32_t, Image> images_;
    std::unordered_map<uint32_t, int> references_;
    // Keys are remembered per source: computing one may ask the file system,
    // and an entry's AddRef and Release must meet the same key even if the
    // target changed on disk in between.
    struct SourceHash {
        using is_transparent = void;
        size_t operator()(std::string_view source) const {
            return std::hash<std::string_view>{}(source);
        }
    };
    std::unordered_map<std::string, uint32_t, SourceHash, std::equal_to<>> keys_;
    bool savePending_ = false;
};

}  // namespace pt
