// The edit element: events to EditModel, caret blinking, clipboard, IME
// placement and painting.
#include "toolkit/edit.h"

#include "base/win_handles.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"
#include "toolkit/clipboard.h"
#include "toolkit/ime.h"
#include "toolkit/window.h"

namespace pt {
namespace {

// Element timer of the caret; far from the small ids programs use.
constexpr UINT kCaretTimer = 0x45444954;
constexpr char16_t kPasswordDot = 0x25CF;

std::u32string CodePoints(std::string_view utf8) {
    return ToCodePoints(Utf8ToWide(utf8));
}

std::string Utf8(std::u32string_view text) {
    return WideToUtf8(FromCodePoints(text));
}

bool KeyDown(int vk) {
    return ::GetKeyState(vk) < 0;
}

// One format for measuring and drawing, so the caret stands exactly where
// the glyphs are: typographic (no padding), trailing spaces counted, one line.
void EditFormat(Gdiplus::StringFormat& fmt) {
    fmt.SetFormatFlags(Gdiplus::StringFormatFlagsMeasureTrailingSpaces |
                       Gdiplus::StringFormatFlagsNoWrap);
    fmt.SetTrimming(Gdiplus::StringTrimmingNone);
}

}  // namespace

Edit::Edit(std::string_view text) {
    model_.SetText(CodePoints(text));
    SetLookName("bkInfo_edit");
    SetCursor(IDC_IBEAM);
    SetFocusable(true);
    SetPadding(4, 0, 4, 0);
}

Edit::~Edit() = default;

// ------------------------------------------------------------------- text

void Edit::SetText(std::string_view text, bool notify) {
    model_.SetText(CodePoints(text));
    Changed(notify);
}

std::string Edit::Text() const {
    return Utf8(model_.Text());
}

void Edit::SetPlaceholder(std::string_view text) {
    placeholder_ = text;
    Redraw();
}

void Edit::SetPlaceholderColor(Color color) {
    placeholderColor_ = color;
    Redraw();
}

void Edit::SetTextColor(Color color) {
    textColor_ = color;
    Redraw();
}

void Edit::SetFont(std::shared_ptr<Font> font) {
    font_ = std::move(font);
    xsValid_ = false;
    KeepCaretVisible();
    Redraw();
}

void Edit::SetPassword(bool on) {
    if (HasFocus() && on != password_) {
        // The IME goes off (or comes back) now, not at the next focus.
        LostFocus();
        password_ = on;
        GainedFocus();
    }
    password_ = on;
    model_.SetMasked(Masked());
    xsValid_ = false;
    KeepCaretVisible();
    Redraw();
}

void Edit::SetPasswordVisible(bool on) {
    passwordVisible_ = on;
    model_.SetMasked(Masked());
    xsValid_ = false;
    KeepCaretVisible();
    Redraw();
}

// -------------------------------------------------------------- selection

void Edit::SetSelection(const EditSelection& selection) {
    model_.SetSelection(selection);
    CaretMoved();
}

void Edit::SetSelection(int start, int end) {
    model_.SetSelection(static_cast<size_t>(std::max(start, 0)),
                        static_cast<size_t>(std::max(end, 0)));
    CaretMoved();
}

void Edit::SelectAll() {
    model_.SelectAll();
    CaretMoved();
}

std::string Edit::SelectedText() const {
    return Utf8(model_.SelectedText());
}

// -------------------------------------------------------------- clipboard

bool Edit::Copy() {
    if (!model_.CanCopy())
        return false;
    HWND owner = OwnerWindow() ? OwnerWindow()->Hwnd() : nullptr;
    return SetClipboardText(owner, SelectedText());
}

bool Edit::Cut() {
    if (!model_.CanCut() || !Copy())
        return false;
    model_.DeleteSelection();
    Changed();
    return true;
}

bool Edit::Paste() {
    if (model_.ReadOnly())
        return false;
    HWND owner = OwnerWindow() ? OwnerWindow()->Hwnd() : nullptr;
    const std::optional<std::string> text = GetClipboardText(owner);
    return text && PasteText(*text);
}

bool Edit::PasteText(const std::string& text) {
    if (!model_.Insert(CodePoints(text)))
        return false;
    Changed();
    return true;
}

bool Edit::DeleteSelection() {
    if (!model_.DeleteSelection())
        return false;
    Changed();
    return true;
}

// ----------------------------------------------------------------- events

bool Edit::DefaultAction(const ElementEventArgs& args) {
    switch (args.event) {
        case ElementEvent::kKeyDown:
            return IsEnabled() && OnKeyDown(static_cast<int>(args.wParam));
        case ElementEvent::kChar:
            return IsEnabled() && OnChar(static_cast<wchar_t>(args.wParam));
        case ElementEvent::kLButtonDown:
            if (IsEnabled()) {
                const size_t col = ColumnAt(args.point);
                const bool extend = (args.wParam & MK_SHIFT) != 0;
                model_.SetSelection(extend ? model_.Anchor() : col, col);
                dragging_ = true;
                CaretMoved();
            }
            return false;  // the window then captures the mouse for the drag
        case ElementEvent::kDoubleClick:
            if (IsEnabled()) {
                model_.SelectWordAt(ColumnAt(args.point));
                dragging_ = false;
                CaretMoved();
            }
            return false;
        case ElementEvent::kMouseMove:
            if (dragging_ && (args.wParam & MK_LBUTTON)) {
                model_.SetSelection(model_.Anchor(), ColumnAt(args.point));
                CaretMoved();
                return true;
            }
            return false;
        case ElementEvent::kLButtonUp:
            dragging_ = false;
            return false;
        case ElementEvent::kTimer:
            if (args.wParam != kCaretTimer)
                return false;
            caretOn_ = !caretOn_;
            Redraw();
            return true;
        case ElementEvent::kSetFocus:
            GainedFocus();
            return false;
        case ElementEvent::kKillFocus:
        case ElementEvent::kDestroy:
            LostFocus();
            return false;
        case ElementEvent::kSize:
            KeepCaretVisible();
            return false;
        default:
            return false;
    }
}

bool Edit::OnKeyDown(int vk) {
    const EditKeyAction a =
        MapEditKey(vk, KeyDown(VK_CONTROL), KeyDown(VK_SHIFT), KeyDown(VK_MENU));
    switch (a.command) {
        case EditCommand::kNone:
            return false;
        case EditCommand::kMove:
            model_.Move(a.move, a.extend);
            CaretMoved();
            return true;
        case EditCommand::kSelectAll:
            SelectAll();
            return true;
        case EditCommand::kCopy:
            Copy();
            return true;
        case EditCommand::kCut:
            Cut();
            return true;
        case EditCommand::kPaste:
            Paste();
            return true;
        case EditCommand::kDeleteBack:
        case EditCommand::kDeleteWordBack:
            if (model_.DeleteBack(a.command == EditCommand::kDeleteWordBack))
                Changed();
            return true;
        case EditCommand::kDeleteForward:
        case EditCommand::kDeleteWordForward:
            if (model_.DeleteForward(a.command == EditCommand::kDeleteWordForward))
                Changed();
            return true;
    }
    return false;
}

bool Edit::OnChar(wchar_t unit) {
    if (model_.TypeUnit(static_cast<char16_t>(unit)))
        Changed();
    return true;
}

void Edit::Changed(bool notify) {
    xsValid_ = false;
    KeepCaretVisible();
    RestartBlink();
    UpdateIme();
    Redraw();
    if (notify && !IsDestroyed())
        Fire(kEditChanged);
}

void Edit::CaretMoved() {
    KeepCaretVisible();
    RestartBlink();
    UpdateIme();
    Redraw();
}

// -------------------------------------------------------- focus and caret

void Edit::RestartBlink() {
    if (!HasFocus())
        return;
    caretOn_ = true;
    const UINT ms = ::GetCaretBlinkTime();
    // INFINITE (or 0) means the user turned blinking off: a steady caret.
    if (ms == 0 || ms == INFINITE) {
        KillTimer(kCaretTimer);
    } else {
        SetTimer(kCaretTimer, ms);
    }
}

void Edit::StopBlink() {
    KillTimer(kCaretTimer);
    caretOn_ = false;
}

void Edit::GainedFocus() {
    Window* w = OwnerWindow();
    HWND hwnd = w ? w->Hwnd() : nullptr;
    // The keys go to the HWND with the keyboard focus: an edit focused by
    // the program in a visible window brings the focus there.
    if (hwnd && ::IsWindowVisible(hwnd) && ::GetFocus() != hwnd)
        ::SetFocus(hwnd);
    if (password_ && hwnd && !imcDetached_) {
        savedImc_ = ::ImmAssociateContext(hwnd, nullptr);
        imcDetached_ = true;
    }
    RestartBlink();
    UpdateIme();
    Redraw();
}

void Edit::LostFocus() {
    StopBlink();
    dragging_ = false;
    if (imcDetached_) {
        Window* w = OwnerWindow();
        if (savedImc_ && w && w->Hwnd())
            ::ImmAssociateContext(w->Hwnd(), savedImc_);
        savedImc_ = nullptr;
        imcDetached_ = false;
    }
    Redraw();
}

void Edit::UpdateIme() {
    Window* w = OwnerWindow();
    if (!HasFocus() || !w || !w->Hwnd())
        return;
    const Font* f = UsedFont();
    const Rect caret = CaretRect();
    LOGFONTW lf{};
    const LOGFONTW* plf = nullptr;
    if (f) {
        const WindowDc dc(w->Hwnd());
        if (dc) {
            Gdiplus::Graphics g(dc.Get());
            if (f->Get()->GetLogFontW(&g, &lf) == Gdiplus::Ok)
                plf = &lf;
        }
    }
    PlaceImeWindows(w->Hwnd(), POINT{caret.left, caret.top}, caret.Height(), plf);
}

void Edit::SetEnabled(bool on) {
    if (!on && HasFocus() && OwnerWindow())
        OwnerWindow()->SetFocusElement(nullptr);
    Element::SetEnabled(on);
    if (!on)
        dragging_ = false;
    Redraw();
}

// --------------------------------------------------------------- geometry

const Font* Edit::UsedFont() {
    if (font_)
        return font_.get();
    if (!defaultFont_)
        defaultFont_ = DefaultFont();
    return defaultFont_.get();
}

std::u16string Edit::Shown() const {
    if (Masked())
        return std::u16string(model_.Length(), kPasswordDot);
    return FromCodePoints(model_.Text());
}

const std::vector<float>& Edit::CaretXs() {
    if (xsValid_)
        return xs_;
    const std::u32string& text = model_.Text();
    xs_.assign(text.size() + 1, 0.0f);
    const Font* f = UsedFont();
    if (f && !text.empty() && GraphicsStarted()) {
        const std::u16string shown = Shown();
        Gdiplus::Bitmap bitmap(1, 1, PixelFormat32bppPARGB);
        Gdiplus::Graphics g(&bitmap);
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
        Gdiplus::StringFormat fmt(Gdiplus::StringFormat::GenericTypographic());
        EditFormat(fmt);
        const Gdiplus::RectF layout(0, 0, 1e6f, 1e6f);
        const auto* w = reinterpret_cast<const WCHAR*>(shown.c_str());
        // Where each character starts and ends in one layout of the whole
        // line, 32 characters per call (GDI+'s limit). Measuring every
        // prefix instead costs a layout per character: a 260-character
        // path took 60 ms a keystroke under Wine.
        std::vector<size_t> starts(text.size() + 1, 0);  // UTF-16 offset of each character
        for (size_t i = 0; i < text.size(); ++i)
            starts[i + 1] = starts[i] + (!Masked() && text[i] >= 0x10000 ? 2 : 1);
        bool ok = true;
        for (size_t first = 0; first < text.size() && ok; first += 32) {
            const size_t count = std::min<size_t>(32, text.size() - first);
            Gdiplus::CharacterRange ranges[32];
            for (size_t k = 0; k < count; ++k) {
                ranges[k] = Gdiplus::CharacterRange(
                    static_cast<INT>(starts[first + k]),
                    static_cast<INT>(starts[first + k + 1] - starts[first + k]));
            }
            Gdiplus::StringFormat rf(&fmt);
            Gdiplus::Region regions[32];
            ok = rf.SetMeasurableCharacterRanges(static_cast<INT>(count), ranges) == Gdiplus::Ok &&
                 g.MeasureCharacterRanges(w, static_cast<INT>(shown.size()), f->Get(), layout, &rf,
                                          static_cast<INT>(count), regions) == Gdiplus::Ok;
            for (size_t k = 0; k < count && ok; ++k) {
                Gdiplus::RectF b;
                ok = regions[k].GetBounds(&b, &g) == Gdiplus::Ok;
                // Never backwards, whatever the shaping does.
                xs_[first + k + 1] = std::max(b.X + b.Width, xs_[first + k]);
            }
        }
        if (!ok) {
            // The slow way: the width of every prefix.
            for (size_t i = 0; i < text.size(); ++i) {
                Gdiplus::RectF bounds;
                g.MeasureString(w, static_cast<INT>(starts[i + 1]), f->Get(), layout, &fmt,
                                &bounds);
                xs_[i + 1] = std::max(bounds.Width, xs_[i]);
            }
        }
    }
    xsValid_ = true;
    return xs_;
}

Rect Edit::TextBox() const {
    return ClientRect().Inset(Padding());
}

size_t Edit::ColumnAt(Point elementPoint) {
    const Rect box = TextBox();
    return EditColumnAt(CaretXs(), static_cast<float>(elementPoint.x - box.left + scrollX_));
}

void Edit::KeepCaretVisible() {
    const std::vector<float>& xs = CaretXs();
    scrollX_ = EditScrollFor(xs[model_.Caret()], xs.back(), scrollX_, TextBox().Width());
}

Rect Edit::CaretRect() {
    const Rect box = WindowRect().Inset(Padding());
    const Font* f = UsedFont();
    const int lineHeight = f ? f->LineHeight() : box.Height();
    const int x = box.left + static_cast<int>(std::lround(CaretXs()[model_.Caret()])) - scrollX_;
    const int y = box.top + (box.Height() - lineHeight) / 2;
    return Rect::FromSize(x, y, 1, lineHeight);
}

Size Edit::ContentSize() const {
    const std::shared_ptr<Font> f = font_ ? font_ : DefaultFont();
    const int lineHeight = f ? f->LineHeight() : 16;
    const Insets p = Padding();
    return Size{120 + p.left + p.right, lineHeight + 8 + p.top + p.bottom};
}

// ------------------------------------------------------------------ mouse

void Edit::OnHover(bool on) {
    hover_ = on;
    Redraw();
}

bool Edit::OnPress() {
    return IsEnabled();
}

void Edit::OnRelease(bool) {
    dragging_ = false;
}

void Edit::OnCaptureLost() {
    dragging_ = false;
}

// --------------------------------------------------------------- painting

void Edit::PaintBackground(Canvas& canvas, const Rect& box) {
    if (!HasLook())
        return;
    const StateLook& look = GetLook();
    if (!IsEnabled()) {
        canvas.DrawLook(box, look.For(VisualState::kDisabled));
    } else if (HasFocus() && look.focused) {
        canvas.DrawLook(box, *look.focused);
    } else {
        canvas.DrawLook(box, look.For(hover_ ? VisualState::kHover : VisualState::kNormal));
    }
}

void Edit::PaintContent(Canvas& canvas, const Rect& box) {
    const Rect tb = box.Inset(Padding());
    const Font* f = UsedFont();
    if (tb.IsEmpty() || !f)
        return;
    Gdiplus::Graphics& g = canvas.Graphics();
    const Gdiplus::GraphicsState saved = g.Save();
    const Rect outerClip = canvas.ClipRect();
    canvas.SetClip(tb.Intersect(outerClip));
    const int lineHeight = f->LineHeight();
    const int y = tb.top + (tb.Height() - lineHeight) / 2;
    const float originX = static_cast<float>(tb.left - scrollX_);
    Gdiplus::StringFormat fmt(Gdiplus::StringFormat::GenericTypographic());
    EditFormat(fmt);
    const auto draw = [&](const std::u16string& text, Color color) {
        if (!IsEnabled())
            color = WithAlpha(color, ColorAlpha(color) * 110 / 255);
        Gdiplus::SolidBrush brush(ToGdiColor(color));
        g.DrawString(reinterpret_cast<const WCHAR*>(text.c_str()), static_cast<INT>(text.size()),
                     f->Get(), Gdiplus::PointF(originX, static_cast<float>(y)), &fmt, &brush);
    };
    const std::vector<float>& xs = CaretXs();
    if (model_.Length() == 0) {
        if (!placeholder_.empty())
            draw(Utf8ToWide(placeholder_), placeholderColor_);
    } else {
        if (model_.HasSelection()) {
            const float x0 = xs[model_.SelectionStart()];
            const float x1 = xs[model_.SelectionEnd()];
            const Color c = HasFocus() ? selectionColor_ : MakeColor(0, 0, 0, 28);
            Gdiplus::SolidBrush brush(ToGdiColor(c));
            g.FillRectangle(&brush, originX + x0, static_cast<float>(y), x1 - x0,
                            static_cast<float>(lineHeight));
        }
        draw(Shown(), textColor_);
    }
    // No caret in a window without the keyboard focus, as with native edits.
    const Window* w = OwnerWindow();
    if (CaretShown() && IsEnabled() && w && ::GetFocus() == w->Hwnd()) {
        const int x = tb.left + static_cast<int>(std::lround(xs[model_.Caret()])) - scrollX_;
        canvas.FillRect(Rect::FromSize(x, y, 1, lineHeight), WithAlpha(textColor_, 255));
    }
    g.Restore(saved);
    canvas.SetClip(outerClip);
}

}  // namespace pt
