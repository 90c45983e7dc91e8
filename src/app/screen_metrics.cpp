// Device-capability and registry reads behind the scale factor.
#include "app/screen_metrics.h"

#include <windows.h>

#include "base/win_handles.h"

namespace pt {

ScreenMetrics ReadScreenMetrics() {
    ScreenMetrics m;
    WindowDc screen(nullptr);
    if (!screen)
        return m;
    m.desktopHorzRes = ::GetDeviceCaps(screen.Get(), DESKTOPHORZRES);
    m.horzRes = ::GetDeviceCaps(screen.Get(), HORZRES);
    m.logPixelsX = ::GetDeviceCaps(screen.Get(), LOGPIXELSX);
    return m;
}

int ReadAppliedDpi() {
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    LSTATUS status = ::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop\\WindowMetrics",
                                    L"AppliedDPI", RRF_RT_REG_DWORD, &type, &value, &size);
    return status == ERROR_SUCCESS && value != 0 ? static_cast<int>(value) : 96;
}

float MeasureScreenScale() {
    return MeasureScale(ReadScreenMetrics(), ReadAppliedDpi);
}

}  // namespace pt
