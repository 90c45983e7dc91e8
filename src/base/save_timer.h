// The deferred save every store uses: a one-shot timer that each change
// restarts, and the file a store keeps its document in (settings, launcher
// data and icon cache alike). The interfaces are pure, so the stores' logic
// is tested with fakes; the Windows ones are a thread timer without a window
// on the UI thread and an atomically replaced file in the data folder, which
// can also be mapped rather than read.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "base/atomic_file.h"

namespace pt {

// A one-shot deferred save: Start (re)arms it, Stop disarms it.
class SaveTimer {
  public:
    virtual ~SaveTimer() = default;
    virtual void Start(std::function<void()> onFire) = 0;
    virtual void Stop() = 0;
};

// A file's bytes held for reading as long as this object lives.
class DocumentBytes {
  public:
    virtual ~DocumentBytes() = default;
    virtual std::string_view Bytes() const = 0;
};

// Bytes held in memory.
std::unique_ptr<DocumentBytes> HoldBytes(std::string bytes);

// Where a store's document lives and how its deferred save is timed.
class DocumentStorage {
  public:
    virtual ~DocumentStorage() = default;
    // The whole file.
    virtual FileReadStatus Read(std::string* bytes) = 0;
    // The whole file held for reading; nullptr when there is none or it
    // cannot be read. This one reads a copy; the file storage maps the file,
    // which costs next to nothing however large it is until its pages are
    // touched. A mapped file cannot be replaced: let go of the bytes before
    // Write.
    virtual std::unique_ptr<DocumentBytes> Open();
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

// folder\name, replaced atomically (the folder made when missing), a broken
// file copied aside (name.broken-YYYYMMDD-HHMMSS), saves deferred by a
// ThreadSaveTimer of delayMs, Open mapping the file.
class FileDocumentStorage : public DocumentStorage {
  public:
    FileDocumentStorage(std::string folder, std::string name, unsigned delayMs);
    // The same from the file's whole path.
    explicit FileDocumentStorage(std::string path, unsigned delayMs = 5000);

    FileReadStatus Read(std::string* bytes) override;
    std::unique_ptr<DocumentBytes> Open() override;
    bool Write(std::string_view bytes, uint32_t* error) override;
    std::string KeepBrokenCopy() override;
    void ArmTimer(std::function<void()> fire) override { timer_.Start(std::move(fire)); }
    void CancelTimer() override { timer_.Stop(); }

  private:
    std::string folder_;
    std::string file_;
    ThreadSaveTimer timer_;
};

std::unique_ptr<DocumentStorage> MakeFileDocumentStorage(std::string folder, std::string name,
                                                         unsigned delayMs);
#endif

}  // namespace pt
