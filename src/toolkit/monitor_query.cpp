// The system's list of monitors behind QueryMonitors (screen_areas.h).
#include <windows.h>

#include "toolkit/screen_areas.h"

namespace pt {
namespace {

Rect ToRect(const RECT& r) {
    return Rect{r.left, r.top, r.right, r.bottom};
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(monitor, &info)) {
        reinterpret_cast<MonitorList*>(list)->push_back(
            MonitorArea{ToRect(info.rcMonitor), ToRect(info.rcWork),
                        (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

}  // namespace

MonitorList QueryMonitors() {
    MonitorList monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty()) {
        RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        const Rect bounds = ToRect(work);
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        monitors.push_back(MonitorArea{bounds, ToRect(work), true});
    }
    return monitors;
}

}  // namespace pt
