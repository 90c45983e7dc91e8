// The pure parts of menus, sliders and popups: the menu tree and its
// keyboard stepping, slider positions under the mouse, and where menus,
// submenus and tooltips land at the edges of a work area.
#include <gtest/gtest.h>

#include <vector>

#include "toolkit/menu_model.h"
#include "toolkit/popup_placement.h"
#include "toolkit/slider_logic.h"

namespace pt {
namespace {

// The group tab menu: items, a submenu with a separator and categories.
MenuModel TabMenu() {
    MenuModel m;
    m.Add(100, "新建分组");
    m.Add(200, "清空分组", kMenuRoot, kMenuItemDisabled);
    m.AddSeparator();
    m.Add(300, "移动到");
    m.Add(301, "左移分组", 300, kMenuItemDisabled);
    m.Add(302, "右移分组", 300);
    m.AddSeparator(300);
    m.Add(311, "工具", 300, kMenuItemChecked);
    m.AddSeparator();
    m.Add(400, "重命名");
    m.Add(500, "删除", kMenuRoot, kMenuItemDisabled);
    return m;
}

TEST(MenuModelTest, AddRefusesBadIdsAndParents) {
    MenuModel m = TabMenu();
    EXPECT_FALSE(m.Add(100, "again")) << "ids are unique";
    EXPECT_FALSE(m.Add(kMenuRoot, "root id"));
    EXPECT_FALSE(m.Add(600, "orphan", 999)) << "unknown parent";
    EXPECT_TRUE(m.AddSeparator(300)) << "separators need no id";
    EXPECT_EQ(m.Find(0), nullptr) << "separators are not found by id";
    ASSERT_NE(m.Find(311), nullptr);
    EXPECT_EQ(m.Find(311)->parent, 300);
    EXPECT_TRUE(m.SetText(400, "改名"));
    EXPECT_EQ(m.Find(400)->text, "改名");
    EXPECT_FALSE(m.SetText(12345, "x"));
    EXPECT_FALSE(m.SetFlag(400, kMenuItemSeparator, true)) << "an item cannot become a separator";
}

TEST(MenuModelTest, ChildrenInOrderAndStateFlags) {
    const MenuModel m = TabMenu();
    const std::vector<size_t> top = m.Children(kMenuRoot);
    ASSERT_EQ(top.size(), 7u);
    std::vector<int> ids;
    for (size_t i : top)
        ids.push_back(m.Items()[i].id);
    EXPECT_EQ(ids, (std::vector<int>{100, 200, 0, 300, 0, 400, 500}));
    EXPECT_EQ(m.Children(300).size(), 4u);
    EXPECT_TRUE(m.HasChildren(300));
    EXPECT_FALSE(m.HasChildren(100));

    struct Case {
        size_t position;
        bool selected;
        unsigned flags;
    } cases[] = {
        {0, false, 0},
        {0, true, kMenuItemSelected},
        {1, false, kMenuItemDisabled},
        {2, false, kMenuItemSeparator},
        {3, false, kMenuItemPopup},
        {3, true, kMenuItemPopup | kMenuItemSelected},
    };
    for (const Case& c : cases)
        EXPECT_EQ(m.StateFlags(top[c.position], c.selected), c.flags) << c.position;
    EXPECT_EQ(m.StateFlags(m.Children(300)[3], false), unsigned{kMenuItemChecked});
}

TEST(MenuModelTest, StepSkipsSeparatorsAndDisabledAndWraps) {
    const MenuModel m = TabMenu();
    const std::vector<size_t> top = m.Children(kMenuRoot);
    // Positions: 0 new, 1 clear (disabled), 2 sep, 3 move, 4 sep, 5 rename, 6 delete (disabled).
    struct Case {
        int from;
        int step;
        int to;
    } cases[] = {
        {-1, +1, 0}, {0, +1, 3}, {3, +1, 5}, {5, +1, 0},  // wraps past the disabled last item
        {-1, -1, 5}, {0, -1, 5}, {5, -1, 3}, {3, -1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(m.Step(top, c.from, c.step), c.to) << c.from << " by " << c.step;

    MenuModel dead;
    dead.Add(1, "a", kMenuRoot, kMenuItemDisabled);
    dead.AddSeparator();
    EXPECT_EQ(dead.Step(dead.Children(kMenuRoot), -1, 1), -1);
    EXPECT_EQ(dead.Step({}, -1, 1), -1);
}

TEST(SliderLogicTest, PositionsMapToThumbOffsetsAndBack) {
    // The speed slider: 0..25 on 150 pixels with a 20-pixel thumb (130 of travel).
    SliderLogic s;
    s.SetRange(0, 25);
    s.SetGeometry(150, 20);
    struct Case {
        int position;
        int offset;
    } cases[] = {{0, 0}, {5, 26}, {13, 68}, {25, 130}};
    for (const Case& c : cases) {
        s.SetPosition(c.position);
        EXPECT_EQ(s.ThumbOffset(), c.offset) << c.position;
        EXPECT_EQ(s.PositionAt(c.offset + 10), c.position) << "the thumb's centre maps back";
    }
    EXPECT_EQ(s.PositionAt(-50), 0);
    EXPECT_EQ(s.PositionAt(500), 25);
    EXPECT_FALSE(s.SetPosition(99)) << "clamped to 25, where it already is";
    EXPECT_EQ(s.Position(), 25);

    SliderLogic reversed;
    reversed.SetRange(10, -10);
    EXPECT_EQ(reversed.Minimum(), -10);
    EXPECT_EQ(reversed.Maximum(), 10);
    reversed.SetGeometry(10, 40);  // a thumb longer than the track: no travel
    EXPECT_EQ(reversed.PositionAt(7), -10);
    EXPECT_EQ(reversed.ThumbOffset(), 0);
}

TEST(SliderLogicTest, PressOnTrackJumpsDragKeepsTheGrabPoint) {
    SliderLogic s;
    s.SetRange(0, 25);
    s.SetGeometry(150, 20);
    s.SetPosition(0);
    // Press on the thumb's right part: no jump, and the grab point stays.
    EXPECT_FALSE(s.Press(15));
    EXPECT_TRUE(s.Dragging());
    EXPECT_TRUE(s.Drag(15 + 26));
    EXPECT_EQ(s.Position(), 5);
    EXPECT_EQ(s.ThumbOffset(), 26);
    EXPECT_FALSE(s.Drag(15 + 27)) << "less than a step: the position stays";
    s.Release();
    EXPECT_FALSE(s.Drag(140)) << "no drag after release";
    // Press on the track: the thumb's centre jumps under the mouse.
    EXPECT_TRUE(s.Press(78));
    EXPECT_EQ(s.Position(), 13);
    EXPECT_TRUE(s.Drag(200));
    EXPECT_EQ(s.Position(), 25);
    s.Release();
    s.Hover(s.ThumbOffset() + 3);
    EXPECT_TRUE(s.ThumbHover());
    s.Hover(2);
    EXPECT_FALSE(s.ThumbHover());
}

const Rect kWork{0, 0, 1280, 760};  // a work area above a 40-pixel taskbar

TEST(PopupPlacementTest, MenusFlipAtTheRightAndBottomEdges) {
    struct Case {
        Point at;
        Rect expect;
    } cases[] = {
        {{100, 100}, {100, 100, 300, 250}},     // room everywhere
        {{1200, 100}, {1000, 100, 1200, 250}},  // opens to the left of the point
        {{100, 700}, {100, 550, 300, 700}},     // opens above
        {{1270, 750}, {1070, 600, 1270, 750}},  // both
        {{-30, 10}, {0, 10, 200, 160}},         // a point off the area is pulled in
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceMenu(c.at, Size{200, 150}, kWork), c.expect) << c.at.x << "," << c.at.y;
    // Taller than the area: its top edge on the area's.
    EXPECT_EQ(PlaceMenu(Point{10, 10}, Size{100, 900}, kWork).top, 0);
}

TEST(PopupPlacementTest, SubmenusOpenBesideTheirItem) {
    const Rect parent{100, 100, 300, 400};
    const Rect item{101, 150, 299, 178};
    EXPECT_EQ(PlaceSubmenu(item, parent, Size{150, 100}, kWork, 4, 2), (Rect{298, 146, 448, 246}));
    // No room on the right: on the left, overlapping by the same amount.
    const Rect right{1100, 100, 1270, 400};
    const Rect rightItem{1101, 150, 1269, 178};
    EXPECT_EQ(PlaceSubmenu(rightItem, right, Size{150, 100}, kWork, 4, 2),
              (Rect{952, 146, 1102, 246}));
    // Near the bottom it grows upwards from the item.
    const Rect lowItem{101, 720, 299, 748};
    EXPECT_EQ(PlaceSubmenu(lowItem, parent, Size{150, 100}, kWork, 4, 2).bottom, 752);
}

TEST(PopupPlacementTest, TooltipsStayInsideTheWorkArea) {
    const Size tip{180, 60};
    struct Case {
        Rect anchor;
        Rect expect;
    } cases[] = {
        {{400, 300, 480, 380}, {400, 382, 580, 442}},      // below, at the anchor's left
        {{400, 700, 480, 740}, {400, 638, 580, 698}},      // no room below: above
        {{1200, 300, 1270, 380}, {1100, 382, 1280, 442}},  // pushed left off the right edge
        {{-20, 10, 40, 30}, {0, 32, 180, 92}},             // pulled right onto the area
        {{1250, 740, 1270, 760}, {1100, 678, 1280, 738}},  // the bottom-right corner
    };
    for (const Case& c : cases) {
        const Rect r = PlaceTooltip(c.anchor, tip, kWork);
        EXPECT_EQ(r, c.expect) << c.anchor.left << "," << c.anchor.top;
        EXPECT_EQ(KeepInside(r, kWork), r) << "inside";
    }
}

}  // namespace
}  // namespace pt
