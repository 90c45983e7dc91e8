// The arithmetic of vertical scrolling shared by the list view and the
// scroll view: the range of the scroll offset, the thumb of the thin scroll
// bar (its length and place on the track) and the offset a dragged thumb
// stands for. Pure integers, tested without a window.
#pragma once

namespace pt {

// Largest offset for `content` pixels shown through `view` pixels.
int MaxScroll(int content, int view);
int ClampScroll(int offset, int content, int view);

struct ThumbSpan {
    int offset = 0;  // from the start of the track
    int length = 0;  // 0: no thumb (nothing to scroll)
};

// The thumb is as long as the view's share of the content, at least
// `minLength` (a short thumb on a long list must still be grabbed).
ThumbSpan ThumbFor(int track, int content, int view, int offset, int minLength);
// The offset for a thumb dragged to `thumbOffset` on the track.
int ScrollForThumb(int thumbOffset, int track, int content, int view, int minLength);

}  // namespace pt
