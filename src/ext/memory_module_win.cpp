// The in-memory loader's system side: reserving and committing the image,
// resolving imports, section protections, the unwind table, TLS callbacks
// and the entry point. What the headers say is checked by pe_image first;
// this file only acts on a layout that passed.
#include "ext/memory_module.h"

#include <cstring>
#include <string>
#include <vector>

#include "base/win_handles.h"
#include "ext/pe_image.h"

namespace pt {
namespace {

#if defined(_WIN64)
constexpr uint16_t kMachine = pe::kMachineAmd64;
#else
constexpr uint16_t kMachine = pe::kMachineI386;
#endif

using EntryPoint = BOOL(WINAPI*)(HINSTANCE, DWORD, void*);

DWORD ProtectionOf(uint32_t characteristics) {
    const bool x = characteristics & pe::kSectionExecute;
    const bool r = characteristics & pe::kSectionRead;
    const bool w = characteristics & pe::kSectionWrite;
    DWORD protect = PAGE_NOACCESS;
    if (x)
        protect = w ? PAGE_EXECUTE_READWRITE : (r ? PAGE_EXECUTE_READ : PAGE_EXECUTE);
    else if (w)
        protect = PAGE_READWRITE;
    else if (r)
        protect = PAGE_READONLY;
    if (characteristics & pe::kSectionNotCached)
        protect |= PAGE_NOCACHE;
    return protect;
}

uint32_t PagesOf(uint32_t size) {
    return (size + pe::kPageSize - 1) / pe::kPageSize * pe::kPageSize;
}

}  // namespace

struct MemoryModule::State {
    pe::Layout layout;
    uint8_t* base = nullptr;
    std::vector<UniqueModule> imports;  // in load order
    std::vector<uint32_t> tlsCallbacks;
    bool unwindRegistered = false;
    bool attached = false;  // TLS callbacks and entry point ran for the attach

    std::span<uint8_t> Image() const { return {base, layout.sizeOfImage}; }

    void RunTls(DWORD reason) const {
        for (uint32_t rva : tlsCallbacks)
            reinterpret_cast<PIMAGE_TLS_CALLBACK>(base + rva)(base, reason, nullptr);
    }

    ~State() {
        if (attached) {
            if (layout.entryPoint)
                reinterpret_cast<EntryPoint>(base + layout.entryPoint)(
                    reinterpret_cast<HINSTANCE>(base), DLL_PROCESS_DETACH, nullptr);
            RunTls(DLL_PROCESS_DETACH);
        }
#if defined(_WIN64)
        if (unwindRegistered)
            ::RtlDeleteFunctionTable(
                reinterpret_cast<PRUNTIME_FUNCTION>(base + layout.exceptions.rva));
#endif
        // The image's code may still be in use by a module it loaded only
        // until those go; they go after its detach, latest first.
        while (!imports.empty())
            imports.pop_back();
        if (base)
            ::VirtualFree(base, 0, MEM_RELEASE);
    }

    bool ResolveImports() {
        std::optional<std::vector<pe::ImportModule>> modules = pe::ReadImports(Image(), layout);
        if (!modules)
            return false;
        for (const pe::ImportModule& m : *modules) {
            UniqueModule module(::LoadLibraryA(m.name.c_str()));
            if (!module)
                return false;
            for (const pe::ImportFunction& f : m.functions) {
                FARPROC address = ::GetProcAddress(
                    module.Get(), f.byOrdinal ? MAKEINTRESOURCEA(f.ordinal) : f.name.c_str());
                if (!address)
                    return false;
                void* value = reinterpret_cast<void*>(address);
                std::memcpy(base + f.slotRva, &value, sizeof(value));
            }
            imports.push_back(std::move(module));
        }
        return true;
    }

    bool Protect() const {
        DWORD old = 0;
        if (!::VirtualProtect(base, PagesOf(layout.sizeOfHeaders), PAGE_READONLY, &old))
            return false;
        for (const pe::Section& s : layout.sections) {
            const uint32_t size = PagesOf(s.memorySize);
            // A discardable section (the relocations) stays readable: a
            // damaged image may point its export names into it, and the
            // export walk must then read, never fault.
            const DWORD protect = (s.characteristics & pe::kSectionDiscardable)
                                      ? PAGE_READONLY
                                      : ProtectionOf(s.characteristics);
            if (!::VirtualProtect(base + s.virtualAddress, size, protect, &old))
                return false;
        }
        ::FlushInstructionCache(::GetCurrentProcess(), base, layout.sizeOfImage);
        return true;
    }
};

MemoryModule::MemoryModule(std::unique_ptr<State> state)
    : state_(std::move(state)), base_(state_->base), size_(state_->layout.sizeOfImage) {}

MemoryModule::~MemoryModule() = default;

std::unique_ptr<MemoryModule> MemoryModule::Map(std::span<const uint8_t> file) {
    std::optional<pe::Layout> layout = pe::ParseImage(file, kMachine);
    if (!layout)
        return nullptr;
    auto state = std::make_unique<State>();
    state->layout = std::move(*layout);
    const pe::Layout& l = state->layout;
    void* base = nullptr;
    if (l.preferredBase <= UINTPTR_MAX)
        base = ::VirtualAlloc(reinterpret_cast<void*>(static_cast<uintptr_t>(l.preferredBase)),
                              l.sizeOfImage, MEM_RESERVE, PAGE_READWRITE);
    if (!base)
        base = ::VirtualAlloc(nullptr, l.sizeOfImage, MEM_RESERVE, PAGE_READWRITE);
    if (!base)
        return nullptr;
    state->base = static_cast<uint8_t*>(base);
    // Committed memory reads as zeros: the tail of every section is ready.
    if (!::VirtualAlloc(base, l.sizeOfImage, MEM_COMMIT, PAGE_READWRITE))
        return nullptr;
    if (!pe::CopyImage(file, l, state->Image()))
        return nullptr;
    const uint64_t actual = reinterpret_cast<uintptr_t>(base);
    if (!pe::ApplyRelocations(state->Image(), l, actual - l.preferredBase))
        return nullptr;
    if (!state->ResolveImports())
        return nullptr;
    std::optional<std::vector<uint32_t>> callbacks =
        pe::ReadTlsCallbacks(state->Image(), l, actual);
    if (!callbacks)
        return nullptr;
    state->tlsCallbacks = std::move(*callbacks);
    if (l.entryPoint && !l.IsCode(l.entryPoint))
        return nullptr;
    if (!state->Protect())
        return nullptr;
#if defined(_WIN64)
    // Without its unwind table no exception or stack walk can pass the image.
    if (uint32_t count = pe::UnwindEntryCount(l)) {
        state->unwindRegistered = ::RtlAddFunctionTable(
            reinterpret_cast<PRUNTIME_FUNCTION>(state->base + l.exceptions.rva), count, actual);
    }
#endif
    state->RunTls(DLL_PROCESS_ATTACH);
    if (l.entryPoint) {
        if (!reinterpret_cast<EntryPoint>(state->base + l.entryPoint)(
                reinterpret_cast<HINSTANCE>(base), DLL_PROCESS_ATTACH, nullptr)) {
            state->RunTls(DLL_PROCESS_DETACH);
            return nullptr;
        }
    }
    state->attached = true;
    return std::unique_ptr<MemoryModule>(new MemoryModule(std::move(state)));
}

void* MemoryModule::Export(const char* name) const {
    std::optional<uint32_t> rva = pe::FindExport(state_->Image(), state_->layout, name);
    return rva ? state_->base + *rva : nullptr;
}

}  // namespace pt
