// The list view in a real window: hit testing of cells, gaps and the room
// past the last cell; clicks, double clicks, right-button releases, hover
// rest and end, drag start past the threshold; selection on press and its
// refusal by a handler; the wheel and the scroll bar within their limits;
// 10,000 items of which only the visible cells are painted; single-item
// insert, remove and move keeping the selection on its item; item
// rectangles in window and screen coordinates; templates from the resource
// archive drawn with per-item colours and the selected-only mark; the paint
// hook drawing over the cells; and the scroll view.
#include <gtest/gtest.h>

#include <windows.h>

#include "toolkit/list_view.h"
#include "toolkit/render_cache.h"
#include "toolkit/scroll_bar.h"
#include "toolkit/scroll_view.h"
#include "ui_harness.h"

namespace pt {
namespace {

using test::Centre;

// 80 × 60 cells, 10 px apart, 10 px of padding, in a list 300 × 200:
// (300 - 20 + 10) / 90 = 3 columns, rows every 70 px.
ItemTemplate PlainTemplate() {
    ItemTemplate t;
    EXPECT_TRUE(ParseItemTemplate(
        "<item width='80' height='60' hover-fill='0,0,0,20' selected-fill='0,0,255,60'>"
        "<shape name='name' top='40' height='20' align='center'/></item>",
        t));
    return t;
}

struct Events {
    std::vector<std::pair<ElementEvent, ListIndex>> log;
    void Attach(ListView* list) {
        for (ElementEvent e :
             {kListItemClick, kListItemDoubleClick, kListItemRButtonUp, kListHoverRest,
              kListHoverEnd, kListDragStart, kListSelectionChanged}) {
            list->On(e, [this](Element&, const ElementEventArgs& a, bool&) {
                log.emplace_back(a.event, ListView::EventIndex(a));
            });
        }
    }
    int Count(ElementEvent e) const {
        int n = 0;
        for (const auto& [ev, i] : log)
            n += ev == e ? 1 : 0;
        return n;
    }
    ListIndex Last(ElementEvent e) const {
        for (auto it = log.rbegin(); it != log.rend(); ++it) {
            if (it->first == e)
                return it->second;
        }
        return {};
    }
};

class ListViewTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(InitToolkit());
        window_ = test::MakeTestWindow(340, 240);
        ASSERT_TRUE(window_);
        guard_ = std::make_unique<test::WindowGuard>(window_);
        hwnd_ = window_->Hwnd();
        window_->Root().SetPadding(20, 20, 20, 20);
        list_ = window_->Root().Add<ListView>();
        list_->SetFixedSize(300, 200);
        list_->SetPadding(10, 10, 10, 10);
        list_->SetTemplate(PlainTemplate());
        list_->SetSpacing(10, 10);
        list_->SetHoverTime(50);
        list_->SetDragThreshold(5);
        window_->AdjustLayout();
        events_.Attach(list_);
    }
    void Fill(int n) {
        for (int i = 0; i < n; ++i) {
            ListItem item;
            item.texts["name"] = "item " + std::to_string(i);
            item.userData = i;
            list_->AddItem(std::move(item));
        }
    }
    // A point of the list view (its own coordinates) in window coordinates.
    Point W(Point p) const {
        const Rect r = list_->WindowRect();
        return Point{r.left + p.x, r.top + p.y};
    }
    Point CellCentre(int item) const { return Centre(list_->ItemWindowRect({0, item})); }

    Window* window_ = nullptr;
    std::unique_ptr<test::WindowGuard> guard_;
    HWND hwnd_ = nullptr;
    ListView* list_ = nullptr;
    Events events_;
};

