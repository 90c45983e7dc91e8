// Icon extraction off the UI thread; see icon_resolver.h.
#include "launcher/icon_resolver.h"

#include <windows.h>

#include <utility>

#include "base/win_handles.h"
#include "launcher/background_worker.h"
#include "launcher/icons.h"
#include "launcher/target.h"

namespace pt {
namespace {

// The shell's icon lookups load propsys.dll by its plain name the first
// time they run, and under Wine that load searches the exe's folder in
// spite of the process's restricted search path: a planted copy there
// would run. Mapped from the system folder first, the plain name binds to it.
void PinShellDependencies() {
    static const UniqueModule propsys(
        ::LoadLibraryExW(L"propsys.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

}  // namespace

IconResolver::IconResolver(float scale, Delivery deliver)
    : scale_(scale),
      deliver_(std::move(deliver)),
      local_(std::make_unique<BackgroundWorker>()),
      network_(std::make_unique<BackgroundWorker>()) {
    // At start, not before the first icon: other shell calls of the
    // program (target checks, the drop) may load the library too.
    PinShellDependencies();
    // Nothing is posted yet: a start whose icons are all stored makes no
    // worker thread at all. The generic icon is made on a worker when the
    // first extraction fails or a stored image is checked against it.
}

IconResolver::~IconResolver() {
    network_.reset();
    local_.reset();
}

BackgroundWorker& IconResolver::WorkerFor(std::string_view source) {
    return IsNetworkPath(source) ? *network_ : *local_;
}

void IconResolver::Request(uint32_t key, std::string source, int priority, bool again) {
    Ask(key, std::move(source), priority, again, std::nullopt);
}

void IconResolver::RequestIfGeneric(uint32_t key, std::string source, std::string stored) {
    Ask(key, std::move(source), kIconPriorityLater, true, std::move(stored));
}

void IconResolver::Ask(uint32_t key, std::string source, int priority, bool again,
                       std::optional<std::string> onlyIfStored) {
    if (source.empty())
        return;
    int& asked = asked_[key];
    if (asked > 0 && !again)
        return;
    ++asked;
    BackgroundWorker& worker = WorkerFor(source);
    const float scale = scale_;
    worker.Post(
        priority, key,
        [this, key, source = std::move(source), scale, onlyIfStored = std::move(onlyIfStored)]() {
            IconResolved done;
            done.key = key;
            done.source = source;
            // A stored image other than the generic icon is the target's own:
            // nothing to look for again.
            const bool wanted = !onlyIfStored || *onlyIfStored == FallbackIconPng(scale);
            if (wanted) {
                done.png = ExtractGridIcon(source, scale);
                if (done.png.empty()) {
                    done.png = FallbackIconPng(scale);
                    done.fallback = true;
                }
            }
            // Runs on the UI thread, and only while the workers (and so this
            // resolver) are alive.
            return BackgroundWorker::Reply([this, wanted, done = std::move(done)]() {
                auto found = asked_.find(done.key);
                if (found != asked_.end() && --found->second <= 0)
                    asked_.erase(found);
                if (wanted && deliver_)
                    deliver_(done);
            });
        });
}

void IconResolver::Promote(const std::vector<uint32_t>& keys) {
    if (keys.empty())
        return;
    std::unordered_map<uint32_t, bool> wanted;
    for (uint32_t key : keys)
        wanted.emplace(key, true);
    const auto pick = [&](uint64_t tag) { return wanted.count(static_cast<uint32_t>(tag)) > 0; };
    local_->Promote(pick, kIconPriorityVisible);
    network_->Promote(pick, kIconPriorityVisible);
}

int IconResolver::Outstanding() const {
    int total = 0;
    for (const auto& [key, count] : asked_)
        total += count;
    return total;
}

}  // namespace pt
