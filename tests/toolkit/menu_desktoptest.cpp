// Popup menus driven through their windows' messages: keyboard navigation
// over separators and disabled items, submenus and their ids, the owner's
// dressing and drawing events with the item state flags, element owners,
// the blocking form, closing by WM_CLOSE and with the owner, and handles.
#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "toolkit/ui_probe.h"
#include "toolkit/menu.h"
#include "toolkit/toolkit.h"
#include "toolkit/tooltip.h"
#include "toolkit_test_util.h"

namespace pt {
namespace {

using test::MakeTestWindow;
using test::PollUntil;

using Events = std::vector<std::pair<UINT, WPARAM>>;

// Records the owner's menu events (not the drawing ones).
void RecordMenuEvents(Window& owner, Events& events) {
    owner.OnMessage([&events](Window&, WindowMessage& m, bool&) {
        if (m.message == kMsgMenuPopupWindow || m.message == kMsgMenuSelect ||
            m.message == kMsgMenuExit)
            events.emplace_back(m.message, m.message == kMsgMenuPopupWindow ? 0 : m.wParam);
    });
}

// The category menu of the sidebar, first category current.
std::shared_ptr<Menu> CategoryMenu() {
    auto menu = Menu::Create();
    menu->AddItem(100, "新建分类");
    menu->AddSeparator();
    menu->AddItem(200, "上移分类", kMenuRoot, kMenuItemDisabled);
    menu->AddItem(300, "下移分类");
    menu->AddSeparator();
    menu->AddItem(400, "重命名");
    menu->AddItem(500, "删除", kMenuRoot, kMenuItemDisabled);
    return menu;
}

// The group tab menu with its "移动到" submenu.
std::shared_ptr<Menu> TabMenu() {
    auto menu = Menu::Create();
    menu->AddItem(100, "新建分组");
    menu->AddSeparator();
    menu->AddItem(300, "移动到");
    menu->AddItem(301, "左移分组", 300, kMenuItemDisabled);
    menu->AddItem(302, "右移分组", 300);
    menu->AddSeparator(300);
    menu->AddItem(312, "工具", 300);
    menu->AddItem(400, "重命名");
    return menu;
}

HWND OpenMenuWindow() {
    return ::FindWindowW(kMenuWindowClass, kMenuWindowTitle);
}

void Key(HWND menuWindow, WPARAM vk) {
    ::SendMessageW(menuWindow, WM_KEYDOWN, vk, 0);
}

// Keys for whichever menu window is open now: the one that has the keyboard
// may change under the keys (a submenu opens, the menu closes).
void Keys(std::initializer_list<WPARAM> vks) {
    for (WPARAM vk : vks)
        Key(OpenMenuWindow(), vk);
}

// Opens `menu` at `at` for `owner` and presses `vks` in it; false when it
// did not open.
bool OpenAndPress(Menu& menu, HWND owner, Point at, std::initializer_list<WPARAM> vks,
                  Element* ownerElement = nullptr) {
    if (!menu.Popup(owner, at, ownerElement))
        return false;
    Keys(vks);
    return true;
}

// The shown window that owns the menus of a test.
Window* ShownOwner() {
    Window* owner = MakeTestWindow(100, 100, 300, 200);
    if (owner)
        owner->ShowWindow(SW_SHOWNA);
    return owner;
}

TEST(MenuTest, ArrowKeysSkipSeparatorsAndDisabledItemsAndEnterPostsTheId) {
    Window* owner = ShownOwner();
    ASSERT_TRUE(owner);
    Events events;
    RecordMenuEvents(*owner, events);
    auto menu = CategoryMenu();
    ASSERT_TRUE(menu->Popup(owner->Hwnd(), Point{150, 150}));
    const HWND mh = OpenMenuWindow();
    ASSERT_TRUE(mh) << "found by the class and title the program looks for";
    ASSERT_TRUE(Window::FromHwnd(mh));
    EXPECT_EQ(Menu::Current(), menu);

    struct Step {
        WPARAM vk;
        int selected;
    } steps[] = {
        {VK_DOWN, 100}, {VK_DOWN, 300}, {VK_DOWN, 400}, {VK_DOWN, 100},  // 500 disabled: wraps
        {VK_UP, 400},   {VK_UP, 300},   {VK_UP, 100},
    };
    for (const Step& s : steps) {
        Key(mh, s.vk);
        EXPECT_EQ(menu->SelectedId(), s.selected);
    }
    Key(mh, VK_DOWN);
    Key(mh, VK_RETURN);
    EXPECT_FALSE(menu->IsOpen());
    EXPECT_FALSE(::IsWindow(mh));
    EXPECT_EQ(Menu::Current(), nullptr);
    ASSERT_TRUE(PollUntil([&] { return events.size() >= 3; }));
    EXPECT_EQ(events, (Events{{kMsgMenuPopupWindow, 0}, {kMsgMenuSelect, 300}, {kMsgMenuExit, 0}}));

    // Esc dismisses: no selection, only the end.
    events.clear();
    ASSERT_TRUE(OpenAndPress(*menu, owner->Hwnd(), Point{150, 150}, {VK_DOWN, VK_ESCAPE}));
    EXPECT_FALSE(menu->IsOpen());
    test::PumpFor(50);
    EXPECT_EQ(events, (Events{{kMsgMenuPopupWindow, 0}, {kMsgMenuExit, 0}}));
    owner->Destroy();
}

TEST(MenuTest, SubmenusOpenBesideTheirItemAndDeliverTheirIds) {
    Window* owner = ShownOwner();
    ASSERT_TRUE(owner);
    Events events;
    RecordMenuEvents(*owner, events);
    auto menu = TabMenu();
    ASSERT_TRUE(menu->Popup(owner->Hwnd(), Point{200, 150}));
    const HWND root = OpenMenuWindow();
    ASSERT_TRUE(root);
    Key(root, VK_DOWN);
    Key(root, VK_DOWN);
    EXPECT_EQ(menu->SelectedId(), 300);
    Key(root, VK_RIGHT);
    ASSERT_EQ(menu->OpenWindows().size(), 2u);
    EXPECT_EQ(probe::FindWindows(kMenuWindowClass, "XCGUI-Menu").size(), 2u);
    EXPECT_EQ(menu->SelectedId(), 302) << "the first enabled entry of the submenu";
    const Rect rootRect = menu->OpenWindows()[0]->GetRect();
    const Rect subRect = menu->OpenWindows()[1]->GetRect();
    EXPECT_GE(subRect.left, rootRect.right - 10) << "on the right of its parent";
    Rect item;
    ASSERT_TRUE(menu->ItemScreenRect(300, item));
    EXPECT_LE(std::abs(subRect.top - item.top), 10) << "level with its item";

    Key(root, VK_DOWN);
    EXPECT_EQ(menu->SelectedId(), 312);
    Key(root, VK_LEFT);
    EXPECT_EQ(menu->OpenWindows().size(), 1u);
    EXPECT_EQ(menu->SelectedId(), 300) << "back on the item that opened it";
    Key(root, VK_RETURN);  // Enter on a submenu item opens it
    ASSERT_EQ(menu->OpenWindows().size(), 2u);
    Key(root, VK_ESCAPE);  // Esc closes the submenu only
    ASSERT_EQ(menu->OpenWindows().size(), 1u);
    EXPECT_TRUE(menu->IsOpen());

    // With the mouse (messages): a click on the submenu item opens it at
    // once, a click in the submenu chooses.
    Element* move = probe::FindById(root, 300);
    ASSERT_TRUE(move);
    probe::ClickByMessage(*move);
    ASSERT_EQ(menu->OpenWindows().size(), 2u);
    Window* sub = menu->OpenWindows()[1];
    Element* tools = sub->FindByIdentifier(312);
    ASSERT_TRUE(tools);
    EXPECT_EQ(probe::Read(*tools).text, "工具");
    Element* left = sub->FindByIdentifier(301);
    ASSERT_TRUE(left);
    EXPECT_FALSE(probe::Read(*left).enabled);
    probe::ClickByMessage(*left);
    EXPECT_TRUE(menu->IsOpen()) << "a disabled entry cannot be chosen";
    probe::ClickByMessage(*tools);
    EXPECT_FALSE(menu->IsOpen());
    EXPECT_EQ(OpenMenuWindow(), nullptr);
    ASSERT_TRUE(PollUntil([&] { return !events.empty() && events.back().first == kMsgMenuExit; }));
    Events chosen;
    for (const auto& e : events) {
        if (e.first == kMsgMenuSelect)
            chosen.push_back(e);
    }
    EXPECT_EQ(chosen, (Events{{kMsgMenuSelect, 312}}));
    owner->Destroy();
}

TEST(MenuTest, AnswersThroughItsCallbackOnceAndNotToAGoneOwner) {
    Window* owner = ShownOwner();
    ASSERT_TRUE(owner);
    Events events;
    RecordMenuEvents(*owner, events);
    std::vector<int> answers;
    const auto record = [&answers](int id) { answers.push_back(id); };

    auto menu = CategoryMenu();
    ASSERT_TRUE(menu->Popup(owner->Hwnd(), Point{150, 150}, nullptr, record));
    Keys({VK_DOWN, VK_DOWN, VK_RETURN});
    ASSERT_TRUE(PollUntil([&] { return !answers.empty(); }));
    EXPECT_EQ(answers, (std::vector<int>{300}));
    ASSERT_TRUE(PollUntil([&] { return !events.empty() && events.back().first == kMsgMenuExit; }));
    for (const auto& e : events)
        EXPECT_NE(e.first, kMsgMenuSelect) << "the answer goes to the callback only";

    // Replaced by another menu: the first answers "no choice".
    answers.clear();
    auto other = TabMenu();
    ASSERT_TRUE(menu->Popup(owner->Hwnd(), Point{150, 150}, nullptr, record));
    ASSERT_TRUE(other->Popup(owner->Hwnd(), Point{160, 160}));
    ASSERT_TRUE(PollUntil([&] { return !answers.empty(); }));
    EXPECT_EQ(answers, (std::vector<int>{kMenuNoChoice}));
    other->Close();

    // An element owner that is destroyed before the answer hears nothing.
    answers.clear();
    Element* button = owner->Root().Add<Button>("x");
    ASSERT_TRUE(menu->Popup(owner->Hwnd(), Point{150, 150}, button, record));
    Keys({VK_DOWN, VK_RETURN});
    button->Destroy();
    test::PumpFor(100);
    EXPECT_TRUE(answers.empty());
    owner->Destroy();
}

TEST(MenuTest, OwnerDressesTheWindowAndDrawsWithStateFlags) {
    Window* owner = ShownOwner();
    ASSERT_TRUE(owner);
    const Color kRed = MakeColor(255, 0, 0);
    const Color kBlue = MakeColor(0, 0, 255);
    std::vector<std::pair<int, unsigned>> drawn;  // id, state
    HWND dressed = nullptr;
    owner->OnMessage([&](Window&, WindowMessage& m, bool& handled) {
        auto* info = reinterpret_cast<MenuDrawInfo*>(m.lParam);
        if (m.message == kMsgMenuPopupWindow) {
            dressed = reinterpret_cast<HWND>(m.wParam);
            Window* w = info->window;
            w->SetTransparentType(2);
            w->SetShadow(ShadowParams{5, 150, 3, false, 0});
            w->SetTransparentAlpha(250);
            w->OnMessage([](Window& self, WindowMessage& msg, bool& h) {
                if (msg.message != WM_LBUTTONDOWN)
                    return;
                const POINT p{static_cast<short>(LOWORD(msg.lParam)),
                              static_cast<short>(HIWORD(msg.lParam))};
                if (!self.ClientRect().Contains(Point{p.x, p.y}))
                    h = true;
            });
        } else if (m.message == kMsgMenuDrawBackground) {
            info->canvas->FillRect(info->rect, kRed);
            handled = true;
        } else if (m.message == kMsgMenuDrawItem) {
            drawn.emplace_back(info->id, info->state);
            if (info->id == 100) {
                info->canvas->FillRect(info->rect, kBlue);
                handled = true;
            }
        }
    });
    auto menu = Menu::Create();
    menu->AddItem(100, "启动板");
    menu->AddItem(150, "置顶", kMenuRoot, kMenuItemChecked);
    menu->AddSeparator();
    menu->AddItem(160, "更多");
    menu->AddItem(161, "子项", 160);
    menu->AddItem(200, "退出软件", kMenuRoot, kMenuItemDisabled);
    menu->EnableDrawItem(true);
    menu->EnableDrawBackground(true);
    menu->SetItemHeight(28);
    menu->SetBorderSize(5, 10, 5, 10);
    menu->SetBorderColor(0);
    ASSERT_TRUE(menu->Popup(owner->Hwnd(), Point{300, 200}));
    const HWND mh = OpenMenuWindow();
    ASSERT_EQ(dressed, mh);
    Window* w = Window::FromHwnd(mh);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->Shadow().size, 5);
    EXPECT_EQ(w->ClientRect(), w->FrameRect().Inset(Insets{5, 10, 5, 10}));
    EXPECT_EQ(w->FrameRect().Height(), 10 + 4 * 28 + 9 + 10) << "border, items, separator";
    Key(mh, VK_DOWN);
    drawn.clear();
    w->PaintNow();
    const std::vector<std::pair<int, unsigned>> expected = {
        {100, kMenuItemSelected}, {150, kMenuItemChecked},  {0, kMenuItemSeparator},
        {160, kMenuItemPopup},    {200, kMenuItemDisabled},
    };
    EXPECT_EQ(drawn, expected);
    // What the owner drew is what the window shows; the rest is default.
    const PixelBuffer& px = w->BackBuffer();
    const Rect frame = w->FrameRect();
    EXPECT_EQ(px.At(frame.left + 2, frame.top + 5), 0xFFFF0000u) << "background: red (BGRA)";
    const Rect first = w->FindByIdentifier(100)->WindowRect();
    EXPECT_EQ(px.At(first.left + 3, first.top + 3), 0xFF0000FFu) << "item 100: blue";
    const Rect second = w->FindByIdentifier(150)->WindowRect();
    EXPECT_EQ(px.At(second.right - 3, second.top + 3), 0xFFFF0000u)
        << "item 150 drawn by default: no fill over the red";
    EXPECT_LT(PixelAlpha(px.At(1, 1)), 255) << "the shadow band";
    // A press on the border band neither drags nor closes the menu.
    const Rect before = w->GetRect();
    ::SendMessageW(mh, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(frame.left + 2, frame.top + 3));
    ::SendMessageW(mh, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(frame.left + 40, frame.top + 5));
    ::SendMessageW(mh, WM_LBUTTONUP, 0, MAKELPARAM(frame.left + 40, frame.top + 5));
    EXPECT_EQ(w->GetRect(), before);
    EXPECT_TRUE(menu->IsOpen());
    menu->Close();
    owner->Destroy();
}

TEST(MenuTest, ElementOwnerGetsTheEventsInsteadOfItsWindow) {
    Window* owner = ShownOwner();
    ASSERT_TRUE(owner);
    Events windowEvents;
    RecordMenuEvents(*owner, windowEvents);
    auto* entry = owner->Root().Add<Button>("分类");
    std::vector<std::pair<ElementEvent, WPARAM>> got;
    for (ElementEvent e :
         {ElementEvent::kMenuPopupWindow, ElementEvent::kMenuSelect, ElementEvent::kMenuExit}) {
        entry->On(e, [&got](Element&, const ElementEventArgs& a, bool&) {
            got.emplace_back(a.event, a.event == ElementEvent::kMenuSelect ? a.wParam : 0);
        });
    }
    auto menu = CategoryMenu();
    ASSERT_TRUE(OpenAndPress(*menu, owner->Hwnd(), Point{150, 150}, {VK_DOWN, VK_RETURN}, entry));
    ASSERT_TRUE(PollUntil([&] { return got.size() >= 3; }));
    EXPECT_EQ(got,
              (std::vector<std::pair<ElementEvent, WPARAM>>{{ElementEvent::kMenuPopupWindow, 0},
                                                            {ElementEvent::kMenuSelect, 100},
                                                            {ElementEvent::kMenuExit, 0}}));
    EXPECT_TRUE(windowEvents.empty());
    owner->Destroy();
}

TEST(MenuTest, TrackReturnsTheChoiceAndPostsNothing) {
    Window* owner = ShownOwner();
    ASSERT_TRUE(owner);
    Events events;
    RecordMenuEvents(*owner, events);
    auto menu = TabMenu();
    const auto keys = [](std::vector<WPARAM> vks) {
        PostUiTask([vks] {
            for (WPARAM vk : vks)
                Key(OpenMenuWindow(), vk);
        });
    };
    keys({VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN});
    EXPECT_EQ(menu->Track(owner->Hwnd(), Point{150, 150}), 302);
    keys({VK_DOWN, VK_ESCAPE});
    EXPECT_EQ(menu->Track(owner->Hwnd(), Point{150, 150}), kMenuNoChoice);
    test::PumpFor(50);
    for (const auto& e : events)
        EXPECT_NE(e.first, kMsgMenuSelect);
    owner->Destroy();
}

TEST(MenuTest, ClosedByWmCloseByANewMenuAndWithItsOwner) {
    Window* owner = ShownOwner();
    ASSERT_TRUE(owner);
    Events events;
    RecordMenuEvents(*owner, events);
    auto menu = TabMenu();
    ASSERT_TRUE(OpenAndPress(*menu, owner->Hwnd(), Point{150, 150}, {VK_DOWN, VK_DOWN, VK_RIGHT}));
    ASSERT_EQ(menu->OpenWindows().size(), 2u);
    // The panel's hotkey closes an open menu this way: any of its windows.
    ::SendMessageW(menu->OpenWindows()[1]->Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(menu->IsOpen());
    EXPECT_EQ(OpenMenuWindow(), nullptr);
    test::PumpFor(50);
    EXPECT_EQ(events,
              (Events{{kMsgMenuPopupWindow, 0}, {kMsgMenuPopupWindow, 0}, {kMsgMenuExit, 0}}));

    // Opening another menu closes the first.
    auto other = CategoryMenu();
    ASSERT_TRUE(menu->Popup(owner->Hwnd(), Point{150, 150}));
    ASSERT_TRUE(other->Popup(owner->Hwnd(), Point{160, 160}));
    EXPECT_FALSE(menu->IsOpen());
    EXPECT_TRUE(other->IsOpen());
    EXPECT_EQ(Menu::Current(), other);
    EXPECT_EQ(probe::FindWindows(kMenuWindowClass).size(), 1u);

    // The owner going takes its menu along; the menu outlives the caller's
    // pointer while open and goes once closed.
    std::weak_ptr<Menu> weak = other;
    other.reset();
    EXPECT_FALSE(weak.expired());
    owner->Destroy();
    test::PumpFor(20);
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(Menu::Current(), nullptr);
    EXPECT_EQ(OpenMenuWindow(), nullptr);
    EXPECT_FALSE(Menu::Create()->Popup(nullptr, Point{0, 0})) << "an empty menu does not open";
}

TEST(MenuTest, ManyMenusAndTooltipsLeakNoHandles) {
    Window* owner = ShownOwner();
    ASSERT_TRUE(owner);
    auto* label = owner->Root().Add<TextElement>("标签");
    owner->AdjustLayout();
    const auto cycle = [&] {
        auto menu = TabMenu();
        OpenAndPress(*menu, owner->Hwnd(), Point{150, 150}, {VK_DOWN, VK_DOWN, VK_RIGHT});
        menu->Close();
        ShowTooltip("文件名：a\r\n位置：C:\\a.exe", Rect{200, 200, 240, 240}, label);
        HideTooltip();
        test::Pump();
    };
    for (int i = 0; i < 10; ++i)
        cycle();
    HANDLE self = ::GetCurrentProcess();
    const DWORD gdi = ::GetGuiResources(self, GR_GDIOBJECTS);
    const DWORD user = ::GetGuiResources(self, GR_USEROBJECTS);
    const size_t live = Window::LiveCount();
    for (int i = 0; i < 100; ++i)
        cycle();
    EXPECT_LE(::GetGuiResources(self, GR_GDIOBJECTS), gdi + 5);
    EXPECT_LE(::GetGuiResources(self, GR_USEROBJECTS), user + 5);
    EXPECT_EQ(Window::LiveCount(), live);
    owner->Destroy();
}

}  // namespace
}  // namespace pt
