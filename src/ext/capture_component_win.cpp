// Mapping and calling the embedded capture component; see capture_component.h.
#include "ext/capture_component.h"

#include <span>

#include "ext/memory_module.h"

namespace pt {
namespace {

using PrScrnProc = int(WINAPI*)(int, int, int, int, int, int, int, int, int, int, int, int, int,
                                int, int);

}  // namespace

std::unique_ptr<MemoryModule> MapCaptureComponent(HMODULE module) {
    if (!module)
        module = ::GetModuleHandleW(nullptr);
    HRSRC resource = ::FindResourceW(module, kCaptureResource, MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!resource)
        return nullptr;
    const DWORD size = ::SizeofResource(module, resource);
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes || size == 0)
        return nullptr;
    return MemoryModule::Map(std::span(static_cast<const uint8_t*>(bytes), size));
}

bool RunScreenCapture(HMODULE module) {
    // The capture's own loop dispatches the Camera key too: a second press
    // while the overlay is up does nothing.
    static bool running = false;
    if (running)
        return false;
    running = true;
    struct Done {
        ~Done() { running = false; }
    } done;
    std::unique_ptr<MemoryModule> component = MapCaptureComponent(module);
    if (!component)
        return false;
    auto prScrn = reinterpret_cast<PrScrnProc>(component->Export(kCaptureExport));
    if (!prScrn)
        return false;
    prScrn(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    return true;
}

}  // namespace pt
