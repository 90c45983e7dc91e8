// The single-line edit's text model: caret moves, word boundaries, input
// filtering and the editing keys.
#include "toolkit/edit_logic.h"

#include <algorithm>
#include <cmath>

namespace pt {
namespace {

enum class CharClass { kSpace, kWord, kIdeograph, kPunct };

bool InRange(char32_t c, char32_t lo, char32_t hi) {
    return c >= lo && c <= hi;
}

CharClass ClassOf(char32_t c) {
    if (c == U' ' || c == U'\t' || c == 0xA0 || c == 0x3000 || InRange(c, 0x2000, 0x200B))
        return CharClass::kSpace;
    if (c < 0x80) {
        if ((c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') ||
            c == U'_')
            return CharClass::kWord;
        return CharClass::kPunct;
    }
    // Chinese text has no spaces: a run of ideographs (or kana, or hangul)
    // is one word, set apart from Latin letters and digits beside it.
    if (InRange(c, 0x3040, 0x30FF) || InRange(c, 0x3400, 0x4DBF) || InRange(c, 0x4E00, 0x9FFF) ||
        InRange(c, 0xAC00, 0xD7AF) || InRange(c, 0xF900, 0xFAFF) || InRange(c, 0x20000, 0x3FFFF))
        return CharClass::kIdeograph;
    if (InRange(c, 0x80, 0xBF) || c == 0xD7 || c == 0xF7 || InRange(c, 0x2010, 0x2BFF) ||
        InRange(c, 0x3001, 0x303F) || InRange(c, 0xFE30, 0xFE4F) || InRange(c, 0xFF01, 0xFF0F) ||
        InRange(c, 0xFF1A, 0xFF20) || InRange(c, 0xFF3B, 0xFF40) || InRange(c, 0xFF5B, 0xFF65))
        return CharClass::kPunct;
    return CharClass::kWord;
}

bool IsLineBreak(char32_t c) {
    return c == U'\r' || c == U'\n' || c == 0x2028 || c == 0x2029;
}

}  // namespace

EditKeyAction MapEditKey(int vk, bool ctrl, bool shift, bool alt) {
    using namespace edit_keys;
    EditKeyAction a;
    if (alt)
        return a;
    const auto move = [&](EditMove m) {
        a.command = EditCommand::kMove;
        a.move = m;
        a.extend = shift;
        return a;
    };
    switch (vk) {
        case kLeft:
            return move(ctrl ? EditMove::kWordLeft : EditMove::kLeft);
        case kRight:
            return move(ctrl ? EditMove::kWordRight : EditMove::kRight);
        case kHome:
        case kUp:
            return move(EditMove::kHome);
        case kEnd:
        case kDown:
            return move(EditMove::kEnd);
        case kBack:
            a.command = ctrl ? EditCommand::kDeleteWordBack : EditCommand::kDeleteBack;
            return a;
        case kDelete:
            a.command = shift && !ctrl   ? EditCommand::kCut
                        : ctrl && !shift ? EditCommand::kDeleteWordForward
                                         : EditCommand::kDeleteForward;
            return a;
        case kInsert:
            if (ctrl && !shift)
                a.command = EditCommand::kCopy;
            else if (shift && !ctrl)
                a.command = EditCommand::kPaste;
            return a;
        default:
            break;
    }
    if (ctrl && !shift) {
        switch (vk) {
            case 'A':
                a.command = EditCommand::kSelectAll;
                break;
            case 'C':
                a.command = EditCommand::kCopy;
                break;
            case 'X':
                a.command = EditCommand::kCut;
                break;
            case 'V':
                a.command = EditCommand::kPaste;
                break;
            default:
                break;
        }
    }
    return a;
}

std::u32string ToCodePoints(std::u16string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            out.push_back(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) +
                          (static_cast<char32_t>(text[i + 1]) - 0xDC00));
            ++i;
        } else {
            out.push_back(u);  // a lone surrogate stays as it is
        }
    }
    return out;
}

