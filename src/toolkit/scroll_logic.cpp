// Scroll range and thumb arithmetic.
#include "toolkit/scroll_logic.h"

#include <algorithm>
#include <cstdint>

namespace pt {

int MaxScroll(int content, int view) {
    return std::max(0, content - std::max(view, 0));
}

int ClampScroll(int offset, int content, int view) {
    return std::clamp(offset, 0, MaxScroll(content, view));
}

ThumbSpan ThumbFor(int track, int content, int view, int offset, int minLength) {
    const int max = MaxScroll(content, view);
    if (max == 0 || track <= 0)
        return {};
    // 64-bit products: a 10,000-row list is millions of pixels high.
    int length = static_cast<int>(static_cast<int64_t>(track) * view / content);
    length = std::clamp(length, std::min(std::max(minLength, 1), track), track);
    const int room = track - length;
    const int at = std::clamp(offset, 0, max);
    return ThumbSpan{static_cast<int>((static_cast<int64_t>(room) * at + max / 2) / max), length};
}

int ScrollForThumb(int thumbOffset, int track, int content, int view, int minLength) {
    const ThumbSpan span = ThumbFor(track, content, view, 0, minLength);
    const int room = track - span.length;
    const int max = MaxScroll(content, view);
    if (span.length == 0 || room <= 0)
        return 0;
    const int at = std::clamp(thumbOffset, 0, room);
    return static_cast<int>((static_cast<int64_t>(max) * at + room / 2) / room);
}

}  // namespace pt
