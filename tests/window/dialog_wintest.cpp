// A dialog built from the Dialog class, driven by keys sent to its window:
// Tab order (explicit order first, a radio group as one stop, disabled and
// hidden elements skipped), Space on a check box and a button, arrows in a
// radio group, Enter on the default button, Esc on the cancel button and
// without one on the close button; the focus mark only after keyboard focus.
#include <windows.h>

#include <gtest/gtest.h>

#include "panel/ui_test_util.h"
#include "support/poll.h"
#include "support/ui_input.h"
#include "toolkit/edit.h"
#include "toolkit/widgets.h"
#include "window/dialog.h"

namespace pt {
namespace {

[[maybe_unused]] testing::Environment* const g_env =
    testing::AddGlobalTestEnvironment(new test::UiEnvironment);

constexpr int kClosed = 7;

struct Form {
    Dialog dialog;
    Edit* name = nullptr;
    CheckBox* check = nullptr;
    RadioButton* radioA = nullptr;
    RadioButton* radioB = nullptr;
    CheckBox* hidden = nullptr;
    CheckBox* disabled = nullptr;
    Button* ok = nullptr;
    Button* cancel = nullptr;
};

DialogOptions Options() {
    DialogOptions o;
    o.title = "对话框";
    o.width = 360;
    o.height = 300;
    o.closeResult = kClosed;
    return o;
}

Form Build(bool withCancel) {
    Form f{Dialog(Options())};
    Element* body = f.dialog.Body();
    f.name = body->Add<Edit>();
    f.name->SetFixedSize(200, 28);
    f.check = body->Add<CheckBox>("开关");
    f.hidden = body->Add<CheckBox>("隐藏");
    f.hidden->SetVisible(false);
    f.disabled = body->Add<CheckBox>("禁用");
    f.disabled->SetEnabled(false);
    f.radioA = body->Add<RadioButton>("甲", 100);
    f.radioB = body->Add<RadioButton>("乙", 100);
    f.radioA->SetChecked(true);
    auto* row = body->Add<Element>();
    row->SetHorizontal(true);
    row->SetHeight(SizeSpec::Fixed(40));
    f.ok = f.dialog.AddButton(*row, "确定", 1);
    f.dialog.SetDefaultButton(f.ok);
    if (withCancel) {
        f.cancel = f.dialog.AddButton(*row, "取消", 0);
        f.dialog.SetCancelButton(f.cancel);
    }
    return f;
}

// Runs the dialog modally while `act` drives it from a posted task.
int RunWith(Form& f, std::function<void(Form&)> act) {
    PostUiTask([&f, act] { act(f); });
    return f.dialog.RunModal();
}

TEST(DialogTest, TabVisitsStopsInOrderAndSpaceAndArrowsAct) {
    Form f = Build(true);
    Window* w = f.dialog.GetWindow();
    ASSERT_NE(w, nullptr);
    f.dialog.ShowModeless();
    const HWND h = w->Hwnd();
    f.ok->SetTabOrder(1);  // explicit order comes first

    std::vector<Element*> seen;
    for (int i = 0; i < 6; ++i) {
        test::Key(h, VK_TAB);
        seen.push_back(w->FocusElement());
    }
    // ok (order 1), then layout order: edit, check, the radio group once,
    // cancel; the close button (not focusable), hidden and disabled boxes
    // are skipped; then round again.
    const std::vector<Element*> want{f.ok, f.name, f.check, f.radioA, f.cancel, f.ok};
    EXPECT_EQ(seen, want);
    EXPECT_TRUE(f.ok->ShowsFocusMark());
    {
        test::HeldKeys shift({VK_SHIFT});
        test::Key(h, VK_TAB);
    }
    EXPECT_EQ(w->FocusElement(), f.cancel);

    // Space toggles the focused check box; a Tab character typed after the
    // Tab key is not typed into the edit.
    f.check->SetFocus();
    test::Key(h, VK_SPACE);
    EXPECT_TRUE(f.check->IsChecked());
    f.name->SetFocus();
    test::Key(h, VK_TAB);
    test::Type(h, u"\t");
    EXPECT_EQ(w->FocusElement(), f.check);
    EXPECT_EQ(f.name->Text(), "");

    // Arrows move the check within the group and take the focus along.
    f.radioA->SetFocus();
    test::Key(h, VK_DOWN);
    EXPECT_TRUE(f.radioB->IsChecked());
    EXPECT_FALSE(f.radioA->IsChecked());
    EXPECT_EQ(w->FocusElement(), f.radioB);
    test::Key(h, VK_TAB);
    test::Key(h, VK_TAB);
    {
        test::HeldKeys shift({VK_SHIFT});
        test::Key(h, VK_TAB);
        test::Key(h, VK_TAB);
    }
    EXPECT_EQ(w->FocusElement(), f.radioB);  // the group's stop is its checked button

    // A click moves the focus without the mark.
    test::Click(h, *f.check);
    EXPECT_EQ(w->FocusElement(), f.check);
    EXPECT_FALSE(f.check->ShowsFocusMark());
    w->Destroy();
    test::Pump();
}

TEST(DialogTest, EnterPressesTheDefaultAndEscTheCancelButton) {
    {
        Form f = Build(true);
        EXPECT_EQ(RunWith(f, [](Form& g) { test::Key(g.dialog.Hwnd(), VK_RETURN); }), 1);
    }
    {
        Form f = Build(true);
        EXPECT_EQ(RunWith(f, [](Form& g) { test::Key(g.dialog.Hwnd(), VK_ESCAPE); }), 0);
    }
    {
        // Enter on a focused push button presses that one.
        Form f = Build(true);
        EXPECT_EQ(RunWith(f,
                          [](Form& g) {
                              g.dialog.GetWindow()->SetFocusFromKeyboard(g.cancel);
                              test::Key(g.dialog.Hwnd(), VK_RETURN);
                          }),
                  0);
    }
    {
        // Without a cancel button Esc is the close button, as is Alt+F4.
        Form f = Build(false);
        EXPECT_EQ(RunWith(f, [](Form& g) { test::Key(g.dialog.Hwnd(), VK_ESCAPE); }), kClosed);
        Form g = Build(false);
        EXPECT_EQ(RunWith(g, [](Form& d) { test::Key(d.dialog.Hwnd(), VK_F4, WM_SYSKEYDOWN); }),
                  kClosed);
    }
}

}  // namespace
}  // namespace pt
