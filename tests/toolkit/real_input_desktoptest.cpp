// The toolkit under real input (SendInput), as a user drives it: buttons and
// check boxes clicked at their place on the screen, a menu chosen with the
// mouse and the keyboard, its submenu opened by resting on an item, a click
// outside closing it, the slider dragged, and a tooltip appearing when the
// mouse rests on an element and going when it moves on. These tests share
// the pointer and the keyboard with the whole display, so they run alone.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "toolkit/ui_probe.h"
#include "toolkit/menu.h"
#include "toolkit/slider.h"
#include "toolkit/toolkit.h"
#include "toolkit/tooltip.h"
#include "toolkit_test_util.h"

namespace pt {
namespace {

using test::PollUntil;

class DesktopEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        ASSERT_TRUE(InitToolkit());
        SetTooltipDelay(150);
    }
};
[[maybe_unused]] testing::Environment* const g_env =
    testing::AddGlobalTestEnvironment(new DesktopEnvironment);

// A window on top, away from where the other toolkit tests put theirs.
Window* MakeShownWindow(int width = 320, int height = 220) {
    WindowOptions o;
    o.x = 760;
    o.y = 120;
    o.width = width;
    o.height = height;
    o.title = "输入";
    o.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Window* w = Window::Create(o);
    if (!w)
        return nullptr;
    w->Root().SetPadding(10, 10, 10, 10);
    w->Root().SetSpacing(10);
    return w;
}

void Show(Window& w) {
    w.AdjustLayout();
    w.ShowWindow(SW_SHOW);
    ::SetForegroundWindow(w.Hwnd());
    test::PumpFor(50);
}

// Parks the pointer on the bare screen, away from every test window.
void ParkPointer() {
    probe::MoveMouse(Point{20, 700});
    test::PumpFor(30);
}

TEST(RealInputTest, ButtonsAndCheckBoxesAnswerClicksAtTheirPlace) {
    ParkPointer();
    Window* w = MakeShownWindow();
    ASSERT_TRUE(w);
    auto* push = w->Root().Add<Button>("确定");
    push->SetName("ok");
    push->SetFixedSize(80, 28);
    auto* check = w->Root().Add<Button>("开机时自动启动");
    check->SetName("autostart");
    check->SetCheckMode(true);
    check->SetFixedSize(160, 25);
    auto* off = w->Root().Add<Button>("取消");
    off->SetName("cancel");
    off->SetFixedSize(80, 28);
    off->SetEnabled(false);
    int clicks = 0;
    int offClicks = 0;
    push->On(ElementEvent::kClick, [&](Element&, const ElementEventArgs&, bool&) { ++clicks; });
    off->On(ElementEvent::kClick, [&](Element&, const ElementEventArgs&, bool&) { ++offClicks; });
    Show(*w);

    Element* ok = probe::Find(w->Hwnd(), "ok");
    ASSERT_EQ(ok, push);
    ASSERT_TRUE(probe::MoveMouse(probe::ScreenCentre(*ok)));
    EXPECT_TRUE(PollUntil([&] { return push->State() == VisualState::kHover; }));
    ASSERT_TRUE(probe::Click(*ok));
    EXPECT_TRUE(PollUntil([&] { return clicks == 1; }));

    Element* box = probe::Find(w->Hwnd(), "autostart");
    ASSERT_TRUE(box);
    EXPECT_FALSE(probe::Read(*box).checked);
    ASSERT_TRUE(probe::Click(*box));
    EXPECT_TRUE(PollUntil([&] { return probe::Read(*box).checked; }));
    ASSERT_TRUE(probe::Click(*box));
    EXPECT_TRUE(PollUntil([&] { return !probe::Read(*box).checked; }));

    Element* cancel = probe::Find(w->Hwnd(), "cancel");
    ASSERT_TRUE(cancel);
    EXPECT_FALSE(probe::Read(*cancel).enabled);
    ASSERT_TRUE(probe::Click(*cancel));
    test::PumpFor(150);
    EXPECT_EQ(offClicks, 0);
    EXPECT_EQ(clicks, 1);
    w->Destroy();
}

