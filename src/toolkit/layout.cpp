// Box layout arithmetic.
#include "toolkit/layout.h"

namespace pt {
namespace {

int Natural(const SizeSpec& spec, int content) {
    return spec.kind == SizeKind::kFixed ? spec.value : content;
}

int AlignOffset(Align align, int free) {
    if (free <= 0)
        return 0;
    switch (align) {
        case Align::kCenter:
            return free / 2;
        case Align::kEnd:
            return free;
        case Align::kStart:
        default:
            return 0;
    }
}

}  // namespace

std::vector<Rect> LayoutBoxChildren(const Rect& area, const BoxParams& box,
                                    const std::vector<LayoutChild>& children) {
    std::vector<Rect> out(children.size());
    if (children.empty())
        return out;
    const Rect inner = area.Inset(box.padding);
    const bool h = box.horizontal;
    const int mainAvail = h ? inner.Width() : inner.Height();
    const int crossAvail = h ? inner.Height() : inner.Width();
    const Align mainAlign = h ? box.alignH : box.alignV;
    const Align crossAlign = h ? box.alignV : box.alignH;

    // Main axis: fixed and fitted sizes first, then the weighted shares.
    std::vector<int> main(children.size(), 0);
    long long used =
        static_cast<long long>(box.spacing) * static_cast<long long>(children.size() - 1);
    long long totalWeight = 0;
    for (size_t i = 0; i < children.size(); ++i) {
        const SizeSpec& spec = h ? children[i].width : children[i].height;
        const int content = h ? children[i].content.width : children[i].content.height;
        if (spec.kind == SizeKind::kFill) {
            totalWeight += 1;
        } else if (spec.kind == SizeKind::kWeight) {
            totalWeight += spec.value;
        } else {
            main[i] = Natural(spec, content);
            used += main[i];
        }
    }
    long long rest = mainAvail - used;
    if (rest < 0)
        rest = 0;
    if (totalWeight > 0) {
        long long given = 0;
        long long seen = 0;
        for (size_t i = 0; i < children.size(); ++i) {
            const SizeSpec& spec = h ? children[i].width : children[i].height;
            long long w = spec.kind == SizeKind::kFill     ? 1
                          : spec.kind == SizeKind::kWeight ? spec.value
                                                           : -1;
            if (w < 0)
                continue;
            seen += w;
            // Cumulative rounding: the shares always add up to `rest` exactly.
            const long long upto = rest * seen / totalWeight;
            main[i] = static_cast<int>(upto - given);
            given = upto;
        }
        rest = 0;
    }

    int pos = (h ? inner.left : inner.top) + AlignOffset(mainAlign, static_cast<int>(rest));
    for (size_t i = 0; i < children.size(); ++i) {
        const SizeSpec& cross = h ? children[i].height : children[i].width;
        const int content = h ? children[i].content.height : children[i].content.width;
        int size = crossAvail;
        int offset = 0;
        if (cross.kind != SizeKind::kFill && cross.kind != SizeKind::kWeight) {
            size = Natural(cross, content);
            offset = AlignOffset(crossAlign, crossAvail - size);
        }
        if (h) {
            out[i] = Rect::FromSize(pos, inner.top + offset, main[i], size);
        } else {
            out[i] = Rect::FromSize(inner.left + offset, pos, size, main[i]);
        }
        pos += main[i] + box.spacing;
    }
    return out;
}

Size MeasureBox(const BoxParams& box, const std::vector<LayoutChild>& children) {
    int mainSum = 0;
    int crossMax = 0;
    for (const LayoutChild& c : children) {
        const int w = Natural(c.width, c.content.width);
        const int hgt = Natural(c.height, c.content.height);
        mainSum += box.horizontal ? w : hgt;
        crossMax = std::max(crossMax, box.horizontal ? hgt : w);
    }
    if (!children.empty())
        mainSum += box.spacing * static_cast<int>(children.size() - 1);
    Size s = box.horizontal ? Size{mainSum, crossMax} : Size{crossMax, mainSum};
    s.width += box.padding.left + box.padding.right;
    s.height += box.padding.top + box.padding.bottom;
    return s;
}

}  // namespace pt
