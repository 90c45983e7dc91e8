// Events that their element does not take go up to its parents: mouse
// events with the point in the parent's coordinates and the element first
// hit as the target, stopped by a handler that takes them or by an
// interactive element; keys from the focused element the same way.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "toolkit/widgets.h"
#include "toolkit_test_util.h"

namespace pt {
namespace {

using test::MakeTestWindow;

TEST(BubblingTest, UnhandledEventsGoUpToTheParentsUntilOneTakesThem) {
    Window* w = MakeTestWindow(100, 100, 300, 200);
    ASSERT_TRUE(w);
    auto* outer = w->Root().Add<Element>();
    outer->SetFixedSize(260, 160);
    outer->SetPadding(10, 10, 10, 10);
    auto* inner = outer->Add<Element>();
    inner->SetFixedSize(200, 100);
    inner->SetPadding(20, 20, 20, 20);
    auto* text = inner->Add<TextElement>("文字");
    text->SetFixedSize(60, 20);
    auto* button = inner->Add<Button>("按钮");
    button->SetFixedSize(60, 20);
    auto* check = inner->Add<CheckBox>("选项");
    check->SetFixedSize(60, 20);
    w->AdjustLayout();

    struct Seen {
        Element* at;
        Element* target;
        Point point;
    };
    std::vector<Seen> seen;
    bool innerTakes = false;
    const auto record = [&](bool* takes) {
        return [&seen, takes](Element& e, const ElementEventArgs& a, bool& handled) {
            seen.push_back({&e, a.target, a.point});
            handled = takes && *takes;
        };
    };
    for (ElementEvent ev :
         {ElementEvent::kRButtonUp, ElementEvent::kLButtonDown, ElementEvent::kKeyDown}) {
        inner->On(ev, record(&innerTakes));
        outer->On(ev, record(nullptr));
    }

    const Point p = test::Centre(*text);
    ::SendMessageW(w->Hwnd(), WM_RBUTTONUP, 0, test::At(p));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].at, inner);
    EXPECT_EQ(seen[1].at, outer);
    EXPECT_EQ(seen[1].target, text);
    EXPECT_EQ(seen[0].point, inner->ToElement(p));
    EXPECT_EQ(seen[1].point, outer->ToElement(p));

    seen.clear();
    innerTakes = true;
    ::SendMessageW(w->Hwnd(), WM_RBUTTONUP, 0, test::At(p));
    EXPECT_EQ(seen.size(), 1u) << "taken by the inner handler";

    // An interactive element's press is its own.
    seen.clear();
    test::Click(w->Hwnd(), *button);
    EXPECT_TRUE(seen.empty());

    // A key the focused element does not take goes up; one it takes does not.
    seen.clear();
    innerTakes = false;
    check->SetFocus();
    test::Key(w->Hwnd(), 'A');
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].target, check);
    seen.clear();
    test::Key(w->Hwnd(), VK_SPACE);
    EXPECT_TRUE(seen.empty());
    EXPECT_TRUE(check->IsChecked());
    w->Destroy();
    test::Pump();
}

}  // namespace
}  // namespace pt