struct MenuOwner {
    Window* window = nullptr;
    std::vector<int> chosen;
    int ownerPresses = 0;
};

void BuildMenuOwner(MenuOwner& o) {
    o.window = MakeShownWindow();
    if (!o.window)
        return;
    o.window->OnMessage([&o](Window&, WindowMessage& m, bool&) {
        if (m.message == kMsgMenuSelect)
            o.chosen.push_back(static_cast<int>(m.wParam));
        if (m.message == WM_LBUTTONDOWN)
            ++o.ownerPresses;
    });
    Show(*o.window);
}

std::shared_ptr<Menu> TabMenu() {
    auto menu = Menu::Create();
    menu->AddItem(100, "新建分组");
    menu->AddItem(200, "清空分组", kMenuRoot, kMenuItemDisabled);
    menu->AddSeparator();
    menu->AddItem(300, "移动到");
    menu->AddItem(301, "左移分组", 300);
    menu->AddItem(312, "工具", 300);
    menu->AddItem(400, "重命名");
    return menu;
}

Point ItemCentre(const Menu& menu, int id) {
    Rect r;
    if (!menu.ItemScreenRect(id, r))
        return Point{-1, -1};
    return test::Centre(r);
}

TEST(RealInputTest, MenuChosenByMouseAndKeyboardAndClosedByAClickOutside) {
    ParkPointer();
    MenuOwner o;
    BuildMenuOwner(o);
    ASSERT_TRUE(o.window);
    const Rect owner = o.window->GetRect();
    auto menu = TabMenu();

    // A click on an item chooses it.
    ASSERT_TRUE(menu->Popup(o.window->Hwnd(), Point{owner.left + 20, owner.top + 20}));
    ASSERT_TRUE(probe::Click(ItemCentre(*menu, 400)));
    ASSERT_TRUE(PollUntil([&] { return !o.chosen.empty(); }));
    EXPECT_EQ(o.chosen, (std::vector<int>{400}));
    EXPECT_FALSE(menu->IsOpen());

    // Resting on the submenu item opens it; a click inside chooses there.
    o.chosen.clear();
    ASSERT_TRUE(menu->Popup(o.window->Hwnd(), Point{owner.left + 20, owner.top + 20}));
    ASSERT_TRUE(probe::MoveMouse(ItemCentre(*menu, 300)));
    ASSERT_TRUE(PollUntil([&] { return menu->OpenWindows().size() == 2; }));
    EXPECT_EQ(menu->SelectedId(), 300);
    const Point tools = ItemCentre(*menu, 312);
    ASSERT_TRUE(probe::MoveMouse(tools));
    EXPECT_TRUE(PollUntil([&] { return menu->SelectedId() == 312; }));
    EXPECT_EQ(menu->OpenWindows().size(), 2u) << "moving into the submenu keeps it";
    ASSERT_TRUE(probe::Click(tools));
    ASSERT_TRUE(PollUntil([&] { return !o.chosen.empty(); }));
    EXPECT_EQ(o.chosen, (std::vector<int>{312}));

    // Keys reach the menu while its owner keeps the activation.
    o.chosen.clear();
    ASSERT_TRUE(menu->Popup(o.window->Hwnd(), Point{owner.left + 20, owner.top + 20}));
    ParkPointer();
    EXPECT_EQ(::GetForegroundWindow(), o.window->Hwnd());
    probe::PressKey(VK_DOWN);
    probe::PressKey(VK_DOWN);  // over the disabled item and the separator
    ASSERT_TRUE(PollUntil([&] { return menu->SelectedId() == 300; }));
    probe::PressKey(VK_RIGHT);
    probe::PressKey(VK_DOWN);
    probe::PressKey(VK_RETURN);
    ASSERT_TRUE(PollUntil([&] { return !o.chosen.empty(); }));
    EXPECT_EQ(o.chosen, (std::vector<int>{312}));

    // A click outside the menu closes it without a choice; the click itself
    // still reaches the window it was made on.
    o.chosen.clear();
    ASSERT_TRUE(menu->Popup(o.window->Hwnd(), Point{owner.left + 20, owner.top + 20}));
    const int pressesBefore = o.ownerPresses;
    ASSERT_TRUE(probe::Click(Point{owner.right - 15, owner.bottom - 15}));
    EXPECT_TRUE(PollUntil([&] { return !menu->IsOpen(); }));
    EXPECT_TRUE(PollUntil([&] { return o.ownerPresses > pressesBefore; }));
    test::PumpFor(50);
    EXPECT_TRUE(o.chosen.empty());
    EXPECT_EQ(::FindWindowW(kMenuWindowClass, kMenuWindowTitle), nullptr);
    o.window->Destroy();
}

