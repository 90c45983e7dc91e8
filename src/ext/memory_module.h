// A DLL mapped into this process from a byte buffer instead of a file: the
// capture component travels inside the exe and is never written to disk.
// Mapping copies the sections into fresh memory, relocates, resolves the
// imports through the system loader, gives every section its protection
// (code is executable, nothing else is: DEP stays on), registers the unwind
// table of a 64-bit image, and runs the TLS callbacks and the entry point.
// The system loader knows nothing of the image, so GetProcAddress does not
// work on it; Export walks its export table. Windows-only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>

namespace pt {

class MemoryModule {
  public:
    // Null when the image is damaged, not for this processor, an import
    // cannot be resolved or its entry point refuses the attach; what was
    // set up by then is released.
    static std::unique_ptr<MemoryModule> Map(std::span<const uint8_t> file);
    // Detaches the image (entry point, then TLS callbacks), lets go of the
    // DLLs it imported and releases its memory.
    ~MemoryModule();
    MemoryModule(const MemoryModule&) = delete;
    MemoryModule& operator=(const MemoryModule&) = delete;

    // The address of the exported function `name`, or null.
    void* Export(const char* name) const;
    void* Base() const { return base_; }
    size_t Size() const { return size_; }

  private:
    struct State;
    explicit MemoryModule(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
    void* base_ = nullptr;
    size_t size_ = 0;
};

}  // namespace pt
