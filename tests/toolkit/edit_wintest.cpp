// The edit in a real window, driven by mouse, key and character messages:
// typing and keyboard selection, mouse selection (drag, Shift+click, double
// click), the clipboard round trip, read-only and password refusals, the
// program's handlers running before the edit (Ctrl+Z for the undo history,
// Alt combinations for hotkey boxes), the change event, focus moving away
// on a click elsewhere, caret blinking, scrolling, the placeholder's colour
// on screen and the IME switched per window.
#include <gtest/gtest.h>

#include <windows.h>
#include <imm.h>

#include "toolkit/clipboard.h"
#include "toolkit/edit.h"
#include "toolkit/ime.h"
#include "ui_harness.h"

namespace pt {
namespace {

using test::HeldKeys;

class EditTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(InitToolkit());
        window_ = test::MakeTestWindow(400, 200);
        ASSERT_TRUE(window_);
        guard_ = std::make_unique<test::WindowGuard>(window_);
        hwnd_ = window_->Hwnd();
        window_->Root().SetPadding(20, 20, 20, 20);
        window_->Root().SetSpacing(10);
        edit_ = window_->Root().Add<Edit>();
        edit_->SetFixedSize(200, 30);
        other_ = window_->Root().Add<Button>("other");
        other_->SetFixedSize(80, 28);
        window_->AdjustLayout();
        edit_->On(kEditChanged, [this](Element&, const ElementEventArgs&, bool&) { ++changes_; });
    }

    // A point inside the edit's text, `dx` from its left edge.
    Point InEdit(int dx) const {
        const Rect r = edit_->WindowRect();
        return Point{r.left + dx, (r.top + r.bottom) / 2};
    }
    void Focus() {
        test::Click(hwnd_, InEdit(150));
        ASSERT_TRUE(edit_->HasFocus());
    }

    Window* window_ = nullptr;
    std::unique_ptr<test::WindowGuard> guard_;
    HWND hwnd_ = nullptr;
    Edit* edit_ = nullptr;
    Button* other_ = nullptr;
    int changes_ = 0;
};

TEST_F(EditTest, TypingAndKeyboardSelection) {
    Focus();
    test::Type(hwnd_, u"hello 世界\U0001F600");
    EXPECT_EQ(edit_->Text(), "hello 世界\U0001F600");
    EXPECT_EQ(edit_->Length(), 9) << "the astral character is one";
    EXPECT_EQ(changes_, 9) << "one change per character (the surrogate pair is one)";
    {
        HeldKeys shift({VK_SHIFT});
        test::Key(hwnd_, VK_LEFT);
        test::Key(hwnd_, VK_LEFT);
        test::Key(hwnd_, VK_LEFT);
    }
    EXPECT_EQ(edit_->Selection(), (EditSelection{0, 6, 0, 9}));
    EXPECT_EQ(edit_->SelectedText(), "世界\U0001F600");
    test::Type(hwnd_, u"x");
    EXPECT_EQ(edit_->Text(), "hello x");
    {
        HeldKeys ctrlShift({VK_CONTROL, VK_SHIFT});
        test::Key(hwnd_, VK_LEFT);
    }
    EXPECT_EQ(edit_->SelectedText(), "x");
    test::Key(hwnd_, VK_HOME);
    EXPECT_EQ(edit_->Selection(), (EditSelection{0, 0, 0, 0}));
    {
        HeldKeys ctrl({VK_CONTROL});
        test::Key(hwnd_, 'A');
    }
    EXPECT_EQ(edit_->Selection(), (EditSelection{0, 0, 0, 7}));
    test::Key(hwnd_, VK_DELETE);
    EXPECT_EQ(edit_->Text(), "");
    // Control characters from Ctrl+letters and Enter never enter the text.
    test::Type(hwnd_, u"\x01\r\x1B\t");
    EXPECT_EQ(edit_->Text(), "");
}

