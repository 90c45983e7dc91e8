// The undo and redo history of the panel's own text fields (the rename
// editors over a category or a group tab, the item dialogs' fields): a list
// of snapshots of the whole text and its selection with a current position.
// Typing enters the history one word at a time: a run of typed characters
// stays one step until a new word starts or the user pauses, so Ctrl+Z takes
// back a word rather than a letter. Cut, paste, deletion and every other
// change are steps of their own. At most kMaxEditSnapshots are kept (the
// oldest go first), and a change after an undo drops what could have been
// redone. Pure logic: the edit element feeds it states and applies what
// Undo and Redo return.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/edit_logic.h"

namespace pt {

inline constexpr size_t kMaxEditSnapshots = 100;
// Typing after a rest this long starts a new undo step.
inline constexpr uint64_t kEditPauseMs = 1000;

struct EditSnapshot {
    std::string text;
    EditSelection selection;
    friend bool operator==(const EditSnapshot&, const EditSnapshot&) = default;
};

class EditHistory {
  public:
    explicit EditHistory(EditSnapshot initial);

    // The text changed from `before` to `after`. `typed` is the character
    // typed for a plain keystroke (0 for anything else: cut, paste, delete,
    // backspace, a change from a menu); `nowMs` a monotonic clock.
    void Changed(const EditSnapshot& before, const EditSnapshot& after, char32_t typed,
                 uint64_t nowMs);

    // The state to restore, or nothing when there is no step back (or
    // forward). `current` is the edit's state now: its selection is kept for
    // a later redo, and a text that the history never saw (set by the
    // program) becomes a step of its own first.
    std::optional<EditSnapshot> Undo(const EditSnapshot& current);
    std::optional<EditSnapshot> Redo(const EditSnapshot& current);

    bool CanUndo() const { return position_ > 0; }
    bool CanRedo() const { return position_ + 1 < snapshots_.size(); }
    size_t Size() const { return snapshots_.size(); }
    size_t Position() const { return position_; }

  private:
    void Sync(const EditSnapshot& current);
    void Push(const EditSnapshot& state);

    std::vector<EditSnapshot> snapshots_;
    size_t position_ = 0;
    // The current step is a typing run that more typing may extend.
    bool typingRun_ = false;
    bool lastTypedSeparator_ = false;
    uint64_t lastTypedMs_ = 0;
};

}  // namespace pt