std::u16string FromCodePoints(std::u32string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c >= 0x10000 && c <= 0x10FFFF) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else if (c > 0x10FFFF) {
            out.push_back(0xFFFD);
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

void EditModel::SetText(std::u32string text) {
    text_ = std::move(text);
    caret_ = anchor_ = text_.size();
    pendingHigh_ = 0;
}

std::u32string EditModel::SelectedText() const {
    return text_.substr(SelectionStart(), SelectionEnd() - SelectionStart());
}

void EditModel::SetSelection(size_t anchor, size_t caret) {
    anchor_ = std::min(anchor, text_.size());
    caret_ = std::min(caret, text_.size());
}

EditSelection EditModel::Selection() const {
    return EditSelection{0, static_cast<int>(SelectionStart()), 0,
                         static_cast<int>(SelectionEnd())};
}

void EditModel::SetSelection(const EditSelection& s) {
    const auto col = [](int c) { return static_cast<size_t>(std::max(c, 0)); };
    SetSelection(col(s.startCol), col(s.endCol));
}

size_t EditModel::WordLeft(size_t pos) const {
    pos = std::min(pos, text_.size());
    if (masked_)
        return 0;
    while (pos > 0 && ClassOf(text_[pos - 1]) == CharClass::kSpace)
        --pos;
    if (pos == 0)
        return 0;
    const CharClass c = ClassOf(text_[pos - 1]);
    while (pos > 0 && ClassOf(text_[pos - 1]) == c)
        --pos;
    return pos;
}

size_t EditModel::WordRight(size_t pos) const {
    const size_t n = text_.size();
    pos = std::min(pos, n);
    if (masked_)
        return n;
    if (pos < n) {
        const CharClass c = ClassOf(text_[pos]);
        if (c != CharClass::kSpace) {
            while (pos < n && ClassOf(text_[pos]) == c)
                ++pos;
        }
    }
    while (pos < n && ClassOf(text_[pos]) == CharClass::kSpace)
        ++pos;
    return pos;
}

void EditModel::SelectWordAt(size_t pos) {
    const size_t n = text_.size();
    if (n == 0)
        return SetSelection(0, 0);
    if (masked_)
        return SelectAll();
    pos = std::min(pos, n - 1);
    const CharClass c = ClassOf(text_[pos]);
    size_t from = pos;
    size_t to = pos + 1;
    while (from > 0 && ClassOf(text_[from - 1]) == c)
        --from;
    while (to < n && ClassOf(text_[to]) == c)
        ++to;
    SetSelection(from, to);
}

void EditModel::Move(EditMove move, bool extend) {
    size_t target = caret_;
    switch (move) {
        case EditMove::kLeft:
            if (!extend && HasSelection()) {
                target = SelectionStart();
            } else if (target > 0) {
                --target;
            }
            break;
        case EditMove::kRight:
            if (!extend && HasSelection()) {
                target = SelectionEnd();
            } else if (target < text_.size()) {
                ++target;
            }
            break;
        case EditMove::kWordLeft:
            target = WordLeft(caret_);
            break;
        case EditMove::kWordRight:
            target = WordRight(caret_);
            break;
        case EditMove::kHome:
            target = 0;
            break;
        case EditMove::kEnd:
            target = text_.size();
            break;
    }
    caret_ = target;
    if (!extend)
        anchor_ = target;
}

void EditModel::Replace(size_t from, size_t to, std::u32string_view with) {
    text_.replace(from, to - from, with);
    caret_ = anchor_ = from + with.size();
}

bool EditModel::Insert(std::u32string_view text) {
    if (readOnly_)
        return false;
    std::u32string clean;
    clean.reserve(text.size());
    for (char32_t c : text) {
        if (IsLineBreak(c))
            break;
        if (c < 0x20 || c == 0x7F)
            continue;
        clean.push_back(c);
    }
    const size_t keep = text_.size() - (SelectionEnd() - SelectionStart());
    if (maxLength_ > 0 && keep + clean.size() > maxLength_)
        clean.resize(keep >= maxLength_ ? 0 : maxLength_ - keep);
    // Nothing to put in (no room, or nothing printable): the selection
    // stays rather than vanishing under an insert that did not happen.
    if (clean.empty())
        return false;
    Replace(SelectionStart(), SelectionEnd(), clean);
    return true;
}

bool EditModel::TypeUnit(char16_t unit) {
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        pendingHigh_ = unit;
        return false;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
        const char16_t high = pendingHigh_;
        pendingHigh_ = 0;
        if (!high)
            return false;
        const char32_t c = 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) +
                           (static_cast<char32_t>(unit) - 0xDC00);
        return Insert(std::u32string_view(&c, 1));
    }
    pendingHigh_ = 0;
    const char32_t c = unit;
    if (c < 0x20 || c == 0x7F)
        return false;
    return Insert(std::u32string_view(&c, 1));
}

bool EditModel::DeleteSelection() {
    if (readOnly_ || !HasSelection())
        return false;
    Replace(SelectionStart(), SelectionEnd(), {});
    return true;
}

bool EditModel::DeleteBack(bool word) {
    if (readOnly_)
        return false;
    if (HasSelection())
        return DeleteSelection();
    if (caret_ == 0)
        return false;
    Replace(word ? WordLeft(caret_) : caret_ - 1, caret_, {});
    return true;
}

bool EditModel::DeleteForward(bool word) {
    if (readOnly_)
        return false;
    if (HasSelection())
        return DeleteSelection();
    if (caret_ >= text_.size())
        return false;
    const size_t from = caret_;
    Replace(from, word ? WordRight(caret_) : caret_ + 1, {});
    return true;
}

size_t EditColumnAt(const std::vector<float>& xs, float x) {
    if (xs.empty())
        return 0;
    const auto it = std::upper_bound(xs.begin(), xs.end(), x);
    if (it == xs.begin())
        return 0;
    if (it == xs.end())
        return xs.size() - 1;
    const size_t i = static_cast<size_t>(it - xs.begin());
    return x - xs[i - 1] < xs[i] - x ? i - 1 : i;
}

int EditScrollFor(float caretX, float textWidth, int scroll, int viewWidth) {
    if (viewWidth < 1)
        viewWidth = 1;
    const int cx = static_cast<int>(std::lround(caretX));
    int s = scroll;
    if (cx - s > viewWidth - 1)
        s = cx - (viewWidth - 1);
    if (cx < s)
        s = cx;
    // The 1-pixel caret after the last character needs its room too.
    const int maxScroll = std::max(0, static_cast<int>(std::ceil(textWidth)) + 1 - viewWidth);
    return std::clamp(s, 0, maxScroll);
}

}  // namespace pt
