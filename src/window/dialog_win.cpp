// The secondary window recipe as a class; see dialog.h.
#include "window/dialog.h"

#include "toolkit/dpi.h"
#include "toolkit/toolkit.h"
#include "toolkit/widgets.h"
#include "window/dialog_frame.h"
#include "window/skin_frame.h"

namespace pt {
namespace {

constexpr int kDialogButtonWidth = 80;
constexpr int kDialogButtonHeight = 28;

void HandleDialogMessage(Window& window, WindowMessage& m, bool& handled) {
    switch (m.message) {
        case WM_SYSKEYDOWN:
        case WM_SYSCHAR:
            // A hotkey box records Alt combinations itself.
            if (dynamic_cast<HotkeyBox*>(window.FocusElement()))
                break;
            // Alt+F4 counts as the close button; no other Alt key opens the
            // window menu.
            handled = true;
            if (m.message == WM_SYSKEYDOWN && m.wParam == VK_F4 && window.FindByName("close"))
                window.Close();
            break;
        case WM_LBUTTONDOWN: {
            const Point p{static_cast<short>(LOWORD(m.lParam)),
                          static_cast<short>(HIWORD(m.lParam))};
            if (!window.FrameRect().Contains(p))
                handled = true;  // a press on the shadow does nothing
            break;
        }
        case WM_LBUTTONUP:
            // A drag may have left the window partly off the work area.
            KeepSecondaryOnScreen(window);
            break;
        default:
            break;
    }
}

}  // namespace

Dialog::Dialog(const DialogOptions& options) {
    WindowOptions wo;
    wo.width = options.width;
    wo.height = options.height;
    wo.title = options.title;
    wo.owner = options.owner && Window::FromHwnd(options.owner) ? options.owner : nullptr;
    Window* window = Window::Create(wo);
    if (!window)
        return;
    hwnd_ = window->Hwnd();
    ApplyDialogRecipe(*window);
    window->SetModalCloseResult(options.closeResult);
    BuildDialogCaption(*window, options.title, options.closeButton);
    auto* body = window->Root().Add<Element>();
    body->SetName("body");
    body->SetWidth(SizeSpec::Fill());
    body->SetHeight(SizeSpec::Weight(1));
    body->SetHorizontal(false);
    if (options.closeButton)
        window->SetCancelButton(static_cast<Button*>(window->FindByName("close")));
    window->OnMessage(&HandleDialogMessage);
}

Element* Dialog::Body() const {
    Window* w = GetWindow();
    return w ? w->FindByName("body") : nullptr;
}

Button* Dialog::AddButton(Element& parent, std::string_view text, int result) {
    auto* button = parent.Add<Button>(text);
    button->SetFixedSize(Dpi(kDialogButtonWidth), Dpi(kDialogButtonHeight));
    button->SetFocusable(true);
    if (result == kNoDialogResult)
        return button;
    // The close waits for the click's handlers: a posted task runs after
    // every kClick handler of this click has had its say.
    const HWND hwnd = hwnd_;
    button->On(ElementEvent::kClick, [hwnd, result](Element&, const ElementEventArgs&, bool&) {
        PostUiTask([hwnd, result] { Dialog::Of(hwnd).End(result); });
    });
    return button;
}

void Dialog::SetDefaultButton(Button* button) {
    if (Window* w = GetWindow())
        w->SetDefaultButton(button);
}

void Dialog::SetCancelButton(Button* button) {
    if (Window* w = GetWindow())
        w->SetCancelButton(button);
}

int Dialog::RunModal() {
    Window* w = GetWindow();
    if (!w)
        return 0;
    w->AdjustLayout();
    PlaceSecondaryWindow(*w, ::GetWindow(hwnd_, GW_OWNER));
    ApplySkinFrame(*w, CurrentSkin());
    return w->DoModal();
}

void Dialog::ShowModeless() {
    Window* w = GetWindow();
    if (!w)
        return;
    w->AdjustLayout();
    PlaceSecondaryWindow(*w, ::GetWindow(hwnd_, GW_OWNER));
    ApplySkinFrame(*w, CurrentSkin());
    w->Show(true);
}

void Dialog::End(int result) {
    Window* w = GetWindow();
    if (!w)
        return;
    if (w->IsModal()) {
        w->EndModal(result);
    } else {
        w->Destroy();
    }
}

}  // namespace pt
