// Reader and writer of the instance mapping.
#include "app/single_instance.h"

#include <cstring>

namespace pt {

bool HandOverToRunningInstance() {
    UniqueKernelHandle mapping(
        ::OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kInstanceMappingName));
    if (!mapping)
        return false;
    // The whole mapping is mapped (size 0): it was created with 4 bytes, and a
    // view larger than the section may be refused.
    UniqueMappedView view(::MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!view)
        return true;
    UINT32 value = 0;
    std::memcpy(&value, view.Get(), sizeof value);
    HWND panel = ValueToHandle(value);
    ::SetForegroundWindow(panel);
    // A hung first instance must not hang the second start forever: the
    // request is abandoned after a few seconds, and this process still ends.
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(panel, WM_USER, 1, 1, SMTO_NORMAL | SMTO_ABORTIFHUNG, 5000, &result);
    return true;
}

bool InstanceMapping::Publish(HWND panel) {
    mapping_.Reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(UINT32), kInstanceMappingName));
    if (!mapping_)
        return false;
    view_.Reset(::MapViewOfFile(mapping_.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!view_)
        return false;
    const UINT32 value = HandleToValue(panel);
    std::memcpy(view_.Get(), &value, sizeof value);
    return true;
}

}  // namespace pt
