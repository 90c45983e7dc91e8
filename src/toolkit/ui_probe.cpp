// Finding and reading elements, synthetic messages and SendInput.
#include "toolkit/ui_probe.h"

#include <vector>

#include "base/text.h"
#include "toolkit/element.h"
#include "toolkit/menu.h"
#include "toolkit/slider.h"
#include "toolkit/window.h"

namespace pt::probe {
namespace {

void Collect(Element& e, std::string_view role, std::vector<Element*>& out) {
    if (e.Name() == role)
        out.push_back(&e);
    for (size_t i = 0; i < e.ChildCount(); ++i)
        Collect(*e.Child(i), role, out);
}

LPARAM At(Point p) {
    return MAKELPARAM(p.x, p.y);
}

Point WindowCentre(const Element& e) {
    const Rect r = e.WindowRect();
    return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

INPUT MouseInput(DWORD flags, Point screen) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        // Absolute coordinates run 0..65535 over the primary screen; round
        // up so the system's scaling back lands on the very pixel.
        const LONG w = std::max(::GetSystemMetrics(SM_CXSCREEN), 1);
        const LONG h = std::max(::GetSystemMetrics(SM_CYSCREEN), 1);
        in.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(screen.x) * 65536 + w - 1) / w);
        in.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(screen.y) * 65536 + h - 1) / h);
    }
    return in;
}

bool Send(std::vector<INPUT>& inputs) {
    return ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
           inputs.size();
}

}  // namespace

Element* Find(HWND window, std::string_view role) {
    Window* w = Window::FromHwnd(window);
    return w ? w->FindByName(role) : nullptr;
}

Element* FindById(HWND window, int identifier) {
    Window* w = Window::FromHwnd(window);
    return w ? w->FindByIdentifier(identifier) : nullptr;
}

std::vector<Element*> FindAll(Element& root, std::string_view role) {
    std::vector<Element*> out;
    Collect(root, role, out);
    return out;
}

std::vector<Window*> FindWindows(const wchar_t* className, std::string_view title) {
    std::vector<Window*> out;
    for (Window* w : Window::All()) {
        wchar_t cls[256] = {};
        ::GetClassNameW(w->Hwnd(), cls, 256);
        if (className && std::wstring_view(cls) != className)
            continue;
        if (!title.empty()) {
            wchar_t text[512] = {};
            ::GetWindowTextW(w->Hwnd(), text, 512);
            if (FromWide(text) != title)
                continue;
        }
        out.push_back(w);
    }
    return out;
}

ElementState Read(const Element& element) {
    ElementState s;
    s.role = element.Name();
    s.identifier = element.Identifier();
    s.text = element.DisplayText();
    s.enabled = element.IsEnabled();
    s.visible = element.IsShown();
    s.rect = element.WindowRect();
    s.screenRect = element.ScreenRect();
    if (const auto* b = dynamic_cast<const pt::Button*>(&element))
        s.checked = b->IsChecked();
    if (const auto* item = dynamic_cast<const MenuItemElement*>(&element))
        s.checked = item->Checked();
    if (const auto* slider = dynamic_cast<const Slider*>(&element))
        s.value = slider->Position();
    return s;
}

void HoverByMessage(const Element& element) {
    Window* w = element.OwnerWindow();
    if (!w || !w->Hwnd())
        return;
    ::SendMessageW(w->Hwnd(), WM_MOUSEMOVE, 0, At(WindowCentre(element)));
}

void ClickByMessage(const Element& element, Button button) {
    Window* w = element.OwnerWindow();
    if (!w || !w->Hwnd())
        return;
    const HWND h = w->Hwnd();
    const LPARAM at = At(WindowCentre(element));
    ::SendMessageW(h, WM_MOUSEMOVE, 0, at);
    if (button == Button::kLeft) {
        ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(h, WM_LBUTTONUP, 0, at);
    } else {
        ::SendMessageW(h, WM_RBUTTONDOWN, MK_RBUTTON, at);
        ::SendMessageW(h, WM_RBUTTONUP, 0, at);
    }
}

Point ScreenCentre(const Element& element) {
    const Rect r = element.ScreenRect();
    return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool MoveMouse(Point screen) {
    std::vector<INPUT> in{MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen)};
    return Send(in);
}

bool Click(Point screen, Button button) {
    const bool left = button == Button::kLeft;
    std::vector<INPUT> in{
        MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen),
        MouseInput(left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN, screen),
        MouseInput(left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP, screen),
    };
    return Send(in);
}

bool Click(const Element& element, Button button) {
    return Click(ScreenCentre(element), button);
}

bool Drag(Point from, Point to, int steps) {
    steps = std::max(steps, 1);
    std::vector<INPUT> in{MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, from),
                          MouseInput(MOUSEEVENTF_LEFTDOWN, from)};
    for (int i = 1; i <= steps; ++i) {
        const Point p{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
        in.push_back(MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, p));
    }
    in.push_back(MouseInput(MOUSEEVENTF_LEFTUP, to));
    return Send(in);
}

bool PressKey(WORD vk, std::initializer_list<WORD> modifiers) {
    std::vector<INPUT> in;
    const auto key = [&](WORD code, bool up) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = code;
        i.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(code, MAPVK_VK_TO_VSC));
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
    };
    for (WORD m : modifiers)
        key(m, false);
    key(vk, false);
    key(vk, true);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it)
        key(*it, true);
    return Send(in);
}

}  // namespace pt::probe
