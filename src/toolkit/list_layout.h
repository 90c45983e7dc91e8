// Where the list view's cells lie: groups stacked from top to bottom, each
// with an optional title band, its cells in rows of as many columns as the
// width allows, with spacing between them. Everything is arithmetic on the
// item counts, so a cell's rectangle, the cell under a point and the cells
// inside a band of the content take the same few steps for 10 items or
// 10,000, and inserting or removing one item rebuilds nothing. Coordinates
// are content coordinates: (0, 0) is the top-left of the unscrolled list.
#pragma once

#include <vector>

#include "toolkit/geometry.h"

namespace pt {

struct ListIndex {
    int group = -1;
    int item = -1;
    bool Valid() const { return group >= 0 && item >= 0; }
    friend bool operator==(const ListIndex&, const ListIndex&) = default;
};

struct ListGeometry {
    Size item{80, 80};
    int spacingX = 0;
    int spacingY = 0;
    Insets padding;
    int groupHeader = 0;  // height of each group's title band; 0: none
    int groupGap = 0;     // between the last row of a group and the next title
};

class ListLayout {
  public:
    // `counts`: the number of items of each group.
    ListLayout(const ListGeometry& geometry, int width, std::vector<int> counts);

    int Columns() const { return columns_; }
    int ContentHeight() const { return height_; }
    int GroupCount() const { return static_cast<int>(counts_.size()); }
    // The group's title band (empty when there is none).
    Rect GroupHeaderRect(int group) const;
    // Empty for an index that is not in the list.
    Rect ItemRect(ListIndex index) const;
    // The cell under `p`; not valid for the gaps between cells, the title
    // bands, the padding and the room after the last cell of a group.
    ListIndex HitTest(Point p) const;

    struct Run {
        int group = 0;
        int first = 0;  // the items [first, last) of the group
        int last = 0;
    };
    // The cells whose rows meet the band [top, bottom), group by group.
    std::vector<Run> VisibleRuns(int top, int bottom) const;

  private:
    int RowsOf(int group) const;
    int RowsTop(int group) const { return tops_[group] + geo_.groupHeader; }

    ListGeometry geo_;
    std::vector<int> counts_;
    std::vector<int> tops_;  // top of each group's title band
    int columns_ = 1;
    int height_ = 0;
};

}  // namespace pt