TEST(RealInputTest, SliderDraggedAndSnappedByItsChangeHandler) {
    ParkPointer();
    Window* w = MakeShownWindow();
    ASSERT_TRUE(w);
    auto* slider = w->Root().Add<Slider>();
    slider->SetFixedSize(150, 25);
    slider->SetRange(0, 25);
    slider->SetThumbSize(20, 20);
    slider->SetPosition(0);
    int stored = 0;
    slider->On(ElementEvent::kSliderChange, [&](Element& e, const ElementEventArgs& a, bool&) {
        const int p = static_cast<int>(a.wParam);
        const int snapped = p % 5 >= 3 ? p / 5 * 5 + 5 : p / 5 * 5;
        static_cast<Slider&>(e).SetPosition(snapped);
        stored = snapped + 5;
    });
    Show(*w);
    const Rect thumb = slider->ScreenRect();
    const Point from{thumb.left + 10, (thumb.top + thumb.bottom) / 2};
    // Position 13's thumb centre lies 68 + 10 pixels into the bar.
    const Point to{thumb.left + 78, from.y};
    ASSERT_TRUE(probe::Drag(from, to));
    EXPECT_TRUE(PollUntil([&] { return !slider->Logic().Dragging() && stored == 20; }));
    EXPECT_EQ(slider->Position(), 15);
    w->Destroy();
}

TEST(RealInputTest, TooltipShowsAfterARestAndGoesWhenTheMouseMovesOn) {
    ParkPointer();
    Window* w = MakeShownWindow();
    ASSERT_TRUE(w);
    w->Root().SetHorizontal(true);
    auto* skin = w->Root().Add<Button>();
    skin->SetFixedSize(40, 40);
    skin->SetTooltip("换肤");
    auto* plain = w->Root().Add<Button>("无提示");
    plain->SetFixedSize(80, 40);
    Show(*w);

    const Point at = probe::ScreenCentre(*skin);
    ASSERT_TRUE(probe::MoveMouse(at));
    ASSERT_TRUE(PollUntil([&] { return CurrentTooltip() != nullptr; }));
    Window* tip = CurrentTooltip();
    const std::vector<Element*> lines = probe::FindAll(tip->Root(), "tooltip.line");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(probe::Read(*lines[0]).text, "换肤");
    EXPECT_GT(tip->GetRect().top, at.y) << "below the pointer";
    EXPECT_NE(::GetForegroundWindow(), tip->Hwnd());

    ASSERT_TRUE(probe::MoveMouse(probe::ScreenCentre(*plain)));
    EXPECT_TRUE(PollUntil([&] { return CurrentTooltip() == nullptr; }));
    test::PumpFor(300);
    EXPECT_EQ(CurrentTooltip(), nullptr) << "no tooltip text, no tooltip";

    // Back on it, then off the window altogether.
    ASSERT_TRUE(probe::MoveMouse(at));
    ASSERT_TRUE(PollUntil([&] { return CurrentTooltip() != nullptr; }));
    ParkPointer();
    EXPECT_TRUE(PollUntil([&] { return CurrentTooltip() == nullptr; }));
    w->Destroy();
}

}  // namespace
}  // namespace pt
