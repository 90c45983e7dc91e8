// The file-system side of a grid entry's name colour.
#include "launcher/grid_entry.h"

namespace pt {

GridTextColor GridEntryTextColor(std::string_view path) {
    TargetKind kind = ClassifyTarget(path);
    // Only a drive path is looked up; anything else never shows as missing.
    bool exists = !IsLocalPath(path) || PathExists(path);
    return GridEntryTextColorFor(path, kind.id, exists);
}

}  // namespace pt
