// Fuzz target: the icon cache reader must never read outside its buffer, and
// whatever it accepts must write back to a file it reads the same way.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "launcher/icon_cache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view file(reinterpret_cast<const char*>(data), size);
    std::optional<pt::IconImages> images = pt::ParseIconCache(file);
    if (images) {
        std::optional<std::string> again = pt::SerializeIconCache(*images);
        if (!again || pt::ParseIconCache(*again) != images)
            std::abort();
    }
    return 0;
}