TEST_F(ListViewTest, HitTestingCellsGapsAndPastTheLastCell) {
    Fill(7);
    // The arithmetic is tested natively; here, as the list places it.
    EXPECT_EQ(list_->HitTest({89, 69}), (ListIndex{0, 0}));
    EXPECT_EQ(list_->HitTest({95, 30}), ListIndex{}) << "gap between columns";
    EXPECT_EQ(list_->HitTest({30, 75}), ListIndex{}) << "gap between rows";
    EXPECT_EQ(list_->HitTest({30, 160}), (ListIndex{0, 6}));
    EXPECT_EQ(list_->HitTest({120, 160}), ListIndex{}) << "past the last cell on its row";

    // The same through the mouse: a click on a gap selects nothing and
    // clicks nothing.
    test::Click(hwnd_, W({95, 30}));
    EXPECT_EQ(events_.Count(kListItemClick), 0);
    EXPECT_FALSE(list_->Selected().Valid());
    test::Click(hwnd_, W({200, 30}));
    EXPECT_EQ(events_.Last(kListItemClick), (ListIndex{0, 2}));
    EXPECT_EQ(list_->Selected(), (ListIndex{0, 2}));
    EXPECT_EQ(events_.Last(kListSelectionChanged), (ListIndex{0, 2}));
    test::Click(hwnd_, W({120, 160}));
    EXPECT_FALSE(list_->Selected().Valid()) << "a press past the last cell clears the selection";
    EXPECT_EQ(events_.Count(kListItemClick), 1);
}

TEST_F(ListViewTest, PressHandledByTheProgramKeepsTheSelection) {
    Fill(4);
    list_->SetSelected({0, 1});
    // The skin window: a press where no item is hit changes nothing.
    list_->On(ElementEvent::kLButtonDown, [&](Element&, const ElementEventArgs& a, bool& handled) {
        handled = !list_->HitTest(a.point).Valid();
    });
    test::Click(hwnd_, W({95, 30}));
    EXPECT_EQ(list_->Selected(), (ListIndex{0, 1}));
    test::Click(hwnd_, CellCentre(3));
    EXPECT_EQ(list_->Selected(), (ListIndex{0, 3}));
}

TEST_F(ListViewTest, ClickDoubleClickRightButtonAndDrag) {
    Fill(5);
    // A double click is one click and one double click, not two clicks.
    test::DoubleClick(hwnd_, CellCentre(1));
    EXPECT_EQ(events_.Count(kListItemClick), 1);
    EXPECT_EQ(events_.Last(kListItemDoubleClick), (ListIndex{0, 1}));
    // Right-button release on a cell and on a gap.
    test::RightClick(hwnd_, CellCentre(4));
    EXPECT_EQ(events_.Last(kListItemRButtonUp), (ListIndex{0, 4}));
    test::RightClick(hwnd_, W({95, 30}));
    EXPECT_EQ(events_.Count(kListItemRButtonUp), 2);
    EXPECT_FALSE(events_.Last(kListItemRButtonUp).Valid());
    // Released on another cell: no click.
    test::LeftDown(hwnd_, CellCentre(0));
    test::LeftUp(hwnd_, CellCentre(2));
    EXPECT_EQ(events_.Count(kListItemClick), 1);

    // Moving less than the threshold is still a click; past it, a drag
    // starts once and the release clicks nothing.
    const Point from = CellCentre(2);
    test::LeftDown(hwnd_, from);
    test::MouseMove(hwnd_, Point{from.x + 4, from.y}, MK_LBUTTON);
    EXPECT_EQ(events_.Count(kListDragStart), 0);
    test::LeftUp(hwnd_, Point{from.x + 4, from.y});
    EXPECT_EQ(events_.Count(kListItemClick), 2);
    test::LeftDown(hwnd_, from);
    test::MouseMove(hwnd_, Point{from.x, from.y + 5}, MK_LBUTTON);
    test::MouseMove(hwnd_, Point{from.x, from.y + 30}, MK_LBUTTON);
    EXPECT_EQ(events_.Count(kListDragStart), 1);
    EXPECT_EQ(events_.Last(kListDragStart), (ListIndex{0, 2}));
    test::LeftUp(hwnd_, from);
    EXPECT_EQ(events_.Count(kListItemClick), 2);
}

