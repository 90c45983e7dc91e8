// Cell arithmetic of the list view.
#include "toolkit/list_layout.h"

#include <algorithm>

namespace pt {

ListLayout::ListLayout(const ListGeometry& geometry, int width, std::vector<int> counts)
    : geo_(geometry), counts_(std::move(counts)) {
    geo_.item.width = std::max(geo_.item.width, 1);
    geo_.item.height = std::max(geo_.item.height, 1);
    geo_.spacingX = std::max(geo_.spacingX, 0);
    geo_.spacingY = std::max(geo_.spacingY, 0);
    geo_.groupHeader = std::max(geo_.groupHeader, 0);
    geo_.groupGap = std::max(geo_.groupGap, 0);
    for (int& c : counts_)
        c = std::max(c, 0);
    const int inner = width - geo_.padding.left - geo_.padding.right;
    // A list narrower than one cell still shows one column (cut off).
    columns_ = std::max(1, (inner + geo_.spacingX) / (geo_.item.width + geo_.spacingX));
    tops_.resize(counts_.size());
    int y = geo_.padding.top;
    for (size_t g = 0; g < counts_.size(); ++g) {
        if (g > 0)
            y += geo_.groupGap;
        tops_[g] = y;
        const int rows = RowsOf(static_cast<int>(g));
        y += geo_.groupHeader;
        if (rows > 0)
            y += rows * geo_.item.height + (rows - 1) * geo_.spacingY;
    }
    height_ = y + geo_.padding.bottom;
}

int ListLayout::RowsOf(int group) const {
    return (counts_[group] + columns_ - 1) / columns_;
}

Rect ListLayout::GroupHeaderRect(int group) const {
    if (group < 0 || group >= GroupCount() || geo_.groupHeader == 0)
        return {};
    return Rect::FromSize(geo_.padding.left, tops_[group],
                          columns_ * (geo_.item.width + geo_.spacingX) - geo_.spacingX,
                          geo_.groupHeader);
}

Rect ListLayout::ItemRect(ListIndex index) const {
    if (index.group < 0 || index.group >= GroupCount() || index.item < 0 ||
        index.item >= counts_[index.group])
        return {};
    const int row = index.item / columns_;
    const int col = index.item % columns_;
    return Rect::FromSize(geo_.padding.left + col * (geo_.item.width + geo_.spacingX),
                          RowsTop(index.group) + row * (geo_.item.height + geo_.spacingY),
                          geo_.item.width, geo_.item.height);
}

ListIndex ListLayout::HitTest(Point p) const {
    const int x = p.x - geo_.padding.left;
    if (x < 0 || counts_.empty())
        return {};
    const int strideX = geo_.item.width + geo_.spacingX;
    const int col = x / strideX;
    if (col >= columns_ || x % strideX >= geo_.item.width)
        return {};
    // The last group whose title starts at or above the point.
    const auto it = std::upper_bound(tops_.begin(), tops_.end(), p.y);
    if (it == tops_.begin())
        return {};
    const int group = static_cast<int>(it - tops_.begin()) - 1;
    const int y = p.y - RowsTop(group);
    if (y < 0)
        return {};
    const int strideY = geo_.item.height + geo_.spacingY;
    const int row = y / strideY;
    if (y % strideY >= geo_.item.height || row >= RowsOf(group))
        return {};
    const int item = row * columns_ + col;
    if (item >= counts_[group])
        return {};
    return ListIndex{group, item};
}

std::vector<ListLayout::Run> ListLayout::VisibleRuns(int top, int bottom) const {
    std::vector<Run> runs;
    if (bottom <= top)
        return runs;
    const int strideY = geo_.item.height + geo_.spacingY;
    for (int g = 0; g < GroupCount(); ++g) {
        const int rows = RowsOf(g);
        if (rows == 0)
            continue;
        const int rowsTop = RowsTop(g);
        const int rowsBottom = rowsTop + rows * strideY - geo_.spacingY;
        if (rowsBottom <= top)
            continue;
        if (rowsTop >= bottom)
            break;
        const int firstRow = std::max(0, (top - rowsTop) / strideY);
        const int lastRow = std::min(rows - 1, (bottom - 1 - rowsTop) / strideY);
        if (lastRow < firstRow)
            continue;
        runs.push_back(Run{g, firstRow * columns_, std::min(counts_[g], (lastRow + 1) * columns_)});
    }
    return runs;
}

}  // namespace pt
