// The deferred save's Windows side: thread timers, which carry no context
// pointer, so the running ones are found by their identifier in a table of
// the (single) UI thread; and the file storage of a store's document.
#include "base/save_timer.h"

#include <windows.h>

#include <unordered_map>
#include <utility>

namespace pt {
namespace {

std::unordered_map<uintptr_t, ThreadSaveTimer*>& Running() {
    static std::unordered_map<uintptr_t, ThreadSaveTimer*> running;
    return running;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR timerId, DWORD) {
    ThreadSaveTimer::Fire(timerId);
}

}  // namespace

ThreadSaveTimer::~ThreadSaveTimer() {
    Stop();
}

void ThreadSaveTimer::Start(std::function<void()> onFire) {
    Stop();
    onFire_ = std::move(onFire);
    UINT_PTR id = ::SetTimer(nullptr, 0, delayMs_, &OnTimer);
    if (id == 0)
        return;
    id_ = id;
    Running()[id_] = this;
}

void ThreadSaveTimer::Stop() {
    if (id_ == 0)
        return;
    ::KillTimer(nullptr, id_);
    Running().erase(id_);
    id_ = 0;
}

void ThreadSaveTimer::Fire(uintptr_t id) {
    auto found = Running().find(id);
    if (found == Running().end()) {
        ::KillTimer(nullptr, id);  // a stray tick of a timer already given up
        return;
    }
    ThreadSaveTimer* timer = found->second;
    timer->Stop();  // one shot
    std::function<void()> onFire = std::move(timer->onFire_);
    // Nothing may leave a timer callback: the system frame above it is not C++.
    try {
        if (onFire)
            onFire();
    } catch (...) {
    }
}

namespace {

class FileDocumentStorage final : public DocumentStorage {
  public:
    FileDocumentStorage(std::string folder, std::string name, unsigned delayMs)
        : folder_(std::move(folder)), file_(folder_ + "\\" + name), timer_(delayMs) {}

    FileReadStatus Read(std::string* bytes) override { return ReadWholeFile(file_, bytes); }

    bool Write(std::string_view bytes, uint32_t* error) override {
        EnsureDirectory(folder_);  // a failure shows in the write itself
        return WriteFileAtomic(file_, bytes, error);
    }

    std::string KeepBrokenCopy() override { return pt::KeepBrokenCopy(file_); }

    void ArmTimer(std::function<void()> fire) override { timer_.Start(std::move(fire)); }
    void CancelTimer() override { timer_.Stop(); }

  private:
    std::string folder_;
    std::string file_;
    ThreadSaveTimer timer_;
};

}  // namespace

std::unique_ptr<DocumentStorage> MakeFileDocumentStorage(std::string folder, std::string name,
                                                         unsigned delayMs) {
    return std::make_unique<FileDocumentStorage>(std::move(folder), std::move(name), delayMs);
}

}  // namespace pt
