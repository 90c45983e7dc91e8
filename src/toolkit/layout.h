// Box layout arithmetic: children stacked along one axis with padding,
// spacing and alignment; each child's size on each axis is fixed, fills the
// box, takes a weighted share of what is left, or fits its content. Pure
// arithmetic on integers, used by every element that lays out children.
#pragma once

#include <vector>

#include "toolkit/geometry.h"

namespace pt {

enum class SizeKind { kFixed, kFill, kWeight, kAuto };

struct SizeSpec {
    SizeKind kind = SizeKind::kAuto;
    int value = 0;  // pixels for kFixed, the weight for kWeight

    static SizeSpec Fixed(int pixels) { return {SizeKind::kFixed, pixels < 0 ? 0 : pixels}; }
    static SizeSpec Fill() { return {SizeKind::kFill, 0}; }
    static SizeSpec Weight(int weight) { return {SizeKind::kWeight, weight < 0 ? 0 : weight}; }
    static SizeSpec Auto() { return {SizeKind::kAuto, 0}; }
    friend bool operator==(const SizeSpec&, const SizeSpec&) = default;
};

enum class Align { kStart, kCenter, kEnd };

struct BoxParams {
    bool horizontal = false;
    Insets padding;
    int spacing = 0;
    Align alignH = Align::kStart;  // placement of the run (main axis) or of each child (cross)
    Align alignV = Align::kStart;
};

struct LayoutChild {
    SizeSpec width;
    SizeSpec height;
    Size content;  // what the child needs to show its content (for kAuto)
};

// Rectangles of the children inside `area`, in the children's order. On the
// main axis kFill counts as weight 1; weighted children share the space the
// others leave (never less than 0), the last one taking the rounding rest.
// On the cross axis kFill and kWeight span the inner size; the others are
// aligned by the box's alignment for that axis.
std::vector<Rect> LayoutBoxChildren(const Rect& area, const BoxParams& box,
                                    const std::vector<LayoutChild>& children);

// The size a box needs to show all its children: fixed sizes as given,
// the rest at their content size, plus padding and spacing.
Size MeasureBox(const BoxParams& box, const std::vector<LayoutChild>& children);

}  // namespace pt
