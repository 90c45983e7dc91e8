// The keyboard side of toolkit windows: key routing to the focused element
// and up its parents, what is left of a key (Tab order, Enter, Esc), the
// focus mark's source, and the focus following the window's own focus.
// Mouse events go up the same way (Bubble), from window_proc.cpp.
#include <algorithm>
#include <functional>

#include "toolkit/toolkit.h"
#include "toolkit/window.h"

namespace pt {
namespace {

bool KeyHeld(int vk) {
    return (::GetKeyState(vk) & 0x8000) != 0;
}

bool Usable(const Element* e) {
    return e && !e->IsDestroyed() && e->IsShown() && e->IsEnabled();
}

}  // namespace

bool EventBubbles(ElementEvent event) {
    switch (event) {
        case ElementEvent::kMouseMove:
        case ElementEvent::kLButtonDown:
        case ElementEvent::kLButtonUp:
        case ElementEvent::kRButtonDown:
        case ElementEvent::kRButtonUp:
        case ElementEvent::kDoubleClick:
        case ElementEvent::kMouseWheel:
        case ElementEvent::kKeyDown:
        case ElementEvent::kKeyUp:
        case ElementEvent::kChar:
            return true;
        default:
            return false;
    }
}

bool Window::Bubble(Element* from, ElementEventArgs& args, Point windowPoint) {
    const bool mouse = args.event != ElementEvent::kKeyDown && args.event != ElementEvent::kKeyUp &&
                       args.event != ElementEvent::kChar;
    args.target = from;
    for (Element* e = from; e && !e->IsDestroyed() && !destroyed_; e = e->Parent()) {
        if (mouse)
            args.point = e->ToElement(windowPoint);
        if (e->Fire(args) || destroyed_ || e->IsDestroyed())
            return true;
        // A button's, a list's or a scroll bar's own press is its own: it
        // goes no further.
        if (!EventBubbles(args.event) || (mouse && e->IsInteractive()))
            return false;
    }
    return false;
}

bool Window::RouteKey(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    if (message == WM_CHAR && eatChar_) {
        // The character TranslateMessage made of a Tab, Enter or Esc this
        // window already acted on.
        eatChar_ = false;
        return true;
    }
    if (down)
        eatChar_ = false;
    ElementEventArgs a;
    a.event = down                                            ? ElementEvent::kKeyDown
              : message == WM_KEYUP || message == WM_SYSKEYUP ? ElementEvent::kKeyUp
                                                              : ElementEvent::kChar;
    a.wParam = wParam;
    a.lParam = lParam;
    // Alt combinations (WM_SYSKEY*) reach the focused element as key events
    // too, so a hotkey box can record them; when it does not take one, the
    // system still sees it (Alt+F4, the window menu).
    if (focus_ && Bubble(focus_, a, Point{}))
        return true;
    if (destroyed_)
        return true;
    if (message == WM_KEYDOWN && NavigationKey(wParam)) {
        eatChar_ = wParam == VK_TAB || wParam == VK_RETURN || wParam == VK_ESCAPE;
        return true;
    }
    return false;
}

bool Window::NavigationKey(WPARAM vk) {
    switch (vk) {
        case VK_TAB:
            if (KeyHeld(VK_CONTROL) || KeyHeld(VK_MENU))
                return false;
            return MoveFocus(!KeyHeld(VK_SHIFT));
        case VK_RETURN: {
            auto* focused = dynamic_cast<Button*>(focus_);
            Button* target =
                focused && !focused->Behaviour().CheckMode() ? focused : DefaultButton();
            if (!Usable(target))
                return false;
            keyboardFocus_ = true;
            target->Click();
            return true;
        }
        case VK_ESCAPE: {
            Button* target = CancelButton();
            if (!Usable(target))
                return false;
            target->Click();
            return true;
        }
        default:
            return false;
    }
}

void Window::SetDefaultButton(Button* button) {
    defaultButton_ = button ? button->Handle() : 0;
}

Button* Window::DefaultButton() const {
    return dynamic_cast<Button*>(Element::FromHandle(defaultButton_));
}

void Window::SetCancelButton(Button* button) {
    cancelButton_ = button ? button->Handle() : 0;
}

Button* Window::CancelButton() const {
    return dynamic_cast<Button*>(Element::FromHandle(cancelButton_));
}

std::vector<Element*> Window::TabStops() {
    std::vector<Element*> stops;
    // A radio group is one stop: the focused button of it, else its checked
    // one, else its first.
    std::vector<std::pair<int, size_t>> groups;  // group -> index in stops
    const std::function<void(Element&)> walk = [&](Element& e) {
        if (!e.IsVisible() || e.IsDestroyed())
            return;
        if (e.Focusable() && e.IsEnabled() && &e != root_.get()) {
            auto* radio = dynamic_cast<Button*>(&e);
            const int group = radio ? radio->Group() : 0;
            if (group == 0) {
                stops.push_back(&e);
            } else {
                auto it = std::find_if(groups.begin(), groups.end(),
                                       [&](const auto& g) { return g.first == group; });
                if (it == groups.end()) {
                    groups.emplace_back(group, stops.size());
                    stops.push_back(&e);
                } else {
                    Element*& slot = stops[it->second];
                    auto* held = static_cast<Button*>(slot);
                    if (slot != focus_ &&
                        (&e == focus_ || (radio->IsChecked() && !held->IsChecked())))
                        slot = &e;
                }
            }
        }
        for (size_t i = 0; i < e.ChildCount(); ++i)
            walk(*e.Child(i));
    };
    walk(*root_);
    std::stable_sort(stops.begin(), stops.end(), [](const Element* a, const Element* b) {
        const int x = a->TabOrder() > 0 ? a->TabOrder() : INT32_MAX;
        const int y = b->TabOrder() > 0 ? b->TabOrder() : INT32_MAX;
        return x < y;
    });
    return stops;
}

bool Window::MoveFocus(bool forward) {
    const std::vector<Element*> stops = TabStops();
    if (stops.empty())
        return false;
    const auto it = std::find(stops.begin(), stops.end(), focus_);
    size_t next;
    if (it == stops.end()) {
        next = forward ? 0 : stops.size() - 1;
    } else {
        const size_t i = static_cast<size_t>(it - stops.begin());
        next = forward ? (i + 1) % stops.size() : (i + stops.size() - 1) % stops.size();
    }
    SetFocusFromKeyboard(stops[next]);
    return true;
}

void Window::SetFocusFromKeyboard(Element* element) {
    keyboardFocus_ = true;
    SetFocusElement(element);
    Redraw();
}

void Window::WindowFocusChanged(bool gained) {
    if (!focusFollowsWindow_ || destroyed_)
        return;
    if (!gained) {
        if (focus_) {
            restoreFocus_ = focus_->Handle();
            SetFocusElement(nullptr);
        }
        return;
    }
    Element* back = Element::FromHandle(restoreFocus_);
    restoreFocus_ = 0;
    if (!focus_ && back && back->OwnerWindow() == this && Usable(back))
        SetFocusElement(back);
}

}  // namespace pt
