// Docking on a real toolkit window: the snap at a move's end and the edge
// timer it starts, the eased slides and their steps, the corner, the timer's
// restraint under a menu or a modal dialog, and docking switched off.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "panel/ui_test_util.h"
#include "support/desktop.h"
#include "toolkit/menu.h"
#include "toolkit/property_table.h"
#include "window/dock_geometry.h"
#include "window/docking.h"

namespace pt {
namespace {

using test::PollUntil;
using test::WorkArea;

[[maybe_unused]] testing::Environment* const g_env =
    testing::AddGlobalTestEnvironment(new test::UiEnvironment);

constexpr int kW = 600;
constexpr int kH = 400;

class DockingTest : public testing::Test {
  protected:
    void SetUp() override {
        WindowOptions o;
        o.width = kW;
        o.height = kH;
        o.title = "dock";
        window_ = Window::Create(o);
        ASSERT_NE(window_, nullptr);
        hwnd_ = window_->Hwnd();
        ASSERT_TRUE(dock_.Attach(hwnd_));
        // The window's own position after each step (a step that rounds to
        // the same pixel moves nothing, so moves are not counted).
        dock_.SetSlideStepObserver([this] { moves_.push_back(Position()); });
        // The mouse far from every edge the tests park at.
        const Rect work = WorkArea();
        ::SetCursorPos((work.left + work.right) / 2, work.bottom - 5);
    }
    void TearDown() override {
        if (Window* w = Window::FromHwnd(hwnd_))
            w->Destroy();
        test::Pump();
    }

    // Shown at `x`, `y` as at the end of a move there.
    void ReleaseAt(int x, int y) {
        window_->SetRect(Rect::FromSize(x, y, kW, kH));
        window_->ShowWindow(SW_SHOWNA);
        ::SendMessageW(hwnd_, WM_LBUTTONUP, 0, 0);
        moves_.clear();
    }
    Point Position() const {
        const Rect r = window_->GetRect();
        return Point{r.left, r.top};
    }

