// The screen capture behind the Camera hotkey: the capture component
// (PrScrn.dll, built from this repository) travels inside the exe as the
// RCDATA resource PT_CAPTURE. Each capture maps it from that copy, calls its
// export PrScrn with fifteen zero arguments and releases it when the call
// returns, so nothing of it stays in memory between captures. The component
// is never written to disk. Windows-only.
#pragma once

#include <windows.h>

#include <memory>

namespace pt {

class MemoryModule;

inline constexpr wchar_t kCaptureResource[] = L"PT_CAPTURE";
inline constexpr char kCaptureExport[] = "PrScrn";

// The component carried by `module` (the exe when null), mapped; null when
// the resource is missing or does not map.
std::unique_ptr<MemoryModule> MapCaptureComponent(HMODULE module = nullptr);

// One capture: map, call, release. False when the component could not be
// mapped or lacks its export (nothing is shown then), or when a capture is
// running already (its loop delivers the Camera key too).
bool RunScreenCapture(HMODULE module = nullptr);

}  // namespace pt
