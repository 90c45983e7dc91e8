// Storage of the display scale factor.
#include "toolkit/dpi.h"

#include <atomic>
#include <cmath>

namespace pt {
namespace {
std::atomic<float> g_scale{1.0f};
}

void SetDisplayScale(float factor) {
    if (std::isfinite(factor) && factor > 0.0f)
        g_scale.store(factor);
}

float DisplayScale() {
    return g_scale.load();
}

int Dpi(int n) {
    return static_cast<int>(std::lround(static_cast<double>(n) * g_scale.load()));
}

float DpiF(float n) {
    return n * g_scale.load();
}

}  // namespace pt
