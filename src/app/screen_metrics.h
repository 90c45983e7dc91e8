// Reads what the scale factor is computed from: the screen's device
// capabilities and the user's applied DPI.
#pragma once

#include "app/display_scale.h"

namespace pt {

ScreenMetrics ReadScreenMetrics();
// HKCU\Control Panel\Desktop\WindowMetrics\AppliedDPI, 96 when absent.
int ReadAppliedDpi();
// The measured scale of this screen (what the font rule divides by).
float MeasureScreenScale();

}  // namespace pt