TEST_F(EditTest, MouseSelection) {
    edit_->SetText("alpha beta gamma");
    const Rect box = edit_->WindowRect().Inset(edit_->Padding());
    // A press left of the text puts the caret at 0; dragging past the right
    // end selects everything.
    test::LeftDown(hwnd_, Point{box.left + 1, InEdit(0).y});
    EXPECT_TRUE(edit_->HasFocus());
    EXPECT_EQ(edit_->CaretPosition(), 0);
    test::MouseMove(hwnd_, Point{box.right + 50, InEdit(0).y}, MK_LBUTTON);
    test::LeftUp(hwnd_, Point{box.right + 50, InEdit(0).y});
    EXPECT_EQ(edit_->Selection(), (EditSelection{0, 0, 0, 16}));
    // Moving without the button selects nothing more.
    test::MouseMove(hwnd_, InEdit(5));
    EXPECT_EQ(edit_->Selection(), (EditSelection{0, 0, 0, 16}));

    // Double click on "beta" selects the word; Shift+click extends from the
    // anchor.
    const Rect caret0 = (edit_->SetSelection(6, 6), edit_->CaretRect());
    const Rect caret1 = (edit_->SetSelection(10, 10), edit_->CaretRect());
    const Point inBeta{(caret0.left + caret1.left) / 2, InEdit(0).y};
    test::DoubleClick(hwnd_, inBeta);
    EXPECT_EQ(edit_->SelectedText(), "beta");
    test::Click(hwnd_, Point{box.left + 1, InEdit(0).y});
    EXPECT_EQ(edit_->CaretPosition(), 0);
    test::Click(hwnd_, inBeta, MK_SHIFT);
    EXPECT_EQ(edit_->Selection().startCol, 0);
    EXPECT_TRUE(edit_->Selection().endCol >= 7 && edit_->Selection().endCol <= 9);
    EXPECT_EQ(changes_, 0) << "selecting changes no text";
}

TEST_F(EditTest, ClipboardRoundTrip) {
    Focus();
    edit_->SetText("复制 this text");
    edit_->SetSelection(0, 7);
    {
        HeldKeys ctrl({VK_CONTROL});
        test::Key(hwnd_, 'C');
    }
    EXPECT_EQ(GetClipboardText(hwnd_), std::optional<std::string>("复制 this"));
    {
        HeldKeys ctrl({VK_CONTROL});
        test::Key(hwnd_, 'X');
    }
    EXPECT_EQ(edit_->Text(), " text");
    EXPECT_EQ(changes_, 1);
    test::Key(hwnd_, VK_END);
    {
        HeldKeys ctrl({VK_CONTROL});
        test::Key(hwnd_, 'V');
    }
    EXPECT_EQ(edit_->Text(), " text复制 this");
    EXPECT_EQ(changes_, 2);
    // Pasted text keeps its first line only and respects the length limit.
    ASSERT_TRUE(SetClipboardText(hwnd_, "一二三\r\nsecond line"));
    edit_->SetText("");
    edit_->SetMaxLength(2);
    EXPECT_TRUE(edit_->Paste());
    EXPECT_EQ(edit_->Text(), "一二");
    EXPECT_FALSE(edit_->Paste()) << "full";
    // Text put there by another program arrives as it is.
    ASSERT_TRUE(SetClipboardText(nullptr, "extern"));
    edit_->SetMaxLength(0);
    edit_->SelectAll();
    {
        HeldKeys shift({VK_SHIFT});
        test::Key(hwnd_, VK_INSERT);
    }
    EXPECT_EQ(edit_->Text(), "extern");
}

TEST_F(EditTest, ReadOnlyRefusesEveryChangeButCopies) {
    Focus();
    edit_->SetText("fixed");
    edit_->SetReadOnly(true);
    ASSERT_TRUE(SetClipboardText(hwnd_, "pasted"));
    edit_->SelectAll();
    test::Type(hwnd_, u"x");
    test::Key(hwnd_, VK_BACK);
    test::Key(hwnd_, VK_DELETE);
    {
        HeldKeys ctrl({VK_CONTROL});
        test::Key(hwnd_, 'X');
        test::Key(hwnd_, 'V');
    }
    EXPECT_FALSE(edit_->Cut());
    EXPECT_FALSE(edit_->Paste());
    EXPECT_FALSE(edit_->DeleteSelection());
    EXPECT_EQ(edit_->Text(), "fixed");
    EXPECT_EQ(changes_, 0);
    EXPECT_EQ(GetClipboardText(hwnd_), std::optional<std::string>("pasted"))
        << "a refused cut leaves the clipboard alone";
    // Selecting and copying still work.
    test::Key(hwnd_, VK_HOME);
    {
        HeldKeys shift({VK_SHIFT});
        test::Key(hwnd_, VK_RIGHT);
        test::Key(hwnd_, VK_RIGHT);
    }
    EXPECT_TRUE(edit_->Copy());
    EXPECT_EQ(GetClipboardText(hwnd_), std::optional<std::string>("fi"));
}

