// Cell arithmetic of the list view (hit testing of cells, gaps and the room
// after the last cell, visible runs, groups) and the scroll-bar thumb.
#include <gtest/gtest.h>

#include "toolkit/list_layout.h"
#include "toolkit/scroll_logic.h"

namespace pt {
namespace {

// Cells 80 × 80 with 5 px between them and 10 px of padding, in a list
// 270 px wide: (270 - 20 + 5) / 85 = 3 columns.
ListGeometry Grid() {
    ListGeometry g;
    g.item = Size{80, 80};
    g.spacingX = 5;
    g.spacingY = 5;
    g.padding = Insets{10, 10, 10, 10};
    return g;
}

TEST(ListLayoutTest, HitTestingCellsGapsAndEmptyRoom) {
    const ListLayout l(Grid(), 270, {7});
    ASSERT_EQ(l.Columns(), 3);
    struct Case {
        const char* what;
        Point p;
        ListIndex want;
    };
    const ListIndex none;
    const Case cases[] = {
        {"first cell, top-left pixel", {10, 10}, {0, 0}},
        {"first cell, bottom-right pixel", {89, 89}, {0, 0}},
        {"gap right of the first cell", {90, 40}, none},
        {"last pixel of the gap", {94, 40}, none},
        {"second cell", {95, 40}, {0, 1}},
        {"gap between rows", {40, 92}, none},
        {"second row", {40, 95}, {0, 3}},
        {"seventh cell alone on row 3", {20, 180}, {0, 6}},
        {"past the last cell, same row", {120, 180}, none},
        {"below the last row", {20, 300}, none},
        {"padding on the left", {5, 40}, none},
        {"padding on top", {40, 5}, none},
        {"right of the last column", {265, 40}, none},
        {"negative", {-1, -1}, none},
    };
    for (const Case& c : cases)
        EXPECT_EQ(l.HitTest(c.p), c.want) << c.what;
}

TEST(ListLayoutTest, RectsAndContentHeight) {
    const ListLayout l(Grid(), 270, {7});
    EXPECT_EQ(l.ItemRect({0, 0}), (Rect{10, 10, 90, 90}));
    EXPECT_EQ(l.ItemRect({0, 4}), (Rect{95, 95, 175, 175}));
    EXPECT_EQ(l.ItemRect({0, 6}), (Rect{10, 180, 90, 260}));
    EXPECT_TRUE(l.ItemRect({0, 7}).IsEmpty());
    EXPECT_TRUE(l.ItemRect({1, 0}).IsEmpty());
    EXPECT_EQ(l.ContentHeight(), 10 + 3 * 80 + 2 * 5 + 10);
    // Every cell's centre hits that cell.
    for (int i = 0; i < 7; ++i) {
        const Rect r = l.ItemRect({0, i});
        EXPECT_EQ(l.HitTest({(r.left + r.right) / 2, (r.top + r.bottom) / 2}), (ListIndex{0, i}));
    }
    // Narrower than one cell: still one column.
    EXPECT_EQ(ListLayout(Grid(), 30, {2}).Columns(), 1);
    EXPECT_EQ(ListLayout(Grid(), 270, {}).ContentHeight(), 20);
}

TEST(ListLayoutTest, GroupsStackWithTitlesAndGaps) {
    ListGeometry g = Grid();
    g.groupHeader = 20;
    g.groupGap = 8;
    const ListLayout l(g, 270, {4, 0, 2});
    // Group 0: title 10..30, rows 30..110 and 115..195. Group 1: title only,
    // 203..223. Group 2: title 231..251, row 251..331.
    EXPECT_EQ(l.GroupHeaderRect(0), (Rect{10, 10, 260, 30}));
    EXPECT_EQ(l.ItemRect({0, 3}), (Rect{10, 115, 90, 195}));
    EXPECT_EQ(l.GroupHeaderRect(1), (Rect{10, 203, 260, 223}));
    EXPECT_EQ(l.ItemRect({2, 1}), (Rect{95, 251, 175, 331}));
    EXPECT_EQ(l.ContentHeight(), 341);
    EXPECT_EQ(l.HitTest({20, 20}), ListIndex{}) << "title band";
    EXPECT_EQ(l.HitTest({20, 210}), ListIndex{}) << "empty group's title";
    EXPECT_EQ(l.HitTest({20, 227}), ListIndex{}) << "gap between groups";
    EXPECT_EQ(l.HitTest({100, 260}), (ListIndex{2, 1}));
    EXPECT_EQ(l.HitTest({100, 120}), ListIndex{}) << "past group 0's last cell";
}

TEST(ListLayoutTest, VisibleRunsCoverOnlyTheBand) {
    // 10,000 items in 3 columns: rows of 85 px.
    const ListLayout l(Grid(), 270, {10000});
    auto runs = l.VisibleRuns(0, 200);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].first, 0);
    EXPECT_EQ(runs[0].last, 9);  // rows 0..2 meet [0, 200)
    runs = l.VisibleRuns(85 * 1000, 85 * 1000 + 300);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].first, 999 * 3);  // the row ending in the band's top padding
    EXPECT_LE(runs[0].last - runs[0].first, 3 * 5);
    runs = l.VisibleRuns(l.ContentHeight() - 100, l.ContentHeight());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].last, 10000);
    EXPECT_TRUE(l.VisibleRuns(300, 300).empty());

    ListGeometry g = Grid();
    g.groupHeader = 20;
    const ListLayout two(g, 270, {3, 3});
    runs = two.VisibleRuns(0, 1000);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].group, 1);
    EXPECT_EQ(runs[1].last, 3);
    runs = two.VisibleRuns(120, 1000);  // below group 0's only row
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].group, 1);
}

TEST(ScrollLogicTest, RangeAndThumb) {
    EXPECT_EQ(MaxScroll(1000, 300), 700);
    EXPECT_EQ(MaxScroll(200, 300), 0);
    EXPECT_EQ(ClampScroll(-5, 1000, 300), 0);
    EXPECT_EQ(ClampScroll(900, 1000, 300), 700);

    struct Case {
        int track, content, view, offset, min;
        ThumbSpan want;
    };
    const Case cases[] = {
        {300, 1000, 300, 0, 20, {0, 90}},
        {300, 1000, 300, 700, 20, {210, 90}},
        {300, 1000, 300, 350, 20, {105, 90}},
        {300, 300, 300, 0, 20, {0, 0}},  // nothing to scroll: no thumb
        // 10,000 rows: the thumb keeps its minimum length and reaches the end.
        {300, 850000, 300, 849700, 20, {280, 20}},
    };
    for (const Case& c : cases) {
        const ThumbSpan t = ThumbFor(c.track, c.content, c.view, c.offset, c.min);
        EXPECT_EQ(t.offset, c.want.offset);
        EXPECT_EQ(t.length, c.want.length);
    }
    // Dragging the thumb maps back onto the whole range.
    EXPECT_EQ(ScrollForThumb(0, 300, 1000, 300, 20), 0);
    EXPECT_EQ(ScrollForThumb(105, 300, 1000, 300, 20), 350);
    EXPECT_EQ(ScrollForThumb(500, 300, 1000, 300, 20), 700);
    EXPECT_EQ(ScrollForThumb(280, 300, 850000, 300, 20), 849700);
    EXPECT_EQ(ScrollForThumb(50, 300, 100, 300, 20), 0);
}

}  // namespace
}  // namespace pt
