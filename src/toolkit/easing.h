// Easing curves for slides and fades. Pure functions of a progress value.
#pragma once

namespace pt {

enum class EaseMode { kIn = 0, kOut = 1, kInOut = 2 };

// The quintic curve. t is clamped to [0, 1]; the result runs from 0 to 1.
// kOut (mode 1) decelerates: it moves fast at first and settles slowly, so a
// slide leaves its start position on the very first step.
double EaseQuint(double t, EaseMode mode);
inline double EaseQuint(double t, int mode) {
    return EaseQuint(t, static_cast<EaseMode>(mode));
}

}  // namespace pt
