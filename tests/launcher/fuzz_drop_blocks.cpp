// Fuzz target: the readers of dropped blocks must never read outside the
// block; every list an accepted ID list array names lies inside it, ends in
// its terminator, and builds back into a block that reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "launcher/drop_blocks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view block(reinterpret_cast<const char*>(data), size);
    pt::CheckDropFiles(block);
    const std::optional<pt::IdListArray> array = pt::ParseIdListArray(block);
    if (!array)
        return 0;
    auto list = [&](const pt::IdListSpan& span) {
        if (span.size < 2 || span.offset > size || span.size > size - span.offset ||
            block[span.offset + span.size - 1] != 0 || block[span.offset + span.size - 2] != 0)
            std::abort();
        return std::string(block.substr(span.offset, span.size));
    };
    std::vector<std::string> children;
    for (const pt::IdListSpan& span : array->children)
        children.push_back(list(span));
    const std::string again = pt::BuildIdListArray(list(array->parent), children);
    const std::optional<pt::IdListArray> reread = pt::ParseIdListArray(again);
    if (!reread || reread->children.size() != children.size())
        std::abort();
    for (size_t i = 0; i < children.size(); ++i) {
        const pt::IdListSpan& span = reread->children[i];
        if (again.substr(span.offset, span.size) != children[i])
            std::abort();
    }
    return 0;
}