TEST_F(ListViewTest, HoverRestAndEnd) {
    Fill(3);
    test::MouseMove(hwnd_, CellCentre(0));
    EXPECT_EQ(list_->Hovered(), (ListIndex{0, 0}));
    ASSERT_TRUE(test::PollUntil([&] { return events_.Count(kListHoverRest) == 1; }));
    EXPECT_EQ(events_.Last(kListHoverRest), (ListIndex{0, 0}));
    // Moving within the cell does not rest again.
    test::MouseMove(hwnd_, Point{CellCentre(0).x + 3, CellCentre(0).y});
    test::PollUntil([] { return false; }, 150);
    EXPECT_EQ(events_.Count(kListHoverRest), 1);
    // Onto a gap: the rest ends; then onto another cell and out of the list.
    test::MouseMove(hwnd_, W({95, 30}));
    EXPECT_EQ(events_.Last(kListHoverEnd), (ListIndex{0, 0}));
    EXPECT_FALSE(list_->Hovered().Valid());
    test::MouseMove(hwnd_, CellCentre(2));
    ASSERT_TRUE(test::PollUntil([&] { return events_.Count(kListHoverRest) == 2; }));
    test::MouseMove(hwnd_, Point{5, 5});
    EXPECT_EQ(events_.Count(kListHoverEnd), 2);
    EXPECT_EQ(events_.Last(kListHoverEnd), (ListIndex{0, 2}));
}

TEST_F(ListViewTest, WheelAndBarStayWithinTheirLimits) {
    Fill(30);  // 10 rows: 10 + 10 × 60 + 9 × 10 + 10 = 710 px in a 200 px view
    ASSERT_EQ(list_->ContentHeight(), 710);
    ASSERT_EQ(list_->MaxScrollY(), 510);
    const Point inside = CellCentre(0);
    test::Wheel(hwnd_, inside, 120);
    EXPECT_EQ(list_->ScrollY(), 0) << "not above the top";
    test::Wheel(hwnd_, inside, -120);
    EXPECT_EQ(list_->ScrollY(), 70) << "one row per notch";
    for (int i = 0; i < 20; ++i)
        test::Wheel(hwnd_, inside, -120);
    EXPECT_EQ(list_->ScrollY(), 510) << "not below the bottom";
    EXPECT_EQ(list_->HitTest({30, 180}), (ListIndex{0, 27})) << "hit testing follows the scroll";

    // The bar: its thumb dragged to the top, then a press on the track below
    // it pages down.
    ScrollBar* bar = list_->Bar();
    ASSERT_TRUE(bar->IsVisible());
    const Rect thumb = bar->ThumbRect();
    EXPECT_EQ(thumb.bottom, bar->WindowRect().bottom);
    test::LeftDown(hwnd_, Centre(thumb));
    test::MouseMove(hwnd_, Point{Centre(thumb).x, 0}, MK_LBUTTON);
    test::LeftUp(hwnd_, Point{Centre(thumb).x, 0});
    EXPECT_EQ(list_->ScrollY(), 0);
    test::Click(hwnd_, Point{Centre(thumb).x, bar->WindowRect().bottom - 2});
    EXPECT_EQ(list_->ScrollY(), 200) << "a page is the view's height";

    // Fewer items: the offset comes back into range and the bar goes.
    while (list_->ItemCount() > 3)
        list_->RemoveItem({0, list_->ItemCount() - 1});
    EXPECT_EQ(list_->ScrollY(), 0);
    EXPECT_FALSE(bar->IsVisible());
    test::Wheel(hwnd_, CellCentre(0), -120);
    EXPECT_EQ(list_->ScrollY(), 0);
}

TEST_F(ListViewTest, TenThousandItemsPaintOnlyTheVisibleCells) {
    Fill(10000);
    window_->PaintNow();
    // 200 px high: rows 0, 1, 2 meet the view (the third one in part).
    EXPECT_EQ(list_->PaintedCellCount(), 9);
    list_->SetScrollY(list_->MaxScrollY());
    window_->PaintNow();
    EXPECT_LE(list_->PaintedCellCount(), 12);
    EXPECT_GE(list_->PaintedCellCount(), 7);
    const ListIndex last{0, 9999};
    const Rect r = list_->ItemRect(last);
    EXPECT_LE(r.bottom, 200) << "the last cell is in view at the end";
    EXPECT_EQ(list_->HitTest(Centre(r)), last);
    list_->EnsureVisible({0, 5000});
    const Rect mid = list_->ItemRect({0, 5000});
    EXPECT_GE(mid.top, 0);
    EXPECT_LE(mid.bottom, 200);
}

