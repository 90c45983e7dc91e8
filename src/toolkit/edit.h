// The single-line text edit drawn by the toolkit: caret with blinking,
// selection by mouse (click, drag, Shift+click, double-click on a word) and
// keyboard, cut/copy/paste through the clipboard, placeholder text in its
// own colour, password mode with a switch that shows the characters,
// read-only, maximum length, I-beam cursor, and the IME's composition
// window kept at the caret. The editing itself is EditModel's; this class
// maps events to it and paints.
//
// Key-downs and characters reach the program's handlers first (kKeyDown,
// kChar): a handler that marks one handled keeps the edit from acting on it
// (the undo history takes Ctrl+Z this way; a hotkey box reads every key,
// Alt combinations included, and marks them handled). After every change of
// the text made through the edit - typing, deleting, cut, paste - it fires
// kEditChanged; SetText fires it only when asked.
#pragma once

#include <windows.h>
#include <imm.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/edit_logic.h"
#include "toolkit/element.h"

namespace pt {

// The text changed through the edit (typing, deleting, cut, paste).
inline constexpr ElementEvent kEditChanged = ElementEvent::kEditChanged;

class Edit : public Element {
  public:
    explicit Edit(std::string_view text = {});
    ~Edit() override;

    // ---- text
    void SetText(std::string_view text, bool notify = false);
    std::string Text() const;
    int Length() const { return static_cast<int>(model_.Length()); }  // in characters
    void SetPlaceholder(std::string_view text);
    const std::string& Placeholder() const { return placeholder_; }
    void SetPlaceholderColor(Color color);
    void SetTextColor(Color color);
    Color TextColor() const { return textColor_; }
    void SetFont(std::shared_ptr<Font> font);
    void SetSelectionColor(Color color) { selectionColor_ = color; }

    // ---- modes
    // Password: every character shows as a dot; cut and copy are refused
    // and word steps jump to the ends, so nothing of the secret leaks.
    void SetPassword(bool on);
    bool IsPassword() const { return password_; }
    // The "show" switch of a password field (the eye button).
    void SetPasswordVisible(bool on);
    bool PasswordVisible() const { return passwordVisible_; }
    void SetReadOnly(bool on) { model_.SetReadOnly(on); }
    bool IsReadOnly() const { return model_.ReadOnly(); }
    // In characters; 0: no limit. Only input is limited.
    void SetMaxLength(int n) { model_.SetMaxLength(n > 0 ? static_cast<size_t>(n) : 0); }
    int MaxLength() const { return static_cast<int>(model_.MaxLength()); }

    // ---- selection (character columns; a single line is row 0)
    EditSelection Selection() const { return model_.Selection(); }
    void SetSelection(const EditSelection& selection);
    void SetSelection(int start, int end);
    void SelectAll();
    bool HasSelection() const { return model_.HasSelection(); }
    std::string SelectedText() const;
    int CaretPosition() const { return static_cast<int>(model_.Caret()); }

    // ---- clipboard and deletion, as the keys and the program's edit menu
    // do them; false when refused (nothing selected, read-only, password)
    // or when the clipboard cannot be used.
    bool Cut();
    bool Copy();
    bool Paste();
    bool DeleteSelection();

    // ---- for tests and the program's checks
    bool CaretShown() const { return caretOn_ && HasFocus(); }
    int ScrollX() const { return scrollX_; }
    // Where the caret is drawn, in window coordinates.
    Rect CaretRect();

    // ---- Element
    void SetEnabled(bool on) override;
    Size ContentSize() const override;
    bool IsInteractive() const override { return true; }
    void OnHover(bool on) override;
    bool OnPress() override;
    void OnRelease(bool inside) override;
    void OnCaptureLost() override;
    void PaintBackground(Canvas& canvas, const Rect& box) override;
    void PaintContent(Canvas& canvas, const Rect& box) override;

  protected:
    bool DefaultAction(const ElementEventArgs& args) override;

  private:
    bool OnKeyDown(int vk);
    bool OnChar(wchar_t unit);
    void Changed(bool notify = true);
    void CaretMoved();
    void RestartBlink();
    void StopBlink();
    void UpdateIme();
    void GainedFocus();
    void LostFocus();
    const Font* UsedFont();
    bool Masked() const { return password_ && !passwordVisible_; }
    // The text as drawn (dots for a password).
    std::u16string Shown() const;
    // x of every caret position, from the start of the text; cached.
    const std::vector<float>& CaretXs();
    Rect TextBox() const;
    size_t ColumnAt(Point elementPoint);
    void KeepCaretVisible();
    bool PasteText(const std::string& text);

    EditModel model_;
    std::string placeholder_;
    std::shared_ptr<Font> font_;
    std::shared_ptr<Font> defaultFont_;  // held while drawn with the default font
    Color textColor_ = MakeColor(60, 60, 60);
    Color placeholderColor_ = MakeColor(170, 170, 170);
    Color selectionColor_ = MakeColor(0, 120, 215, 70);
    bool password_ = false;
    bool passwordVisible_ = false;
    bool hover_ = false;
    bool caretOn_ = false;
    bool dragging_ = false;
    int scrollX_ = 0;
    std::vector<float> xs_;
    bool xsValid_ = false;
    // The window's input context while a password field has the focus (an
    // IME would show the secret in its composition window).
    HIMC savedImc_ = nullptr;
    bool imcDetached_ = false;
};

}  // namespace pt
