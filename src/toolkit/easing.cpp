// The quintic easing curve in its three modes.
#include "toolkit/easing.h"

namespace pt {

double EaseQuint(double t, EaseMode mode) {
    if (!(t > 0.0))
        return 0.0;  // also catches NaN
    if (t >= 1.0)
        return 1.0;
    switch (mode) {
        case EaseMode::kIn:
            return t * t * t * t * t;
        case EaseMode::kInOut:
            if (t < 0.5)
                return 16.0 * t * t * t * t * t;
            {
                const double u = 2.0 * t - 2.0;
                return 0.5 * u * u * u * u * u + 1.0;
            }
        case EaseMode::kOut:
        default: {
            const double u = t - 1.0;
            return u * u * u * u * u + 1.0;
        }
    }
}

}  // namespace pt