TEST_F(ListViewTest, InsertRemoveMoveKeepTheSelectionOnItsItem) {
    Fill(6);
    list_->SetSelected({0, 3});
    const auto selectedData = [&] { return list_->ItemUserData(list_->Selected()); };
    ListItem fresh;
    fresh.userData = 100;
    EXPECT_EQ(list_->InsertItem({0, 0}, fresh), 0);
    EXPECT_EQ(list_->Selected(), (ListIndex{0, 4}));
    EXPECT_EQ(selectedData(), 3);
    EXPECT_EQ(list_->InsertItem({0, 99}, fresh), 7) << "past the end appends";
    EXPECT_TRUE(list_->RemoveItem({0, 1}));
    EXPECT_EQ(selectedData(), 3);
    EXPECT_TRUE(list_->MoveItem(0, 3, 0));  // the selected item to the front
    EXPECT_EQ(list_->Selected(), (ListIndex{0, 0}));
    EXPECT_TRUE(list_->MoveItem(0, 1, 5));  // another one past it
    EXPECT_EQ(selectedData(), 3);
    EXPECT_TRUE(list_->MoveItem(0, 0, 6));
    EXPECT_EQ(list_->Selected(), (ListIndex{0, 6}));
    EXPECT_FALSE(list_->MoveItem(0, 0, 7));
    EXPECT_TRUE(list_->RemoveItem(list_->Selected()));
    EXPECT_FALSE(list_->Selected().Valid());
    EXPECT_FALSE(list_->RemoveItem({0, 6}));
    EXPECT_FALSE(list_->RemoveItem({1, 0}));
    EXPECT_EQ(list_->InsertItem({3, 0}, fresh), -1);

    // Updating one item: text, colour and user data.
    EXPECT_TRUE(list_->SetItemText({0, 2}, "name", "新的名字"));
    EXPECT_EQ(list_->ItemText({0, 2}, "name"), "新的名字");
    EXPECT_TRUE(list_->SetItemTextColor({0, 2}, MakeColor(192, 192, 192)));
    EXPECT_EQ(*list_->Item({0, 2})->textColor, MakeColor(192, 192, 192));
    EXPECT_FALSE(list_->SetItemText({0, 50}, "name", "x"));
}

TEST_F(ListViewTest, GroupsAndItemRectangles) {
    list_->SetGroupHeaderHeight(20);
    Fill(2);
    const int g = list_->AddGroup("第二组");
    ListItem item;
    list_->AddItem(item, g);
    list_->AddItem(item, g);
    EXPECT_EQ(list_->ItemCount(g), 2);
    // Group 0: title 10..30, row 30..90; group 1: title 90..110, row 110..170.
    EXPECT_EQ(list_->ItemRect({1, 1}), (Rect{100, 110, 180, 170}));
    EXPECT_EQ(list_->HitTest({110, 140}), (ListIndex{1, 1}));
    EXPECT_EQ(list_->HitTest({110, 100}), ListIndex{}) << "a title band is no cell";
    const Rect client = list_->ItemRect({1, 0});
    const Rect win = list_->ItemWindowRect({1, 0});
    const Rect screen = list_->ItemScreenRect({1, 0});
    EXPECT_EQ(win, client.Offset(list_->WindowRect().left, list_->WindowRect().top));
    POINT p{win.left, win.top};
    ::ClientToScreen(hwnd_, &p);
    EXPECT_EQ(screen.left, p.x);
    EXPECT_EQ(screen.top, p.y);
    EXPECT_EQ(screen.Width(), 80);
    EXPECT_TRUE(list_->ItemScreenRect({1, 2}).IsEmpty());
}

TEST_F(ListViewTest, PaintHookDrawsOverTheCells) {
    Fill(3);
    list_->SetSelected({0, 0});  // a filled cell underneath
    const Rect cell = list_->ItemWindowRect({0, 0});
    int calls = 0;
    list_->On(ElementEvent::kPaint, [&](Element&, const ElementEventArgs& a, bool&) {
        ++calls;
        a.canvas->FillRect(Rect::FromSize(cell.left, cell.top, 10, 10), MakeColor(255, 0, 0));
    });
    window_->PaintNow();
    EXPECT_EQ(calls, 1);
    const uint32_t px = window_->BackBuffer().At(cell.left + 5, cell.top + 5);
    EXPECT_EQ(px & 0xFFFFFF, 0xFF0000u) << "the marker lies over the cell";
}

