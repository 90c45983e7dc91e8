// The deferred save every store uses: a one-shot timer that each change
// restarts, and the file a store keeps its document in (settings, launcher
// data and icon cache alike). The interfaces are pure, so the stores' logic
// is tested with fakes; the Windows ones are a thread timer without a window
// on the UI thread and an atomically replaced file in the data folder, which
// can also be read piece by piece rather than whole.
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

// A file held open for reading piece by piece as long as this object lives:
// a store that needs a few parts of a large file reads just those, and
// nothing of the rest enters the process.
class DocumentReader {
  public:
    virtual ~DocumentReader() = default;
    virtual uint64_t Size() const = 0;
    // The `length` bytes at `offset` into `out`; false when they are not all there.
    virtual bool ReadAt(uint64_t offset, char* out, size_t length) const = 0;
};

// A reader of bytes held in memory.
std::unique_ptr<DocumentReader> HoldBytes(std::string bytes);

// Where a store's document lives and how its deferred save is timed.
class DocumentStorage {
  public:
    virtual ~DocumentStorage() = default;
    // The whole file.
    virtual FileReadStatus Read(std::string* bytes) = 0;
    // The file held open for reading; nullptr when there is none or it
    // cannot be read. This one reads a copy; the file storage keeps the file
    // open and reads only what is asked. Let go of the reader before Write:
    // a file that is open may not be replaceable.
    virtual std::unique_ptr<DocumentReader> Open();
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
// ThreadSaveTimer of delayMs, Open reading the file where it lies.
class FileDocumentStorage : public DocumentStorage {
  public:
    FileDocumentStorage(std::string folder, std::string name, unsigned delayMs);
    // The same from the file's whole path.
    explicit FileDocumentStorage(std::string path, unsigned delayMs = 5000);

    FileReadStatus Read(std::string* bytes) override;
    std::unique_ptr<DocumentReader> Open() override;
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
