// The key dialog driven as a user would, from inside its own modal loop:
// what the edit takes, the eye switch, "确定" refusing a short key, Enter,
// Esc and the close button.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "dialogs/key_dialog.h"
#include "panel/ui_test_util.h"
#include "toolkit/dpi.h"
#include "toolkit/edit.h"
#include "toolkit/toolkit.h"

namespace pt {
namespace {

[[maybe_unused]] testing::Environment* const g_env =
    testing::AddGlobalTestEnvironment(new test::UiEnvironment);

// Runs AskKey with `act` working on the open dialog from inside its loop.
std::optional<std::string> AskWith(const std::function<void(Window& dialog)>& act) {
    PostUiTask([act] {
        const HWND found = test::OpenModal();
        Window* w = Window::FromHwnd(found);
        ASSERT_NE(w, nullptr);
        act(*w);
    });
    return AskKey(nullptr);
}

Edit& KeyEdit(Window& w) {
    return *static_cast<Edit*>(w.FindByName("key"));
}

TEST(KeyDialogTest, TakesOnlyKeyCharactersAndRefusesAShortKey) {
    SetDisplayScale(1.0f);
    bool stayedOpen = false;
    bool shownByEye = false;
    const std::optional<std::string> key = AskWith([&](Window& w) {
        EXPECT_EQ(w.GetRect().Width(), 340);
        EXPECT_EQ(w.GetRect().Height(), 190);
        Edit& edit = KeyEdit(w);
        EXPECT_TRUE(edit.HasFocus());
        EXPECT_TRUE(edit.IsPassword());
        test::Type(w.Hwnd(), u"a b-中c");
        EXPECT_EQ(edit.Text(), "abc");
        test::Click(w.Hwnd(), *w.FindByName("ok"));
        stayedOpen = w.IsModal() && Window::FromHwnd(w.Hwnd());
        test::Click(w.Hwnd(), *w.FindByName("eye"));
        shownByEye = edit.PasswordVisible();
        test::Type(w.Hwnd(), u"0123456789ABCDEFGHIJKL");
        EXPECT_EQ(edit.Text(), "abc0123456789ABCDEFG");
        test::Key(w.Hwnd(), VK_RETURN);
        if (Window::FromHwnd(w.Hwnd()) && w.IsModal())
            w.EndModal(0);  // Enter failed: end the test, not the run
    });
    EXPECT_TRUE(stayedOpen) << "three characters must not close the dialog";
    EXPECT_TRUE(shownByEye);
    EXPECT_EQ(key, "abc0123456789ABCDEFG");
}

TEST(KeyDialogTest, EscapeAndCloseGiveNoKey) {
    SetDisplayScale(1.0f);
    EXPECT_EQ(AskWith([](Window& w) {
                  test::Type(w.Hwnd(), u"abcd");
                  test::Key(w.Hwnd(), VK_ESCAPE);
              }),
              std::nullopt);
    EXPECT_EQ(AskWith([](Window& w) {
                  test::Type(w.Hwnd(), u"abcd");
                  test::Click(w.Hwnd(), *w.FindByName("close"));
              }),
              std::nullopt);
    EXPECT_EQ(AskWith([](Window& w) {
                  test::Type(w.Hwnd(), u"abcd");
                  test::Click(w.Hwnd(), *w.FindByName("ok"));
              }),
              "abcd");
}

}  // namespace
}  // namespace pt
