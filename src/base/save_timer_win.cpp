// The deferred save's Windows side: thread timers, which carry no context
// pointer, so the running ones are found by their identifier in a table of
// the (single) UI thread; and the file storage of a store's document, read
// whole or piece by piece.
#include "base/save_timer.h"

#include <windows.h>

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "base/text.h"
#include "base/win_handles.h"

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

// Reads at an offset with ReadFile rather than mapping the file: touching a
// mapped page brings its neighbours in too (the kernel's fault-around and
// the system's read clustering), so a few icons read from a mapped cache
// made most of it resident.
class FileReader final : public DocumentReader {
  public:
    FileReader(UniqueKernelHandle file, uint64_t size) : file_(std::move(file)), size_(size) {}
    uint64_t Size() const override { return size_; }
    bool ReadAt(uint64_t offset, char* out, size_t length) const override {
        if (offset > size_ || size_ - offset < length)
            return false;
        while (length > 0) {
            // The offset goes in the OVERLAPPED: a synchronous handle reads there
            // and no shared file position is moved.
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            const DWORD want = static_cast<DWORD>(std::min<size_t>(length, 1u << 30));
            DWORD got = 0;
            if (!::ReadFile(file_.Get(), out, want, &got, &at) || got == 0)
                return false;
            out += got;
            offset += got;
            length -= got;
        }
        return true;
    }

  private:
    UniqueKernelHandle file_;
    uint64_t size_;
};

}  // namespace

FileDocumentStorage::FileDocumentStorage(std::string folder, std::string name, unsigned delayMs)
    : folder_(std::move(folder)), file_(folder_ + "\\" + name), timer_(delayMs) {}

FileDocumentStorage::FileDocumentStorage(std::string path, unsigned delayMs)
    : file_(std::move(path)), timer_(delayMs) {
    const size_t slash = file_.find_last_of("\\/");
    if (slash != std::string::npos && slash > 0)
        folder_ = file_.substr(0, slash);
}

FileReadStatus FileDocumentStorage::Read(std::string* bytes) {
    return ReadWholeFile(file_, bytes);
}

std::unique_ptr<DocumentReader> FileDocumentStorage::Open() {
    // Shared for deleting, so that the file can still be removed or renamed
    // by others while the store holds it; no one may write to it meanwhile.
    UniqueKernelHandle file(::CreateFileW(ToWide(file_).c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return nullptr;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0)
        return DocumentStorage::Open();  // empty or odd: the plain read decides
    return std::make_unique<FileReader>(std::move(file), static_cast<uint64_t>(size.QuadPart));
}

bool FileDocumentStorage::Write(std::string_view bytes, uint32_t* error) {
    if (!folder_.empty())
        EnsureDirectory(folder_);  // a failure shows in the write itself
    return WriteFileAtomic(file_, bytes, error);
}

std::string FileDocumentStorage::KeepBrokenCopy() {
    return pt::KeepBrokenCopy(file_);
}

std::unique_ptr<DocumentStorage> MakeFileDocumentStorage(std::string folder, std::string name,
                                                         unsigned delayMs) {
    return std::make_unique<FileDocumentStorage>(std::move(folder), std::move(name), delayMs);
}

}  // namespace pt
