// The rename editors' undo history: word-sized typing steps, pauses, the
// redo tail, the cap, and the selection that comes back with a step.
#include "panel/edit_history.h"

#include <gtest/gtest.h>

#include <string>

namespace pt {
namespace {

EditSnapshot At(std::string text, int start, int end) {
    return EditSnapshot{std::move(text), EditSelection{0, start, 0, end}};
}
EditSnapshot Caret(std::string text) {
    const int n = static_cast<int>(text.size());  // ASCII in these tests
    return At(std::move(text), n, n);
}

// Types `text` into the history one character each `stepMs` apart.
void Type(EditHistory& h, std::string& text, std::string_view typed, uint64_t& now,
          uint64_t stepMs = 100) {
    for (char c : typed) {
        EditSnapshot before = Caret(text);
        text.push_back(c);
        h.Changed(before, Caret(text), static_cast<char32_t>(c), now);
        now += stepMs;
    }
}

TEST(EditHistoryTest, TypingIsUndoneOneWordAtATime) {
    EditHistory h(Caret(""));
    std::string text;
    uint64_t now = 0;
    Type(h, text, "hello big world", now);
    std::vector<std::string> undone;
    while (auto s = h.Undo(Caret(text))) {
        text = s->text;
        undone.push_back(text);
    }
    EXPECT_EQ(undone, (std::vector<std::string>{"hello big ", "hello ", ""}));
    // and forward again, the same steps
    std::vector<std::string> redone;
    while (auto s = h.Redo(Caret(text))) {
        text = s->text;
        redone.push_back(text);
    }
    EXPECT_EQ(redone, (std::vector<std::string>{"hello ", "hello big ", "hello big world"}));
}

TEST(EditHistoryTest, APauseOrANonTypingChangeEndsTheStep) {
    struct Case {
        const char* what;
        uint64_t step;
        std::string expectAfterOneUndo;
    } cases[] = {
        {"quick typing is one step", 100, ""},
        {"a rest between letters splits", kEditPauseMs + 1, "ab"},
    };
    for (const Case& c : cases) {
        EditHistory h(Caret(""));
        std::string text;
        uint64_t now = 0;
        Type(h, text, "abc", now, c.step);
        auto s = h.Undo(Caret(text));
        ASSERT_TRUE(s) << c.what;
        EXPECT_EQ(s->text, c.expectAfterOneUndo) << c.what;
    }

    // Backspace between typed letters is a step of its own.
    EditHistory h(Caret(""));
    std::string text;
    uint64_t now = 0;
    Type(h, text, "ab", now);
    h.Changed(Caret("ab"), Caret("a"), 0, now);
    text = "a";
    Type(h, text, "c", now);
    EXPECT_EQ(h.Undo(Caret("ac"))->text, "a");
    EXPECT_EQ(h.Undo(Caret("a"))->text, "ab");
    EXPECT_EQ(h.Undo(Caret("ab"))->text, "");
}

TEST(EditHistoryTest, UndoOfACutGivesBackTheTextWithItsSelection) {
    EditHistory h(Caret("name"));
    // The user selected "am" (no text change), then cut it.
    const EditSnapshot beforeCut = At("name", 1, 3);
    const EditSnapshot afterCut = At("ne", 1, 1);
    h.Changed(beforeCut, afterCut, 0, 0);
    auto undone = h.Undo(afterCut);
    ASSERT_TRUE(undone);
    EXPECT_EQ(*undone, beforeCut);
    auto redone = h.Redo(*undone);
    ASSERT_TRUE(redone);
    EXPECT_EQ(*redone, afterCut);
    EXPECT_FALSE(h.Redo(afterCut));
}

TEST(EditHistoryTest, AChangeAfterUndoDropsTheRedoTail) {
    EditHistory h(Caret(""));
    h.Changed(Caret(""), Caret("one"), 0, 0);
    h.Changed(Caret("one"), Caret("two"), 0, 0);
    ASSERT_EQ(h.Undo(Caret("two"))->text, "one");
    h.Changed(Caret("one"), Caret("three"), 0, 0);
    EXPECT_FALSE(h.CanRedo());
    EXPECT_EQ(h.Undo(Caret("three"))->text, "one");
    EXPECT_EQ(h.Undo(Caret("one"))->text, "");
    EXPECT_FALSE(h.Undo(Caret("")));
}

TEST(EditHistoryTest, TypingAfterUndoDoesNotExtendTheUndoneStep) {
    EditHistory h(Caret(""));
    std::string text;
    uint64_t now = 0;
    Type(h, text, "ab", now);
    h.Changed(Caret("ab"), Caret(""), 0, now);  // select all + delete
    text = h.Undo(Caret(""))->text;             // back to "ab"
    Type(h, text, "c", now);
    EXPECT_EQ(h.Undo(Caret("abc"))->text, "ab");
}

TEST(EditHistoryTest, KeepsTheNewestHundredSteps) {
    EditHistory h(Caret(""));
    for (int i = 1; i <= 150; ++i)
        h.Changed(Caret(std::to_string(i - 1)), Caret(std::to_string(i)), 0, 0);
    EXPECT_EQ(h.Size(), kMaxEditSnapshots);
    std::string last;
    std::string text = "150";
    while (auto s = h.Undo(Caret(text)))
        text = s->text;
    EXPECT_EQ(text, "51");  // 150 - 99: the oldest states are gone
}

TEST(EditHistoryTest, TextSetByTheProgramBecomesAStepBeforeUndo) {
    EditHistory h(Caret("a"));
    h.Changed(Caret("a"), Caret("ab"), 0, 0);
    // The program replaced the text without telling the history.
    auto s = h.Undo(Caret("xyz"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->text, "ab");
    EXPECT_EQ(h.Redo(*s)->text, "xyz");
    EXPECT_FALSE(h.Redo(Caret("other")));  // redo onto a foreign text does nothing
}

}  // namespace
}  // namespace pt