// Reads pixels of a cell's parts drawn from the shipped skin template.
TEST(ListViewTemplateTest, SkinCellsShowTheirColourAndTheSelectedMark) {
    ASSERT_TRUE(InitToolkit());
    ASSERT_TRUE(
        test::LoadSourceArchive({"layout/item/listview.skin.xml", "res/appframework/tag.svg"}));
    Window* w = test::MakeTestWindow(520, 260);
    ASSERT_TRUE(w);
    test::WindowGuard guard(w);
    auto* list = w->Root().Add<ListView>();
    list->SetFixedSize(480, 240);
    EXPECT_FALSE(list->LoadTemplate("layout\\item\\nothing.xml"));
    ASSERT_TRUE(list->LoadTemplate("layout\\item\\listview.skin.xml"));
    EXPECT_EQ(list->ItemSize(), (Size{150, 100}));
    list->SetSpacing(5, 5);
    const Color colours[] = {-12366369, -9915902};  // 中国红, 自然绿
    for (Color c : colours) {
        ListItem item;
        item.texts["name"] = "皮肤";
        item.colors["swatch"] = c;
        item.userData = c;
        list->AddItem(std::move(item));
    }
    w->AdjustLayout();
    const auto pixel = [&](int item, int dx, int dy) {
        const Rect r = list->ItemWindowRect({0, item});
        return w->BackBuffer().At(r.left + dx, r.top + dy) & 0xFFFFFF;
    };
    const auto rgb = [](Color c) {
        return static_cast<uint32_t>(ColorRed(c) << 16 | ColorGreen(c) << 8 | ColorBlue(c));
    };
    w->PaintNow();
    // Inside the swatch (5..145 × 5..70), away from the tag's corner.
    EXPECT_EQ(pixel(0, 40, 50), rgb(colours[0]));
    EXPECT_EQ(pixel(1, 40, 50), rgb(colours[1]));
    // The tag (110..145 × 5..40) shows on the selected cell only; the
    // swatch's rounded corner is left out.
    const auto tagDiffers = [&](int item) {
        int n = 0;
        for (int y = 10; y < 40; ++y) {
            for (int x = 110; x < 140; ++x)
                n += pixel(item, x, y) != rgb(colours[item]) ? 1 : 0;
        }
        return n;
    };
    EXPECT_EQ(tagDiffers(0), 0);
    list->SetSelected({0, 0});
    w->PaintNow();
    EXPECT_GT(tagDiffers(0), 20);
    EXPECT_EQ(tagDiffers(1), 0);
}

// Pictures drawn through the cache stay true to what they show: another
// colour or text is another picture, and an image freed and replaced (even
// at the same address) is rendered anew.
TEST(RenderCacheTest, PicturesFollowTheirSource) {
    ASSERT_TRUE(InitToolkit());
    PixelBuffer px(64, 32);
    Gdiplus::Bitmap target(64, 32, 64 * 4, PixelFormat32bppPARGB,
                           reinterpret_cast<BYTE*>(px.Data()));
    Gdiplus::Graphics g(&target);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    Canvas canvas(g);
    RenderCache cache(2);
    const auto square = [](const char* colour) {
        return std::shared_ptr<Image>(SvgImage::FromBytes(
            std::string("<svg viewBox='0 0 10 10'><rect width='10' height='10' fill='") + colour +
            "'/></svg>"));
    };
    const Rect box{0, 0, 16, 16};
    const auto centre = [&] {
        g.Flush(Gdiplus::FlushIntentionSync);
        return px.At(8, 8) & 0xFFFFFF;
    };
    auto red = square("#FF0000");
    cache.DrawImage(canvas, red, box);
    EXPECT_EQ(centre(), 0xFF0000u);
    red.reset();
    auto blue = square("#0000FF");
    cache.DrawImage(canvas, blue, box);
    EXPECT_EQ(centre(), 0x0000FFu);

    const std::shared_ptr<Font> font = Font::Create("微软雅黑", 9);
    ASSERT_TRUE(font);
    const auto inkOf = [&](Color c) {
        px.Clear(0);
        cache.DrawText(canvas, "W", *font, c, Rect{20, 0, 60, 30}, TextFormat{});
        g.Flush(Gdiplus::FlushIntentionSync);
        int reds = 0, greens = 0;
        for (int y = 0; y < 30; ++y) {
            for (int x = 20; x < 60; ++x) {
                const uint32_t p = px.At(x, y);
                reds += ((p >> 16) & 255) > 128 && ((p >> 8) & 255) < 64;
                greens += ((p >> 8) & 255) > 128 && ((p >> 16) & 255) < 64;
            }
        }
        return std::pair<int, int>(reds, greens);
    };
    EXPECT_GT(inkOf(MakeColor(255, 0, 0)).first, 3);
    EXPECT_EQ(inkOf(MakeColor(0, 255, 0)).first, 0);
    EXPECT_GT(inkOf(MakeColor(0, 255, 0)).second, 3);
    EXPECT_EQ(cache.Count(), 2u) << "the oldest picture made room";

    // Images that stand for one shared image draw from one picture of it.
    struct StandIn final : Image {
        explicit StandIn(std::shared_ptr<Image> real) : real_(std::move(real)) {}
        Size NaturalSize() const override { return real_->NaturalSize(); }
        void Draw(Gdiplus::Graphics& graphics, const Rect& r) const override {
            real_->Draw(graphics, r);
        }
        std::shared_ptr<Image> StandsFor() const override { return real_; }
        std::shared_ptr<Image> real_;
    };
    RenderCache shared(8);
    const auto green = square("#00FF00");
    for (int i = 0; i < 3; ++i) {
        shared.DrawImage(canvas, std::make_shared<StandIn>(green), box);
        EXPECT_EQ(centre(), 0x00FF00u);
    }
    EXPECT_EQ(shared.Count(), 1u);
}

