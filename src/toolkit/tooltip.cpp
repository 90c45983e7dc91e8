// The one tooltip window: building it from lines of text, placing it inside
// the monitor's work area, the hover-rest timer for elements, and taking it
// down when the mouse leaves or presses.
#include "toolkit/tooltip.h"

#include <string>
#include <vector>

#include "toolkit/element.h"
#include "toolkit/popup_placement.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"

namespace pt {
namespace {

constexpr int kCursorHeight = 20;  // the tooltip of a hovered element goes below the arrow
constexpr Color kTextColor = MakeColor(120, 120, 120);

struct TooltipState {
    HWND window = nullptr;        // the tooltip window while shown
    HWND sourceWindow = nullptr;  // the window of the element it belongs to
    ElementHandle source = 0;
    UINT_PTR restTimer = 0;
    ElementHandle pending = 0;  // the element the mouse rests on, until the timer fires
    unsigned delay = 500;
};

TooltipState& State() {
    static auto* s = new TooltipState;
    return *s;
}

bool IsAncestorOrSelf(const Element* ancestor, const Element* e) {
    for (; e; e = e->Parent()) {
        if (e == ancestor)
            return true;
    }
    return false;
}

// The nearest element, from `e` up, that carries tooltip text.
Element* TooltipCarrier(Element* e) {
    for (; e; e = e->Parent()) {
        if (!e->Tooltip().empty())
            return e;
    }
    return nullptr;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t nl = text.find('\n', start);
        std::string_view line =
            text.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        if (nl == std::string_view::npos)
            break;
        start = nl + 1;
    }
    return lines;
}

Rect WorkAreaFor(const Rect& r) {
    RECT rc{r.left, r.top, r.right, r.bottom};
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    HMONITOR monitor = ::MonitorFromRect(&rc, MONITOR_DEFAULTTONEAREST);
    if (monitor && ::GetMonitorInfoW(monitor, &mi))
        return Rect{mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom};
    RECT wa{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
    return Rect{wa.left, wa.top, wa.right, wa.bottom};
}

void StopRestTimer() {
    TooltipState& s = State();
    if (s.restTimer)
        ::KillTimer(nullptr, s.restTimer);
    s.restTimer = 0;
    s.pending = 0;
}

void CALLBACK RestTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    DispatchScope scope;
    try {
        TooltipState& s = State();
        const ElementHandle pending = s.pending;
        StopRestTimer();
        Element* e = Element::FromHandle(pending);
        if (!e || !e->IsShown() || e->Tooltip().empty())
            return;
        Window* w = e->OwnerWindow();
        if (!w || !w->IsAlive() || !w->IsVisible() || !IsAncestorOrSelf(e, w->HoverElement()))
            return;
        POINT c{};
        ::GetCursorPos(&c);
        ShowTooltip(e->Tooltip(), Rect{c.x, c.y, c.x + 1, c.y + kCursorHeight}, e);
    } catch (...) {
        // Nothing may unwind into the system's timer dispatch.
    }
}

void StartRestTimer(Element* e) {
    TooltipState& s = State();
    StopRestTimer();
    s.restTimer = ::SetTimer(nullptr, 0, s.delay, &RestTimerProc);
    if (s.restTimer)
        s.pending = e->Handle();
}

}  // namespace

Window* ShowTooltip(std::string_view text, const Rect& anchor, Element* source) {
    if (!IsUiThread() || text.empty())
        return nullptr;
    DispatchScope scope;
    HideTooltip();
    TooltipState& s = State();
    Window* sourceWindow = source ? source->OwnerWindow() : nullptr;

    WindowOptions o;
    o.className = kTooltipWindowClass;
    // Click-through and never activated: it must not take the hover or the
    // focus from the window it describes.
    o.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT;
    o.systemMenu = false;
    o.owner = sourceWindow ? sourceWindow->Hwnd() : nullptr;
    o.width = 1;
    o.height = 1;
    Window* w = Window::Create(o);
    if (!w)
        return nullptr;
    w->SetTransparentAlpha(254);
    w->SetShadow(ShadowParams{5, 255, 3, false, 0});
    Look background = Look::Border(kBorderAll, MakeColor(225, 225, 225));
    background.fill = MakeColor(255, 255, 255);
    w->SetBackground(background);
    Element& root = w->Root();
    root.SetName("tooltip");
    root.SetPadding(3, 3, 3, 3);
    int width = 0;
    int height = 0;
    for (const std::string& line : SplitLines(text)) {
        auto* t = root.Add<TextElement>(line);
        t->SetName("tooltip.line");
        t->SetTextColor(kTextColor);
        const Size size = t->ContentSize();
        width = std::max(width, size.width);
        height += size.height;
    }
    // Padding 3 and shadow 5 on every side.
    const Rect r = PlaceTooltip(anchor, Size{width + 16, height + 16}, WorkAreaFor(anchor));
    w->OnMessage([](Window& self, WindowMessage& m, bool& handled) {
        if (m.message == WM_MOUSEACTIVATE) {
            m.result = MA_NOACTIVATE;
            handled = true;
        } else if (m.message == WM_DESTROY && State().window == self.Hwnd()) {
            // Gone with its owner: forget it before the handle can be reused.
            State().window = nullptr;
            State().sourceWindow = nullptr;
            State().source = 0;
        }
    });
    w->SetRect(r);
    w->AdjustLayout();
    w->ShowWindow(SW_SHOWNA);
    s.window = w->Hwnd();
    s.sourceWindow = sourceWindow ? sourceWindow->Hwnd() : nullptr;
    s.source = source ? source->Handle() : 0;
    return w;
}

void HideTooltip() {
    TooltipState& s = State();
    StopRestTimer();
    HWND h = s.window;
    s.window = nullptr;
    s.sourceWindow = nullptr;
    s.source = 0;
    if (Window* w = Window::FromHwnd(h))
        w->Destroy();
}

Window* CurrentTooltip() {
    return Window::FromHwnd(State().window);
}

void SetTooltipDelay(unsigned ms) {
    State().delay = ms;
}

unsigned TooltipDelay() {
    return State().delay;
}

namespace detail {

void TooltipHoverChanged(Window& window, Element* element) {
    TooltipState& s = State();
    if (s.window && s.sourceWindow == window.Hwnd()) {
        Element* shownFor = Element::FromHandle(s.source);
        if (!shownFor || !IsAncestorOrSelf(shownFor, element))
            HideTooltip();
    }
    Element* carrier = TooltipCarrier(element);
    Element* pending = Element::FromHandle(s.pending);
    if (pending && pending->OwnerWindow() == &window && pending != carrier)
        StopRestTimer();
    if (!carrier || carrier == pending || !window.IsVisible())
        return;
    if (s.window && s.source == carrier->Handle())
        return;  // already showing
    StartRestTimer(carrier);
}

void TooltipMouseDown(Window& window) {
    TooltipState& s = State();
    Element* pending = Element::FromHandle(s.pending);
    if (pending && pending->OwnerWindow() == &window)
        StopRestTimer();
    if (s.window && s.sourceWindow == window.Hwnd())
        HideTooltip();
}

}  // namespace detail
}  // namespace pt
