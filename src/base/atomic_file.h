// Whole-file reading and crash-safe whole-file replacement for the program's
// data files (settings, launcher data, icon cache). A save writes a temporary
// file beside the target, forces it to disk and only then swaps it in, so a
// crash or power loss during a save leaves either the old file or the new one,
// never a torn mixture. Paths are UTF-8; error codes are Win32 error codes.
// The functions are implemented for Windows only; pure code reaches them
// through interfaces of its own so that it still builds natively.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace pt {

enum class FileReadStatus {
    kOk,       // bytes hold the whole file (possibly empty)
    kMissing,  // the file (or its folder) does not exist
    kFailed,   // it exists but could not be read (locked, access denied, ...)
};

// Reads the whole file into bytes (cleared first). error receives the Win32
// error of a failure, 0 on success.
FileReadStatus ReadWholeFile(std::string_view path, std::string* bytes, uint32_t* error = nullptr);

// Replaces the file at path with bytes: the temporary file path + ".tmp" is
// created in the same folder, written, flushed with FlushFileBuffers, closed,
// then swapped in by one rename (MoveFileExW with REPLACE_EXISTING and
// WRITE_THROUGH), which leaves either the old or the new target at any moment.
// On failure the target is untouched, the temporary file is removed and false
// is returned with the Win32 error in *error.
bool WriteFileAtomic(std::string_view path, std::string_view bytes, uint32_t* error = nullptr);

// Creates one folder; true when it exists afterwards.
bool EnsureDirectory(std::string_view path);

// Copies a file to a new name; false when the copy fails or newPath exists.
bool CopyFileNoReplace(std::string_view from, std::string_view newPath);

// Copies a file that could not be used to path + ".broken-YYYYMMDD-HHMMSS"
// (local time; "-1", "-2", ... appended when that name is taken) so the next
// save cannot destroy it. The new name, or "" when no copy could be made.
std::string KeepBrokenCopy(std::string_view path);

// The steps of WriteFileAtomic, for fault injection in tests.
enum class AtomicWriteStep { kCreate, kWrite, kFlush, kReplace };

// Test hook: called after each step has completed; returning true makes the
// write fail right there as if that step had failed (error
// ERROR_WRITE_FAULT), taking the normal clean-up path. An empty function
// removes the hook. Not for production code.
void SetAtomicWriteFaultHook(std::function<bool(AtomicWriteStep)> hook);

}  // namespace pt
