// The edit's text model: caret moves and word steps, the key table,
// insertion under the length, line and read-only rules, deletion, masked
// text, UTF-16 input and the caret/scroll arithmetic.
#include <gtest/gtest.h>

#include "toolkit/edit_logic.h"

namespace pt {
namespace {

std::u32string U(std::u16string_view s) {
    return ToCodePoints(s);
}

EditModel Model(std::u16string_view text, size_t anchor, size_t caret) {
    EditModel m;
    m.SetText(U(text));
    m.SetSelection(anchor, caret);
    return m;
}

TEST(EditModelTest, MovesCollapseOrExtendTheSelection) {
    struct Case {
        const char* what;
        size_t anchor, caret;
        EditMove move;
        bool extend;
        size_t wantAnchor, wantCaret;
    };
    // "ab cd, 中文abc" : a0 b1 ' '2 c3 d4 ,5 ' '6 中7 文8 a9 b10 c11 (12 = end)
    const Case cases[] = {
        {"left steps one", 3, 3, EditMove::kLeft, false, 2, 2},
        {"left at start stays", 0, 0, EditMove::kLeft, false, 0, 0},
        {"left collapses to the start", 1, 4, EditMove::kLeft, false, 1, 1},
        {"right collapses to the end", 4, 1, EditMove::kRight, false, 4, 4},
        {"shift+left grows", 3, 3, EditMove::kLeft, true, 3, 2},
        {"shift+right shrinks a backward selection", 4, 1, EditMove::kRight, true, 4, 2},
        {"right at end stays", 12, 12, EditMove::kRight, false, 12, 12},
        {"home", 5, 5, EditMove::kHome, false, 0, 0},
        {"shift+end", 5, 5, EditMove::kEnd, true, 5, 12},
        {"word right skips word and spaces", 0, 0, EditMove::kWordRight, false, 3, 3},
        {"word right from a space", 2, 2, EditMove::kWordRight, false, 3, 3},
        {"word right stops at punctuation", 3, 3, EditMove::kWordRight, false, 5, 5},
        {"ideographs are one word", 7, 7, EditMove::kWordRight, false, 9, 9},
        {"word left from the end", 12, 12, EditMove::kWordLeft, false, 9, 9},
        {"word left over spaces", 7, 7, EditMove::kWordLeft, false, 5, 5},
        {"word left inside a word", 4, 4, EditMove::kWordLeft, false, 3, 3},
        {"shift+ctrl+right", 0, 0, EditMove::kWordRight, true, 0, 3},
    };
    for (const Case& c : cases) {
        EditModel m = Model(u"ab cd, 中文abc", c.anchor, c.caret);
        m.Move(c.move, c.extend);
        EXPECT_EQ(m.Anchor(), c.wantAnchor) << c.what;
        EXPECT_EQ(m.Caret(), c.wantCaret) << c.what;
    }
}

TEST(EditModelTest, DoubleClickSelectsTheWordAroundTheClick) {
    struct Case {
        size_t at, from, to;
    };
    const Case cases[] = {{0, 0, 5},  {3, 0, 5},    {5, 5, 6},    {6, 6, 8},
                          {8, 8, 10}, {10, 10, 12}, {11, 10, 12}, {12, 10, 12} /* past the end */};
    for (const Case& c : cases) {
        // hello 0-4, space 5, ".." 6-7, 中文 8-9, ab 10-11
        EditModel m = Model(u"hello ..中文ab", 0, 0);
        m.SelectWordAt(c.at);
        EXPECT_EQ(m.SelectionStart(), c.from) << "at " << c.at;
        EXPECT_EQ(m.SelectionEnd(), c.to) << "at " << c.at;
    }
}

TEST(EditModelTest, KeyTable) {
    using namespace edit_keys;
    struct Case {
        int vk;
        bool ctrl, shift, alt;
        EditCommand command;
        EditMove move;
        bool extend;
    };
    const Case cases[] = {
        {kLeft, false, false, false, EditCommand::kMove, EditMove::kLeft, false},
        {kLeft, true, true, false, EditCommand::kMove, EditMove::kWordLeft, true},
        {kRight, true, false, false, EditCommand::kMove, EditMove::kWordRight, false},
        {kHome, false, true, false, EditCommand::kMove, EditMove::kHome, true},
        {kEnd, false, false, false, EditCommand::kMove, EditMove::kEnd, false},
        {'A', true, false, false, EditCommand::kSelectAll, EditMove::kLeft, false},
        {'C', true, false, false, EditCommand::kCopy, EditMove::kLeft, false},
        {'X', true, false, false, EditCommand::kCut, EditMove::kLeft, false},
        {'V', true, false, false, EditCommand::kPaste, EditMove::kLeft, false},
        {kInsert, true, false, false, EditCommand::kCopy, EditMove::kLeft, false},
        {kInsert, false, true, false, EditCommand::kPaste, EditMove::kLeft, false},
        {kDelete, false, true, false, EditCommand::kCut, EditMove::kLeft, false},
        {kDelete, false, false, false, EditCommand::kDeleteForward, EditMove::kLeft, false},
        {kDelete, true, false, false, EditCommand::kDeleteWordForward, EditMove::kLeft, false},
        {kBack, false, false, false, EditCommand::kDeleteBack, EditMove::kLeft, false},
        {kBack, true, false, false, EditCommand::kDeleteWordBack, EditMove::kLeft, false},
        // Undo and redo are the program's (its history), not the edit's.
        {'Z', true, false, false, EditCommand::kNone, EditMove::kLeft, false},
        {'Y', true, false, false, EditCommand::kNone, EditMove::kLeft, false},
        {'A', false, false, false, EditCommand::kNone, EditMove::kLeft, false},
        {'A', true, true, false, EditCommand::kNone, EditMove::kLeft, false},
        // Alt combinations belong to hotkey boxes and the window menu.
        {kLeft, false, false, true, EditCommand::kNone, EditMove::kLeft, false},
        {'V', true, false, true, EditCommand::kNone, EditMove::kLeft, false},
    };
    for (const Case& c : cases) {
        const EditKeyAction a = MapEditKey(c.vk, c.ctrl, c.shift, c.alt);
        EXPECT_EQ(a.command, c.command) << "vk " << c.vk;
        if (c.command == EditCommand::kMove) {
            EXPECT_EQ(a.move, c.move) << "vk " << c.vk;
            EXPECT_EQ(a.extend, c.extend) << "vk " << c.vk;
        }
    }
}

TEST(EditModelTest, InsertFiltersCutsAndReplacesTheSelection) {
    struct Case {
        const char* what;
        std::u16string_view text;
        size_t anchor, caret, max;
        bool readOnly;
        std::u16string_view insert;
        bool changed;
        std::u16string_view want;
        size_t wantCaret;
    };
    const Case cases[] = {
        {"typed in the middle", u"abcd", 2, 2, 0, false, u"X", true, u"abXcd", 3},
        {"replaces the selection", u"abcd", 1, 3, 0, false, u"XY", true, u"aXYd", 3},
        {"first line only", u"ab", 2, 2, 0, false, u"one\r\ntwo", true, u"abone", 5},
        {"controls dropped", u"", 0, 0, 0, false,
         u"a\tb\x7F"
         u"c",
         true, u"abc", 3},
        {"cut at the limit", u"abc", 3, 3, 5, false, u"XYZ", true, u"abcXY", 5},
        {"the selection makes room", u"abcde", 0, 2, 5, false, u"XYZ", true, u"XYcde", 2},
        {"full: nothing, selection kept", u"abcde", 1, 1, 5, false, u"X", false, u"abcde", 1},
        {"read-only refuses", u"abc", 0, 3, 0, true, u"X", false, u"abc", 3},
        {"only a line break: nothing", u"abc", 0, 3, 0, false, u"\r\nx", false, u"abc", 3},
        {"astral counts as one", u"ab", 2, 2, 3, false, u"\U0001F600\U0001F600", true,
         u"ab\U0001F600", 3},
    };
    for (const Case& c : cases) {
        EditModel m = Model(c.text, c.anchor, c.caret);
        m.SetMaxLength(c.max);
        m.SetReadOnly(c.readOnly);
        EXPECT_EQ(m.Insert(U(c.insert)), c.changed) << c.what;
        EXPECT_EQ(FromCodePoints(m.Text()), c.want) << c.what;
        EXPECT_EQ(m.Caret(), c.wantCaret) << c.what;
    }
}

TEST(EditModelTest, LongerTextSetByTheProgramIsKept) {
    EditModel m;
    m.SetMaxLength(3);
    m.SetText(U(u"abcdef"));
    EXPECT_EQ(m.Length(), 6u);
    EXPECT_FALSE(m.Insert(U(u"x")));
    m.SetSelection(0, 4);
    EXPECT_TRUE(m.Insert(U(u"XYZ")));  // 2 left + 3 typed would be 5: only 1 fits
    EXPECT_EQ(FromCodePoints(m.Text()), u"Xef");
}

TEST(EditModelTest, Deleting) {
    struct Case {
        const char* what;
        size_t anchor, caret;
        bool back, word, readOnly;
        bool changed;
        std::u16string_view want;
    };
    // "one two  three"
    const Case cases[] = {
        {"backspace", 3, 3, true, false, false, true, u"on two  three"},
        {"backspace at start", 0, 0, true, false, false, false, u"one two  three"},
        {"delete", 3, 3, false, false, false, true, u"onetwo  three"},
        {"delete at end", 14, 14, false, false, false, false, u"one two  three"},
        {"backspace takes the selection", 4, 7, true, false, false, true, u"one   three"},
        {"delete takes the selection", 7, 4, false, false, false, true, u"one   three"},
        {"ctrl+backspace", 9, 9, true, true, false, true, u"one three"},
        {"ctrl+delete", 4, 4, false, true, false, true, u"one three"},
        {"read-only refuses", 4, 7, true, false, true, false, u"one two  three"},
    };
    for (const Case& c : cases) {
        EditModel m = Model(u"one two  three", c.anchor, c.caret);
        m.SetReadOnly(c.readOnly);
        const bool changed = c.back ? m.DeleteBack(c.word) : m.DeleteForward(c.word);
        EXPECT_EQ(changed, c.changed) << c.what;
        EXPECT_EQ(FromCodePoints(m.Text()), c.want) << c.what;
        // A refused deletion leaves the selection as it was.
        EXPECT_EQ(m.HasSelection(), !c.changed && c.anchor != c.caret) << c.what;
    }
}

TEST(EditModelTest, MaskedTextHidesWordsAndRefusesCopy) {
    EditModel m = Model(u"pass word", 0, 0);
    m.SetMasked(true);
    m.Move(EditMove::kWordRight, false);
    EXPECT_EQ(m.Caret(), 9u) << "one step to the end: spaces stay secret";
    m.SelectWordAt(2);
    EXPECT_EQ(m.SelectionStart(), 0u);
    EXPECT_EQ(m.SelectionEnd(), 9u);
    EXPECT_FALSE(m.CanCopy());
    EXPECT_FALSE(m.CanCut());
    m.SetMasked(false);
    EXPECT_TRUE(m.CanCopy());
    m.SetReadOnly(true);
    EXPECT_TRUE(m.CanCopy());
    EXPECT_FALSE(m.CanCut());
}

TEST(EditModelTest, SelectionAsRowsAndColumns) {
    EditModel m = Model(u"abcdef", 5, 2);
    EXPECT_EQ(m.Selection(), (EditSelection{0, 2, 0, 5}));
    EXPECT_EQ(FromCodePoints(m.SelectedText()), u"cde");
    m.SetSelection(EditSelection{0, 1, 0, 99});
    EXPECT_EQ(m.Selection(), (EditSelection{0, 1, 0, 6})) << "clamped to the text";
    m.SetSelection(EditSelection{0, -3, 0, 2});
    EXPECT_EQ(m.Selection(), (EditSelection{0, 0, 0, 2}));
}

TEST(EditModelTest, TypedSurrogatePairsJoin) {
    EditModel m;
    EXPECT_FALSE(m.TypeUnit(0xD83D));
    EXPECT_TRUE(m.TypeUnit(0xDE00));
    EXPECT_EQ(m.Length(), 1u);
    EXPECT_EQ(m.Text()[0], U'\U0001F600');
    EXPECT_FALSE(m.TypeUnit(0xDE00)) << "a low half alone is dropped";
    EXPECT_FALSE(m.TypeUnit(0x08)) << "backspace is a key, not a character";
    EXPECT_FALSE(m.TypeUnit(0x0D));
    EXPECT_TRUE(m.TypeUnit(u'中'));
    EXPECT_EQ(FromCodePoints(m.Text()), u"\U0001F600中");
    // A lone surrogate survives the conversions.
    EXPECT_EQ(FromCodePoints(ToCodePoints(u"a\xD800z")), u"a\xD800z");
}

TEST(EditGeometryTest, ColumnNearestToX) {
    const std::vector<float> xs = {0, 10, 20, 35};
    struct Case {
        float x;
        size_t col;
    };
    const Case cases[] = {{-5, 0}, {0, 0},  {4.9f, 0}, {5.1f, 1}, {14, 1},
                          {16, 2}, {27, 2}, {28, 3},   {100, 3}};
    for (const Case& c : cases)
        EXPECT_EQ(EditColumnAt(xs, c.x), c.col) << "x " << c.x;
    EXPECT_EQ(EditColumnAt({}, 3), 0u);
}

TEST(EditGeometryTest, ScrollKeepsTheCaretInView) {
    struct Case {
        const char* what;
        float caret, textWidth;
        int scroll, view, want;
    };
    const Case cases[] = {
        {"fits: no scroll", 40, 50, 0, 100, 0},
        {"caret past the right edge", 150, 300, 0, 100, 51},
        {"caret left of the view", 20, 300, 80, 100, 20},
        {"caret inside: unchanged", 120, 300, 60, 100, 60},
        {"no room left empty at the end", 100, 120, 90, 100, 21},
        {"text shrank: back to 0", 10, 40, 30, 100, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditScrollFor(c.caret, c.textWidth, c.scroll, c.view), c.want) << c.what;
}

}  // namespace
}  // namespace pt