TEST_F(EditTest, PasswordKeepsItsSecretUntilShown) {
    Focus();
    edit_->SetPassword(true);
    test::Type(hwnd_, u"my secret");
    EXPECT_EQ(edit_->Text(), "my secret");
    ASSERT_TRUE(SetClipboardText(hwnd_, "before"));
    edit_->SelectAll();
    EXPECT_FALSE(edit_->Copy());
    EXPECT_FALSE(edit_->Cut());
    {
        HeldKeys ctrl({VK_CONTROL});
        test::Key(hwnd_, 'C');
        test::Key(hwnd_, 'X');
    }
    EXPECT_EQ(GetClipboardText(hwnd_), std::optional<std::string>("before"));
    EXPECT_EQ(edit_->Text(), "my secret");
    // Word steps do not reveal where the space is.
    test::Key(hwnd_, VK_END);
    {
        HeldKeys ctrl({VK_CONTROL});
        test::Key(hwnd_, VK_LEFT);
    }
    EXPECT_EQ(edit_->CaretPosition(), 0);
    // The show switch makes it an ordinary text again.
    edit_->SetPasswordVisible(true);
    edit_->SelectAll();
    EXPECT_TRUE(edit_->Copy());
    EXPECT_EQ(GetClipboardText(hwnd_), std::optional<std::string>("my secret"));
}

TEST_F(EditTest, HandlersComeFirstAndMayTakeTheKey) {
    Focus();
    edit_->SetText("abc");
    std::vector<WPARAM> seen;
    // An undo history: it takes Ctrl+Z and Ctrl+Y, the edit never sees them.
    edit_->On(ElementEvent::kKeyDown, [&](Element&, const ElementEventArgs& a, bool& handled) {
        seen.push_back(a.wParam);
        if ((a.wParam == 'Z' || a.wParam == 'Y') && ::GetKeyState(VK_CONTROL) < 0)
            handled = true;
        if (a.wParam == VK_BACK && edit_->Text() == "abc")
            handled = true;  // a handler may also refuse an edit
    });
    bool refuseChar = false;
    edit_->On(ElementEvent::kChar,
              [&](Element&, const ElementEventArgs&, bool& handled) { handled = refuseChar; });
    {
        HeldKeys ctrl({VK_CONTROL});
        test::Key(hwnd_, 'Z');
        test::Key(hwnd_, 'A');
    }
    EXPECT_EQ(seen, (std::vector<WPARAM>{'Z', 'A'}));
    EXPECT_TRUE(edit_->HasSelection()) << "Ctrl+A reached the edit after the handler";
    test::Key(hwnd_, VK_END);
    test::Key(hwnd_, VK_BACK);
    EXPECT_EQ(edit_->Text(), "abc");
    refuseChar = true;
    test::Type(hwnd_, u"d");
    EXPECT_EQ(edit_->Text(), "abc");
    refuseChar = false;
    test::Type(hwnd_, u"d");
    test::Key(hwnd_, VK_BACK);
    EXPECT_EQ(edit_->Text(), "abc");
    EXPECT_EQ(changes_, 2);
}

TEST_F(EditTest, AltCombinationsReachTheHandlerAsKeyDowns) {
    Focus();
    std::vector<WPARAM> downs;
    edit_->On(ElementEvent::kKeyDown, [&](Element&, const ElementEventArgs& a, bool& handled) {
        downs.push_back(a.wParam);
        handled = a.wParam != VK_F4;  // a hotkey box records the combination
    });
    HeldKeys alt({VK_MENU});
    ::SendMessageW(hwnd_, WM_SYSKEYDOWN, 'Q', 1 | (1 << 29));
    ::SendMessageW(hwnd_, WM_SYSKEYDOWN, VK_LEFT, 1 | (1 << 29));
    EXPECT_EQ(downs, (std::vector<WPARAM>{'Q', VK_LEFT}));
    EXPECT_EQ(edit_->Text(), "");
}

TEST_F(EditTest, ClickElsewhereTakesTheFocusAndStopsTheCaret) {
    int kills = 0;
    edit_->On(ElementEvent::kKillFocus, [&](Element&, const ElementEventArgs&, bool&) { ++kills; });
    Focus();
    // The caret blinks while focused.
    ASSERT_TRUE(test::PollUntil([&] { return !edit_->CaretShown(); }, 3000));
    ASSERT_TRUE(test::PollUntil([&] { return edit_->CaretShown(); }, 3000));
    test::Click(hwnd_, test::Centre(other_->WindowRect()));
    EXPECT_FALSE(edit_->HasFocus());
    EXPECT_EQ(kills, 1);
    EXPECT_FALSE(edit_->CaretShown());
    // A press on the window's empty area does the same.
    Focus();
    test::Click(hwnd_, Point{390, 190});
    EXPECT_FALSE(edit_->HasFocus());
    EXPECT_EQ(kills, 2);
    // A disabled edit cannot take the focus.
    edit_->SetEnabled(false);
    test::Click(hwnd_, InEdit(20));
    EXPECT_FALSE(edit_->HasFocus());
    test::Type(hwnd_, u"x");
    EXPECT_EQ(edit_->Text(), "");
}