TEST(ScrollViewTest, ScrollsContentClipsAndPassesTheWheel) {
    ASSERT_TRUE(InitToolkit());
    Window* w = test::MakeTestWindow(300, 300);
    ASSERT_TRUE(w);
    test::WindowGuard guard(w);
    HWND h = w->Hwnd();
    auto* top = w->Root().Add<Element>();
    top->SetFixedSize(300, 50);
    auto* view = w->Root().Add<ScrollView>();
    view->SetFixedSize(300, 200);
    view->Content().SetPadding(10, 10, 10, 10);
    view->Content().SetSpacing(10);
    std::vector<Button*> rows;
    for (int i = 0; i < 12; ++i) {
        auto* b = view->Content().Add<Button>("row " + std::to_string(i));
        b->SetFixedSize(200, 30);
        rows.push_back(b);
    }
    // A small list inside that scrolls by itself.
    auto* inner = view->Content().Add<ListView>();
    inner->SetFixedSize(200, 100);
    inner->SetTemplate(PlainTemplate());
    for (int i = 0; i < 12; ++i)
        inner->AddItem(ListItem{});
    w->AdjustLayout();
    // 12 rows of 30 + list 100 + 12 gaps of 10 + 20 padding = 600.
    EXPECT_EQ(view->ContentHeight(), 600);
    EXPECT_EQ(view->MaxScrollY(), 400);
    const Point mid = Centre(view->WindowRect());
    test::Wheel(h, mid, 120);
    EXPECT_EQ(view->ScrollY(), 0);
    test::Wheel(h, mid, -120 * 20);
    EXPECT_EQ(view->ScrollY(), 400);
    EXPECT_EQ(rows[0]->WindowRect().top, 50 + 10 - 400) << "the content moved up";
    // A row scrolled above the view is not hit there: the strip above the
    // view belongs to what lies there.
    EXPECT_EQ(w->ElementAt(Point{50, 20}), top);
    // The inner list takes the wheel while it can scroll, then passes it on.
    const Point inList = Centre(inner->WindowRect());
    test::Wheel(h, inList, -120);
    EXPECT_GT(inner->ScrollY(), 0);
    EXPECT_EQ(view->ScrollY(), 400);
    inner->SetScrollY(0);
    test::Wheel(h, inList, 120);
    EXPECT_EQ(view->ScrollY(), 400 - 48) << "the list was at its top: the page scrolls";
    // Bringing a row into view.
    view->ScrollIntoView(*rows[1]);
    EXPECT_GE(rows[1]->WindowRect().top, view->WindowRect().top);
    EXPECT_EQ(view->ScrollY(), 50);
    // Taller view than content: nothing to scroll, no bar.
    view->SetFixedSize(300, 650);
    w->AdjustLayout();
    EXPECT_EQ(view->ScrollY(), 0);
    EXPECT_FALSE(view->Bar()->IsVisible());
}

}  // namespace
}  // namespace pt
