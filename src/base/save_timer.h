// The deferred save every store uses: a one-shot timer that each change
// restarts, and the file a store keeps its document in. The interfaces are
// pure, so the stores' logic is tested with fakes; the Windows ones are a
// thread timer without a window on the UI thread and an atomically replaced
// file in the data folder.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/atomic_file.h"

namespace pt {

// A one-shot deferred save: Start (re)arms it, Stop disarms it.
class SaveTimer {
  public:
    virtual ~SaveTimer() = default;
    virtual void Start(std::function<void()> onFire) = 0;
    virtual void Stop() = 0;
};

// Where a store's document lives and how its deferred save is timed.
class DocumentStorage {
  public:
    virtual ~DocumentStorage() = default;
    // The whole file.
    virtual FileReadStatus Read(std::string* bytes) = 0;
    // Replaces the file (creating its folder); false with a Win32 error code
    // when that failed. Must leave the old or the new file.
    virtual bool Write(std::string_view bytes, uint32_t* error) = 0;
    // Copies the current file aside under a new name, so that a file which
    // could not be read survives the next save. Returns the new name, or ""
    // when no copy could be made.
    virtual std::string KeepBrokenCopy() = 0;
    // Arms the deferred-save timer, replacing one that is armed; fire runs
    // once on the UI thread when it elapses.
    virtual void ArmTimer(std::function<void()> fire) = 0;
    virtual void CancelTimer() = 0;
};

#ifdef _WIN32
// SetTimer without a window: the UI thread's message loop runs it.
class ThreadSaveTimer final : public SaveTimer {
  public:
    explicit ThreadSaveTimer(unsigned delayMs = 5000) : delayMs_(delayMs) {}
    ~ThreadSaveTimer() override;
    ThreadSaveTimer(const ThreadSaveTimer&) = delete;
    ThreadSaveTimer& operator=(const ThreadSaveTimer&) = delete;

    void Start(std::function<void()> onFire) override;
    void Stop() override;
    bool Pending() const { return id_ != 0; }

    // Entered from the system's timer procedure with the timer's identifier.
    static void Fire(uintptr_t id);

  private:
    unsigned delayMs_;
    uintptr_t id_ = 0;
    std::function<void()> onFire_;
};

// folder\name, replaced atomically, a broken file copied aside
// (name.broken-YYYYMMDD-HHMMSS), saves deferred by a ThreadSaveTimer of
// delayMs.
std::unique_ptr<DocumentStorage> MakeFileDocumentStorage(std::string folder, std::string name,
                                                         unsigned delayMs);
#endif

}  // namespace pt
