// Windows implementation of the whole-file reader and the crash-safe writer.
// The order of the writer's steps is what makes it safe: the new content is
// complete and on the disk before the target's directory entry changes, and
// the swap itself is one replacing rename in the file system.
#include "base/atomic_file.h"

#include "base/text.h"
#include "base/win_handles.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace pt {
namespace {

std::function<bool(AtomicWriteStep)>& FaultHook() {
    static std::function<bool(AtomicWriteStep)> hook;
    return hook;
}

bool Injected(AtomicWriteStep step) {
    const auto& hook = FaultHook();
    return hook && hook(step);
}

void SetError(uint32_t* error, DWORD code) {
    if (error)
        *error = code;
}

// One I/O call moves at most this much: WriteFile/ReadFile take a DWORD, and
// very large single calls can fail on network redirectors.
constexpr size_t kChunk = 1u << 20;

}  // namespace

FileReadStatus ReadWholeFile(std::string_view path, std::string* bytes, uint32_t* error) {
    bytes->clear();
    SetError(error, 0);
    std::wstring widePath = ToWide(path);
    // FILE_SHARE_DELETE lets a concurrent ReplaceFileW of the same file proceed;
    // we keep reading the old content through our handle.
    UniqueKernelHandle file(::CreateFileW(widePath.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD code = ::GetLastError();
        SetError(error, code);
        return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND
                   ? FileReadStatus::kMissing
                   : FileReadStatus::kFailed;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > bytes->max_size()) {
        SetError(error, ::GetLastError());
        return FileReadStatus::kFailed;
    }
    try {
        bytes->resize(static_cast<size_t>(size.QuadPart));
    } catch (...) {
        SetError(error, ERROR_NOT_ENOUGH_MEMORY);
        return FileReadStatus::kFailed;
    }
    size_t done = 0;
    while (done < bytes->size()) {
        DWORD want = static_cast<DWORD>(std::min(kChunk, bytes->size() - done));
        DWORD got = 0;
        if (!::ReadFile(file.Get(), bytes->data() + done, want, &got, nullptr)) {
            SetError(error, ::GetLastError());
            bytes->clear();
            return FileReadStatus::kFailed;
        }
        if (got == 0)
            break;  // the file shrank under us: keep what is there
        done += got;
    }
    bytes->resize(done);
    return FileReadStatus::kOk;
}

bool WriteFileAtomic(std::string_view path, std::string_view bytes, uint32_t* error) {
    SetError(error, 0);
    const std::wstring target = ToWide(path);
    const std::wstring temp = target + L".tmp";

    // A fixed temporary name: a leftover from a crash is simply overwritten by
    // the next save instead of piling up.
    UniqueKernelHandle file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        SetError(error, ::GetLastError());
        return false;
    }
    auto fail = [&](DWORD code) {
        file.Reset();
        ::DeleteFileW(temp.c_str());
        SetError(error, code);
        return false;
    };
    if (Injected(AtomicWriteStep::kCreate))
        return fail(ERROR_WRITE_FAULT);

    size_t done = 0;
    while (done < bytes.size()) {
        DWORD want = static_cast<DWORD>(std::min(kChunk, bytes.size() - done));
        DWORD wrote = 0;
        if (!::WriteFile(file.Get(), bytes.data() + done, want, &wrote, nullptr)) {
            return fail(::GetLastError());
        }
        if (wrote == 0)
            return fail(ERROR_WRITE_FAULT);
        done += wrote;
    }
    if (Injected(AtomicWriteStep::kWrite))
        return fail(ERROR_WRITE_FAULT);

    // Without this the rename below may reach the disk before the data does,
    // and a power loss would leave a target of the right size full of zeros.
    if (!::FlushFileBuffers(file.Get()))
        return fail(::GetLastError());
    if (Injected(AtomicWriteStep::kFlush))
        return fail(ERROR_WRITE_FAULT);
    file.Reset();

    // The swap is one rename that replaces the target: NTFS journals it as a
    // unit and Wine maps it to rename(2). ReplaceFileW is deliberately not
    // used: besides the rename it moves the old target aside first (Wine does
    // exactly that, and its ERROR_UNABLE_TO_MOVE_REPLACEMENT case shows the
    // same window on Windows), so a crash between its steps can leave no
    // target at all. What it adds (keeping the target's ACL and streams) does
    // not matter for the program's own data files.
    if (!::MoveFileExW(temp.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return fail(::GetLastError());
    }
    if (Injected(AtomicWriteStep::kReplace)) {
        SetError(error, ERROR_WRITE_FAULT);
        return false;
    }
    return true;
}

bool EnsureDirectory(std::string_view path) {
    std::wstring widePath = ToWide(path);
    if (::CreateDirectoryW(widePath.c_str(), nullptr))
        return true;
    DWORD attributes = ::GetFileAttributesW(widePath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CopyFileNoReplace(std::string_view from, std::string_view newPath) {
    return ::CopyFileW(ToWide(from).c_str(), ToWide(newPath).c_str(), TRUE) != 0;
}

std::string KeepBrokenCopy(std::string_view path) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char stamp[32];
    std::snprintf(stamp, sizeof(stamp), ".broken-%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    // Two broken starts within one second must not lose the first copy.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = std::string(path) + stamp;
        if (attempt > 0)
            name += "-" + std::to_string(attempt);
        if (CopyFileNoReplace(path, name))
            return name;
        DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    return {};
}

void SetAtomicWriteFaultHook(std::function<bool(AtomicWriteStep)> hook) {
    FaultHook() = std::move(hook);
}

}  // namespace pt
