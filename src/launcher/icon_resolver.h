// The road of an icon that is not in the icon store yet: its extraction runs
// on a worker thread (background_worker.h) and the PNG bytes come back on
// the UI thread through one callback, so no start, drop or refresh waits
// for the shell or for a network share. An extraction that finds nothing
// delivers the shell's generic icon with `fallback` set: the caller stores
// it under the item's key like any image, so the next start asks nothing.
//
// Network paths (UNC texts and mapped network drives) go to a worker of
// their own: a server that does not answer holds up only its own icons.
//
// Use, on the UI thread (the panel's grid does exactly this; a new cell of
// a drop goes the same way):
//
//   IconResolver resolver(DisplayScale(), [&](const IconResolved& done) {
//       if (store.RefCount(done.source) > 0) store.Put(done.source, done.png);
//       // ... show done.png in the cells whose source has key done.key
//   });
//   // OnItemAdded(c, g, i, item): the launcher data counted item.iconSource
//   if (store.Find(item.iconKey).empty())   // show a placeholder meanwhile
//       resolver.Request(item.iconKey, std::string(item.iconSource), kIconPriorityVisible);
//
// A key already asked for is not asked again until it is delivered, unless
// `again` is set (a target that has come back). Windows-only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pt {

class BackgroundWorker;

// Lower numbers are extracted first.
inline constexpr int kIconPriorityVisible = 0;  // the group on screen, a new drop
inline constexpr int kIconPriorityLater = 1;    // everything else

struct IconResolved {
    uint32_t key = 0;
    std::string source;  // as requested
    std::string png;     // never empty unless even the generic icon failed
    bool fallback = false;
};

class IconResolver {
  public:
    using Delivery = std::function<void(const IconResolved& done)>;

    IconResolver(float scale, Delivery deliver);
    ~IconResolver();
    IconResolver(const IconResolver&) = delete;
    IconResolver& operator=(const IconResolver&) = delete;

    // Asks for the image of an icon source (the item's icon, else its path;
    // plain, never enciphered) stored under `key`.
    void Request(uint32_t key, std::string source, int priority, bool again = false);
    // Asks again for the image of a target verification found, when what
    // the store holds for it is the generic icon kept while it was gone:
    // `storedIsGeneric` is asked with the generic icon's bytes. When nothing
    // has needed the generic icon yet, a worker makes it and the question
    // waits for it: the UI thread never extracts it.
    using StoredTest = std::function<bool(const std::string& generic)>;
    void RequestIfGeneric(uint32_t key, std::string source, StoredTest storedIsGeneric);
    // Moves the requests of these keys still waiting to the front.
    void Promote(const std::vector<uint32_t>& keys);
    // Requests not yet delivered.
    int Outstanding() const;

  private:
    BackgroundWorker& WorkerFor(std::string_view source);

    float scale_;
    Delivery deliver_;
    std::unordered_map<uint32_t, int> asked_;  // key -> requests on their way
    struct Recheck {
        uint32_t key;
        std::string source;
        StoredTest storedIsGeneric;
    };
    std::vector<Recheck> recheck_;  // found targets waiting for the generic icon
    bool genericAsked_ = false;
    // Declared last: destroyed first, so no reply runs on a half-gone resolver.
    std::unique_ptr<BackgroundWorker> local_;
    std::unique_ptr<BackgroundWorker> network_;
};

}  // namespace pt
