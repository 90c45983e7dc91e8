// Loading the embedded resource archive and reading its entries with the
// archive password the build packed it with.
#include "toolkit/resource_archive.h"

#include <string_view>

#ifndef PT_RES_PASSWORD
#error "PT_RES_PASSWORD comes from cmake/Resources.cmake"
#endif

namespace pt {
namespace {

constexpr std::string_view kPassword = PT_RES_PASSWORD;
static_assert(kPassword.size() == 9, "the archive password is 9 ASCII characters");

}  // namespace

ResourceArchive& ResourceArchive::Instance() {
    static ResourceArchive archive;
    return archive;
}

bool ResourceArchive::LoadFromModule(HINSTANCE module) {
    if (!module)
        module = GetModuleHandleW(nullptr);
    // Resource memory needs no freeing: LoadResource only maps the module's
    // own image, which stays mapped as long as the module is loaded. The
    // bytes are copied anyway, so the archive never depends on that.
    HRSRC info = FindResourceW(module, L"PT_RESOURCES", RT_RCDATA);
    if (!info)
        return zip_.Close(), false;
    const DWORD size = SizeofResource(module, info);
    HGLOBAL handle = LoadResource(module, info);
    const void* data = handle ? LockResource(handle) : nullptr;
    if (!data || size == 0)
        return zip_.Close(), false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    return LoadFromBytes(std::vector<uint8_t>(bytes, bytes + size));
}

bool ResourceArchive::LoadFromBytes(std::vector<uint8_t> bytes) {
    return zip_.Open(std::move(bytes));
}

std::vector<uint8_t> ResourceArchive::Read(std::string_view entryName) const {
    std::optional<std::vector<uint8_t>> content = zip_.Read(entryName, kPassword);
    return content ? std::move(*content) : std::vector<uint8_t>();
}

std::string ResourceArchive::ReadText(std::string_view entryName) const {
    const std::vector<uint8_t> bytes = Read(entryName);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace pt
