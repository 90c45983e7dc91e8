// Undo steps of the panel's text fields; see edit_history.h.
#include "panel/edit_history.h"

#include <utility>

namespace pt {
namespace {

bool IsSeparator(char32_t c) {
    if (c == U' ' || c == U'\t' || c == 0x3000)  // 0x3000: the ideographic space
        return true;
    if (c < 0x80)
        return !((c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') ||
                 c == U'_');
    // CJK punctuation ends a "word" as well; ideographs do not.
    return c >= 0x3001 && c <= 0x303F;
}

}  // namespace

EditHistory::EditHistory(EditSnapshot initial) {
    snapshots_.push_back(std::move(initial));
}

void EditHistory::Sync(const EditSnapshot& current) {
    EditSnapshot& here = snapshots_[position_];
    if (here.text == current.text) {
        // Only the selection moved since: undoing to this step should give
        // back the selection the user had when the next change came.
        here.selection = current.selection;
    } else {
        Push(current);
        typingRun_ = false;
    }
}

void EditHistory::Push(const EditSnapshot& state) {
    snapshots_.resize(position_ + 1);
    snapshots_.push_back(state);
    if (snapshots_.size() > kMaxEditSnapshots)
        snapshots_.erase(snapshots_.begin(),
                         snapshots_.begin() +
                             static_cast<std::ptrdiff_t>(snapshots_.size() - kMaxEditSnapshots));
    position_ = snapshots_.size() - 1;
}

void EditHistory::Changed(const EditSnapshot& before, const EditSnapshot& after, char32_t typed,
                          uint64_t nowMs) {
    if (before.text == after.text && typed == 0)
        return;
    const bool typing = typed != 0;
    const bool separator = typing && IsSeparator(typed);
    const bool extend = typing && typingRun_ && !CanRedo() &&
                        snapshots_[position_].text == before.text &&
                        nowMs - lastTypedMs_ < kEditPauseMs &&
                        // a word ends where a separator is followed by a non-separator
                        !(lastTypedSeparator_ && !separator);
    if (extend) {
        snapshots_[position_] = after;
    } else {
        Sync(before);
        Push(after);
    }
    typingRun_ = typing;
    lastTypedSeparator_ = separator;
    lastTypedMs_ = nowMs;
}

std::optional<EditSnapshot> EditHistory::Undo(const EditSnapshot& current) {
    Sync(current);
    typingRun_ = false;
    if (position_ == 0)
        return std::nullopt;
    --position_;
    return snapshots_[position_];
}

std::optional<EditSnapshot> EditHistory::Redo(const EditSnapshot& current) {
    if (snapshots_[position_].text != current.text)
        return std::nullopt;  // changed outside the history: there is nothing to redo onto
    typingRun_ = false;
    if (!CanRedo())
        return std::nullopt;
    snapshots_[position_].selection = current.selection;
    ++position_;
    return snapshots_[position_];
}

}  // namespace pt
