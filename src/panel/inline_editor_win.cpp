// Undo history wiring and the rename editor; see inline_editor.h.
#include "panel/inline_editor.h"

#include <windows.h>

#include <memory>
#include <utility>

#include "panel/content_menus.h"
#include "panel/edit_history.h"
#include "panel/menu_presenter.h"
#include "toolkit/clipboard.h"
#include "toolkit/dpi.h"
#include "toolkit/window.h"
#include "window/colors.h"

namespace pt {
namespace {

EditSnapshot SnapshotOf(const Edit& edit) {
    return EditSnapshot{edit.Text(), edit.Selection()};
}

struct HistoryState {
    explicit HistoryState(const Edit& edit) : history(SnapshotOf(edit)), last(SnapshotOf(edit)) {}
    EditHistory history;
    EditSnapshot last;     // the state after the last change the history saw
    EditSnapshot pending;  // the state before the key or character being handled
    bool havePending = false;
    char32_t typed = 0;
    bool restoring = false;
};

bool ControlDown() {
    return (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
}

void Restore(Edit& edit, HistoryState& state, const EditSnapshot& snapshot) {
    state.restoring = true;
    edit.SetText(snapshot.text);
    edit.SetSelection(snapshot.selection);
    state.last = snapshot;
    state.havePending = false;
    // Listeners (a dialog validating its field) hear of the restored text.
    edit.Fire(kEditChanged);
    state.restoring = false;
}

void RunEditCommand(Edit& edit, int id) {
    switch (id) {
        case kCmdEditCut:
            edit.Cut();
            break;
        case kCmdEditCopy:
            edit.Copy();
            break;
        case kCmdEditPaste:
            edit.Paste();
            break;
        case kCmdEditDelete:
            edit.DeleteSelection();
            break;
        case kCmdEditSelectAll:
            edit.SelectAll();
            edit.Redraw();
            break;
        default:
            break;
    }
}

void OpenEditMenu(Edit& edit) {
    edit.SetFocus();
    EditMenuState state;
    state.hasSelection = edit.HasSelection();
    state.readOnly = edit.IsReadOnly();
    state.clipboardHasText = ClipboardHasText();
    state.empty = edit.Length() == 0;
    POINT at{};
    ::GetCursorPos(&at);
    const ElementHandle handle = edit.Handle();
    ShowPanelMenu(edit, EditMenu(state), at, [handle](int id) {
        // The field may have gone (a rename ended) while the menu was open.
        if (auto* alive = static_cast<Edit*>(Element::FromHandle(handle)))
            RunEditCommand(*alive, id);
    });
}

}  // namespace

void AttachEditHistory(Edit& edit) {
    if (edit.IsPassword())
        return;
    auto state = std::make_shared<HistoryState>(edit);
    edit.On(ElementEvent::kKeyDown, [state](Element& e, const ElementEventArgs& args,
                                            bool& handled) {
        auto& self = static_cast<Edit&>(e);
        if (ControlDown() && (args.wParam == 'Z' || args.wParam == 'Y')) {
            const EditSnapshot now = SnapshotOf(self);
            auto target = args.wParam == 'Z' ? state->history.Undo(now) : state->history.Redo(now);
            if (target)
                Restore(self, *state, *target);
            // The edit has no undo of its own; never let the key reach it.
            handled = true;
            return;
        }
        state->pending = SnapshotOf(self);
        state->havePending = true;
        state->typed = 0;
    });
    edit.On(ElementEvent::kChar, [state](Element& e, const ElementEventArgs& args, bool&) {
        state->pending = SnapshotOf(static_cast<Edit&>(e));
        state->havePending = true;
        state->typed = args.wParam >= 0x20 ? static_cast<char32_t>(args.wParam) : 0;
    });
    edit.On(ElementEvent::kRButtonUp, [](Element& e, const ElementEventArgs&, bool& handled) {
        OpenEditMenu(static_cast<Edit&>(e));
        handled = true;
    });
    edit.On(kEditChanged, [state](Element& e, const ElementEventArgs&, bool&) {
        if (state->restoring)
            return;
        const EditSnapshot now = SnapshotOf(static_cast<Edit&>(e));
        // A change without a key first (a menu's cut or paste) starts from
        // the last state the history knows.
        const EditSnapshot& before = state->havePending ? state->pending : state->last;
        state->history.Changed(before, now, state->havePending ? state->typed : 0,
                               ::GetTickCount64());
        state->last = now;
        state->havePending = false;
        state->typed = 0;
    });
}

Edit* OpenRenameEditor(Button& owner, std::function<void(const std::string&)> commit) {
    const Rect box = owner.WindowRect();
    auto* edit = owner.Add<Edit>(owner.Text());
    edit->SetName("rename");
    edit->SetFloating(true);
    edit->SetPosition(Dpi(10), Dpi(5));
    edit->SetFixedSize(box.Width() - Dpi(20), box.Height() - Dpi(10));
    edit->SetCursor(IDC_IBEAM);
    edit->SetTextColor(kEditorTextColor);
    AttachEditHistory(*edit);
    owner.LayoutChildren();

    struct Session {
        bool done = false;
        std::function<void(const std::string&)> commit;
    };
    auto session = std::make_shared<Session>();
    session->commit = std::move(commit);
    const ElementHandle ownerHandle = owner.Handle();
    auto finish = [session, ownerHandle](Edit& self, bool accept) {
        if (session->done)
            return;
        session->done = true;
        auto* button = static_cast<Button*>(Element::FromHandle(ownerHandle));
        std::string text = self.Text();
        self.Destroy();
        if (!button)
            return;
        if (accept && text != button->Text())
            session->commit(text.empty() ? std::string(kUnnamed) : text);
        if (Element* alive = Element::FromHandle(ownerHandle))
            alive->Redraw();
    };
    edit->On(ElementEvent::kKeyDown,
             [finish](Element& e, const ElementEventArgs& args, bool& handled) {
                 if (args.wParam == VK_RETURN || args.wParam == VK_ESCAPE) {
                     handled = true;
                     finish(static_cast<Edit&>(e), args.wParam == VK_RETURN);
                 }
             });
    edit->On(ElementEvent::kKillFocus, [finish](Element& e, const ElementEventArgs&, bool&) {
        // A click on the editor itself (its menu, a drag) keeps it open;
        // anywhere else it is taken as Enter.
        if (Window* w = e.OwnerWindow()) {
            POINT p{};
            ::GetCursorPos(&p);
            ::ScreenToClient(w->Hwnd(), &p);
            if (w->ElementAt(Point{p.x, p.y}) == &e)
                return;
        }
        finish(static_cast<Edit&>(e), true);
    });
    edit->SelectAll();
    edit->SetFocus();
    edit->Redraw();
    return edit;
}

}  // namespace pt