    Window* window_ = nullptr;
    HWND hwnd_ = nullptr;
    Docking dock_;
    std::vector<Point> moves_;
};

TEST_F(DockingTest, MoveEndSnapsAndDecidesTheEdgeTimer) {
    const Rect work = WorkArea();
    dock_.ApplySettings(true, 25, false, true);
    ReleaseAt(work.left - kW / 2, work.top + 100);
    EXPECT_EQ(Position(), (Point{work.left, work.top + 100}));
    EXPECT_EQ(GetWindowProperty(hwnd_, "xPos"), work.left);
    EXPECT_EQ(GetWindowProperty(hwnd_, "yPos"), work.top + 100);
    EXPECT_TRUE(dock_.IsTimerRunning());

    // Released below the work area: pulled up, but the bottom never parks.
    ReleaseAt(work.left + 100, work.bottom - kH / 2);
    EXPECT_EQ(Position(), (Point{work.left + 100, work.bottom - kH}));
    EXPECT_FALSE(dock_.IsTimerRunning());
    // Away from the edges a hide is a plain hide.
    dock_.Hide();
    EXPECT_FALSE(::IsWindowVisible(hwnd_));
    EXPECT_TRUE(moves_.empty());
    EXPECT_EQ(Position(), (Point{work.left + 100, work.bottom - kH}));
}

TEST_F(DockingTest, SlidesTakeThirtyFiveLessSpeedSteps) {
    const Rect work = WorkArea();
    dock_.ApplySettings(true, 25, false, true);
    ReleaseAt(work.left, work.top + 100);
    dock_.Hide();
    ASSERT_EQ(moves_.size(), 10u);
    EXPECT_EQ(moves_.back(), (Point{work.left + kDockStrip - kW, work.top + 100}));
    EXPECT_TRUE(::IsWindowVisible(hwnd_));  // the strip stays on the screen
    EXPECT_FALSE(dock_.IsShown());

    dock_.ApplySettings(true, 30, false, true);
    moves_.clear();
    dock_.Show();
    ASSERT_EQ(moves_.size(), 5u);
    EXPECT_EQ(moves_.back(), (Point{work.left, work.top + 100}));
    EXPECT_TRUE(dock_.IsShown());

    // Without easing: one jump each way.
    dock_.ApplySettings(false, 30, false, true);
    moves_.clear();
    dock_.Hide();
    EXPECT_EQ(Position(), (Point{work.left + kDockStrip - kW, work.top + 100}));
    dock_.Show();
    EXPECT_EQ(Position(), (Point{work.left, work.top + 100}));
    EXPECT_TRUE(moves_.empty());
}

TEST_F(DockingTest, TopRightCornerSlidesAlongBothEdges) {
    const Rect work = WorkArea();
    dock_.ApplySettings(true, 30, false, true);
    ReleaseAt(work.right - kW + 50, work.top - 20);
    EXPECT_EQ(Position(), (Point{work.right - kW, work.top}));
    dock_.Hide();
    ASSERT_EQ(moves_.size(), 5u);
    EXPECT_GT(moves_.front().x, work.right - kW);
    EXPECT_LT(moves_.front().y, work.top);
    Point last{work.right - kW, work.top};
    for (const Point& p : moves_) {
        EXPECT_GE(p.x, last.x);
        EXPECT_LE(p.y, last.y);
        last = p;
    }
    EXPECT_EQ(last, (Point{work.right - kDockStrip, work.top + kDockStrip - kH}));
}

TEST_F(DockingTest, EdgeTimerFollowsTheMouseButNotUnderAMenuOrADialog) {
    const Rect work = WorkArea();
    dock_.ApplySettings(true, 30, false, true);
    const int y = work.top + 100;

    // A menu of the program is open: the panel stays out.
    ReleaseAt(work.left, y);
    auto menu = Menu::Create();
    menu->AddItem(1, "item");
    ASSERT_TRUE(menu->Popup(hwnd_, Point{work.right - 200, work.bottom - 200}));
    ASSERT_NE(OpenToolkitMenu(), nullptr);
    test::PumpFor(350);
    EXPECT_TRUE(dock_.IsShown());
    EXPECT_EQ(Position(), (Point{work.left, y}));
    menu->Close();
    test::Pump();

    // A modal dialog disables the panel: it stays out too.
    ::EnableWindow(hwnd_, FALSE);
    test::PumpFor(350);
    EXPECT_TRUE(dock_.IsShown());
    ::EnableWindow(hwnd_, TRUE);

    // Otherwise the mouse away slides it in, the mouse on the strip out.
    ASSERT_TRUE(PollUntil([&] { return !dock_.IsShown(); }, 3000));
    EXPECT_EQ(Position(), (Point{work.left + kDockStrip - kW, y}));
    ::SetCursorPos(work.left, y + 50);
    ASSERT_TRUE(PollUntil([&] { return dock_.IsShown(); }, 3000));
    EXPECT_EQ(Position(), (Point{work.left, y}));
}

TEST_F(DockingTest, DockingOffBringsTheParkedPanelBack) {
    const Rect work = WorkArea();
    dock_.ApplySettings(false, 25, false, true);
    ReleaseAt(work.left, work.top + 60);
    dock_.Hide();
    EXPECT_EQ(Position(), (Point{work.left + kDockStrip - kW, work.top + 60}));
    dock_.SetDocking(false);
    EXPECT_FALSE(dock_.IsTimerRunning());
    EXPECT_TRUE(dock_.IsShown());
    EXPECT_TRUE(::IsWindowVisible(hwnd_));
    EXPECT_EQ(Position(), (Point{work.left, work.top + 60}));
    // Undocked, a hide withdraws the window.
    dock_.Hide();
    EXPECT_FALSE(::IsWindowVisible(hwnd_));
}

}  // namespace
}  // namespace pt
