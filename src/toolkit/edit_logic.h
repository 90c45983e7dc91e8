// What a single-line edit does with its text, apart from drawing and from
// Win32: the text as code points, the caret and the selection anchor, caret
// moves by character, word and line end, word boundaries, typing, deleting
// and pasting under the read-only, maximum-length and password rules, and
// the table of editing keys. Positions are code-point indices, so a
// character outside the BMP is one step of the caret, never half of one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pt {

// Virtual-key codes the edit reacts to (the Win32 values, spelt out here so
// this file stays free of <windows.h>).
namespace edit_keys {
inline constexpr int kBack = 0x08;
inline constexpr int kEnd = 0x23;
inline constexpr int kHome = 0x24;
inline constexpr int kLeft = 0x25;
inline constexpr int kUp = 0x26;
inline constexpr int kRight = 0x27;
inline constexpr int kDown = 0x28;
inline constexpr int kInsert = 0x2D;
inline constexpr int kDelete = 0x2E;
}  // namespace edit_keys

enum class EditMove { kLeft, kRight, kWordLeft, kWordRight, kHome, kEnd };

enum class EditCommand {
    kNone,
    kMove,  // with EditKeyAction::move and ::extend
    kSelectAll,
    kCopy,
    kCut,
    kPaste,
    kDeleteBack,
    kDeleteForward,
    kDeleteWordBack,
    kDeleteWordForward,
};

struct EditKeyAction {
    EditCommand command = EditCommand::kNone;
    EditMove move = EditMove::kLeft;
    bool extend = false;  // Shift held: the selection grows instead of collapsing
};

// The edit's meaning of a key-down. Alt combinations mean nothing to it.
EditKeyAction MapEditKey(int vk, bool ctrl, bool shift, bool alt);

// A selection as rows and columns; a single-line edit has row 0 only.
struct EditSelection {
    int startRow = 0;
    int startCol = 0;
    int endRow = 0;
    int endCol = 0;
    friend bool operator==(const EditSelection&, const EditSelection&) = default;
};

std::u32string ToCodePoints(std::u16string_view text);
std::u16string FromCodePoints(std::u32string_view text);

class EditModel {
  public:
    // Replaces the text as given (no length limit, no filtering: the
    // program's own text is never cut) and puts the caret at the end.
    void SetText(std::u32string text);
    const std::u32string& Text() const { return text_; }
    size_t Length() const { return text_.size(); }

    void SetReadOnly(bool on) { readOnly_ = on; }
    bool ReadOnly() const { return readOnly_; }
    // 0: no limit. Lowering it keeps a longer text; only input is limited.
    void SetMaxLength(size_t n) { maxLength_ = n; }
    size_t MaxLength() const { return maxLength_; }
    // Hidden characters: no word steps (they would reveal the spaces) and
    // nothing leaves through cut or copy.
    void SetMasked(bool on) { masked_ = on; }
    bool Masked() const { return masked_; }

    size_t Caret() const { return caret_; }
    size_t Anchor() const { return anchor_; }
    size_t SelectionStart() const { return caret_ < anchor_ ? caret_ : anchor_; }
    size_t SelectionEnd() const { return caret_ < anchor_ ? anchor_ : caret_; }
    bool HasSelection() const { return caret_ != anchor_; }
    std::u32string SelectedText() const;
    // Both ends are clamped to the text.
    void SetSelection(size_t anchor, size_t caret);
    void SelectAll() { SetSelection(0, text_.size()); }
    EditSelection Selection() const;
    void SetSelection(const EditSelection& s);

    void Move(EditMove move, bool extend);
    // The word (or run of spaces, or of punctuation) around `pos`.
    void SelectWordAt(size_t pos);
    size_t WordLeft(size_t pos) const;
    size_t WordRight(size_t pos) const;

    // Each editing call returns true when the text changed.
    // Replaces the selection. Only the first line of `text` is taken and
    // other control characters are dropped; what exceeds the maximum length
    // is cut off.
    bool Insert(std::u32string_view text);
    // One UTF-16 unit of typed input (WM_CHAR): a high surrogate waits for
    // its low half; control characters are ignored.
    bool TypeUnit(char16_t unit);
    bool DeleteBack(bool word);
    bool DeleteForward(bool word);
    bool DeleteSelection();

    bool CanCopy() const { return HasSelection() && !masked_; }
    bool CanCut() const { return CanCopy() && !readOnly_; }

  private:
    void Replace(size_t from, size_t to, std::u32string_view with);

    std::u32string text_;
    size_t caret_ = 0;
    size_t anchor_ = 0;
    size_t maxLength_ = 0;
    bool readOnly_ = false;
    bool masked_ = false;
    char16_t pendingHigh_ = 0;
};

// The caret index nearest to `x`, given the x of every caret position
// (xs[i]: left edge of character i; xs.back(): the end of the text).
size_t EditColumnAt(const std::vector<float>& xs, float x);

// The horizontal scroll that keeps the caret in a view `viewWidth` wide,
// moving as little as possible from `scroll`, and never leaving empty room
// on the right while the text is scrolled.
int EditScrollFor(float caretX, float textWidth, int scroll, int viewWidth);

}  // namespace pt