TEST_F(EditTest, LongTextScrollsToKeepTheCaretInView) {
    Focus();
    test::Type(hwnd_, u"a rather long line of text that cannot fit into two hundred pixels");
    const Rect box = edit_->WindowRect().Inset(edit_->Padding());
    EXPECT_GT(edit_->ScrollX(), 0);
    Rect caret = edit_->CaretRect();
    EXPECT_GE(caret.left, box.left);
    EXPECT_LT(caret.left, box.right);
    test::Key(hwnd_, VK_HOME);
    EXPECT_EQ(edit_->ScrollX(), 0);
    EXPECT_EQ(edit_->CaretRect().left, box.left);
    EXPECT_EQ(changes_, 66);
    // Programmatic text changes fire the event only when asked.
    edit_->SetText("short");
    EXPECT_EQ(changes_, 66);
    edit_->SetText("shorter", true);
    EXPECT_EQ(changes_, 67);
    EXPECT_EQ(edit_->ScrollX(), 0);
}

// The placeholder shows in its own colour while the edit is empty.
TEST_F(EditTest, PlaceholderDrawnInItsColourOnlyWhenEmpty) {
    edit_->SetPlaceholder("WWWW");
    edit_->SetPlaceholderColor(MakeColor(255, 0, 0));
    edit_->SetTextColor(MakeColor(0, 0, 255));
    const auto count = [&](bool red) {
        window_->PaintNow();
        const PixelBuffer& px = window_->BackBuffer();
        const Rect r = edit_->WindowRect();
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                const uint32_t p = px.At(x, y);  // premultiplied BGRA
                const int b = p & 255, g = (p >> 8) & 255, rr = (p >> 16) & 255;
                if (red ? (rr > 150 && g < 90 && b < 90) : (b > 150 && g < 90 && rr < 90))
                    ++n;
            }
        }
        return n;
    };
    EXPECT_GT(count(true), 10);
    EXPECT_EQ(count(false), 0);
    edit_->SetText("WWWW");
    EXPECT_EQ(count(true), 0);
    EXPECT_GT(count(false), 10);
}

TEST(ImeTest, SwitchedOffAndOnPerWindow) {
    ASSERT_TRUE(InitToolkit());
    Window* a = test::MakeTestWindow();
    Window* b = test::MakeTestWindow();
    ASSERT_TRUE(a && b);
    test::WindowGuard ga(a), gb(b);
    if (!WindowImeEnabled(a->Hwnd()))
        GTEST_SKIP() << "no input context on this system";
    EXPECT_TRUE(SetWindowImeEnabled(a->Hwnd(), false));
    EXPECT_FALSE(WindowImeEnabled(a->Hwnd()));
    EXPECT_TRUE(WindowImeEnabled(b->Hwnd())) << "the other window keeps its IME";
    EXPECT_TRUE(SetWindowImeEnabled(a->Hwnd(), true));
    EXPECT_TRUE(WindowImeEnabled(a->Hwnd()));
    EXPECT_TRUE(SetWindowImeEnabled(a->Hwnd(), true)) << "twice on is still on";

    // A focused password field keeps the IME off while it has the focus.
    auto* pass = a->Root().Add<Edit>();
    pass->SetFixedSize(100, 30);
    pass->SetPassword(true);
    auto* plain = a->Root().Add<Edit>();
    plain->SetFixedSize(100, 30);
    a->AdjustLayout();
    pass->SetFocus();
    EXPECT_FALSE(WindowImeEnabled(a->Hwnd()));
    plain->SetFocus();
    EXPECT_TRUE(WindowImeEnabled(a->Hwnd()));
    // Becoming a password field while focused takes the IME away at once.
    plain->SetPassword(true);
    EXPECT_FALSE(WindowImeEnabled(a->Hwnd()));
    plain->SetPassword(false);
    EXPECT_TRUE(WindowImeEnabled(a->Hwnd()));
    // In a window without IME it stays off after the password field.
    SetWindowImeEnabled(a->Hwnd(), false);
    pass->SetFocus();
    plain->SetFocus();
    EXPECT_FALSE(WindowImeEnabled(a->Hwnd()));
}

}  // namespace
}  // namespace pt
