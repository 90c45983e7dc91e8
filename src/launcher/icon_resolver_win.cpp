// Icon extraction off the UI thread; see icon_resolver.h.
#include "launcher/icon_resolver.h"

#include <windows.h>

#include <algorithm>
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

// Local extraction keeps a processor busy (the shell decodes and scales
// each icon): two threads where there are two processors. They run below
// the UI thread's priority, so input and painting still come first.
int LocalExtractionThreads() {
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return std::clamp(static_cast<int>(info.dwNumberOfProcessors), 1, 2);
}

}  // namespace

IconResolver::IconResolver(float scale, Delivery deliver)
    : scale_(scale),
      deliver_(std::move(deliver)),
      local_(std::make_unique<BackgroundWorker>(LocalExtractionThreads())),
      network_(std::make_unique<BackgroundWorker>()) {
    // At start, not before the first icon: other shell calls of the
    // program (target checks, the drop) may load the library too.
    PinShellDependencies();
    // Nothing is posted yet: a start whose icons are all stored makes no
    // worker thread before it has painted. The generic icon is made on a
    // worker when the first extraction fails or a found target's stored
    // image must be compared with it.
}

IconResolver::~IconResolver() {
    network_.reset();
    local_.reset();
}

BackgroundWorker& IconResolver::WorkerFor(std::string_view source) {
    return IsNetworkPath(source) ? *network_ : *local_;
}

void IconResolver::RequestIfGeneric(uint32_t key, std::string source, StoredTest storedIsGeneric) {
    if (source.empty() || !storedIsGeneric)
        return;
    if (std::optional<std::string> generic = MadeFallbackIconPng(scale_)) {
        if (storedIsGeneric(*generic))
            Request(key, std::move(source), kIconPriorityLater, true);
        return;
    }
    recheck_.push_back(Recheck{key, std::move(source), std::move(storedIsGeneric)});
    if (genericAsked_)
        return;
    genericAsked_ = true;
    const float scale = scale_;
    local_->Post(kIconPriorityLater, 0, [this, scale] {
        FallbackIconPng(scale);
        return BackgroundWorker::Reply([this] {
            genericAsked_ = false;
            std::vector<Recheck> waiting = std::move(recheck_);
            recheck_.clear();
            const std::optional<std::string> generic = MadeFallbackIconPng(scale_);
            if (!generic)
                return;  // no generic icon: nothing stored can be it
            for (Recheck& r : waiting) {
                if (r.storedIsGeneric(*generic))
                    Request(r.key, std::move(r.source), kIconPriorityLater, true);
            }
        });
    });
}

void IconResolver::Request(uint32_t key, std::string source, int priority, bool again) {
    if (source.empty())
        return;
    int& asked = asked_[key];
    if (asked > 0 && !again)
        return;
    ++asked;
    BackgroundWorker& worker = WorkerFor(source);
    const float scale = scale_;
    worker.Post(priority, key, [this, key, source = std::move(source), scale]() {
        IconResolved done;
        done.key = key;
        done.source = source;
        done.png = ExtractGridIcon(source, scale);
        if (done.png.empty()) {
            done.png = FallbackIconPng(scale);
            done.fallback = true;
        }
        // Runs on the UI thread, and only while the workers (and so this
        // resolver) are alive.
        return BackgroundWorker::Reply([this, done = std::move(done)]() {
            auto found = asked_.find(done.key);
            if (found != asked_.end() && --found->second <= 0)
                asked_.erase(found);
            if (deliver_)
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
    return total + static_cast<int>(recheck_.size());
}

}  // namespace pt
