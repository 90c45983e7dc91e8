// What screen readers see of toolkit windows: Microsoft Active
// Accessibility. Each window answers WM_GETOBJECT with an IAccessible tree
// of its shown elements - the root for OBJID_CLIENT, any element for its
// handle as object id - and a list view's cells are the list's children.
// Every object gives its role, its name (the visible text, else the
// tooltip, as for an icon button), its value (an edit's text), its state
// (selected, focused, checked, disabled, focusable) and its place on the
// screen. Focus and selection changes are announced with NotifyWinEvent,
// object id the element's handle and child id a cell's index + 1.
//
// The role follows the element's class (button, check box, radio button,
// edit, list, text); a program whose elements mean more than their class
// says (a column of check buttons that acts as a list) names the role.
#pragma once

#include <windows.h>

namespace pt {

class Element;
class Window;

enum class AccessibleRole {
    kDefault,  // from the element's class
    kList,
    kListItem,
    kPageTabList,
    kPageTab,
    kPushButton,
    kCheckBox,
    kRadioButton,
    kEdit,
    kText,
    kGrouping,
    kDialog,
};

void SetAccessibleRole(Element& element, AccessibleRole role);
// The MSAA role number (ROLE_SYSTEM_*) an element answers with.
long AccessibleRoleOf(const Element& element);

// ---- for the toolkit's window and widgets
// WM_GETOBJECT: true with the result when the window answers lParam.
bool AnswerGetObject(Window& window, WPARAM wParam, LPARAM lParam, LRESULT* result);
// The focus went to `element` (null: to none).
void AnnounceFocus(Window& window, Element* element);
// Cell `cell` of a list became selected (-1: none); the list has the focus
// or not.
void AnnounceCellSelection(Element& list, int cell);
// A check button's state changed.
void AnnounceStateChange(Element& element);

}  // namespace pt
