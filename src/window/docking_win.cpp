// Docking, slides and the edge timer; see docking.h.
#include "window/docking.h"

#include "base/hotkey_text.h"
#include "toolkit/menu.h"
#include "toolkit/property_table.h"
#include "toolkit/screen_areas.h"
#include "toolkit/window.h"
#include "window/dock_geometry.h"

namespace pt {
namespace {

constexpr DWORD kSlideStepMs = 10;

// The work area a panel at `rect` snaps into: that of the monitor under its
// centre. Only the primary monitor's edges dock; on another monitor the panel
// is kept inside its work area and never slides away, so it cannot park at
// an edge between two screens.
struct DockArea {
    Rect work;
    bool docks = false;
};

DockArea DockAreaOf(const Rect& rect) {
    const MonitorList monitors = QueryMonitors();
    const Rect work = WorkAreaUnder(monitors, rect);
    return DockArea{work, work == PrimaryWorkArea(monitors)};
}

bool AtDockEdge(const Rect& rect) {
    const DockArea area = DockAreaOf(rect);
    return area.docks && IsAtDockEdge(rect, area.work);
}

}  // namespace

UINT_PTR DockTimerId() {
    static const UINT_PTR id = HotkeyIdentifier("Dock");
    return id;
}

HWND OpenToolkitMenu() {
    HWND menu = ::FindWindowW(kMenuWindowClass, kMenuWindowTitle);
    return menu && Window::FromHwnd(menu) ? menu : nullptr;
}

Docking::~Docking() {
    if (Window* window = Window::FromHwnd(hwnd_)) {
        window->RemoveHandler(handler_);
        window->KillTimer(DockTimerId());
    }
}

bool Docking::Attach(HWND hwnd) {
    Window* window = Window::FromHwnd(hwnd);
    if (!window)
        return false;
    hwnd_ = hwnd;
    SetWindowFlag(hwnd_, "bDockShow", true);
    SetWindowFlag(hwnd_, "bTopmost", true);
    handler_ = window->OnMessage(
        [this](Window& w, WindowMessage& m, bool& handled) { HandleMessage(w, m, handled); });
    return true;
}

void Docking::ApplySettings(bool ease, int speed, bool topmost, bool dock) {
    SetWindowFlag(hwnd_, "bEase", ease);
    SetWindowProperty(hwnd_, "nSpeed", speed);
    SetTopmost(topmost);
    if (dock)
        SetDocking(true);
}

void Docking::SetTopmost(bool on) {
    SetWindowFlag(hwnd_, "bTopmost", on);
    ::SetWindowPos(hwnd_, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Docking::SetDocking(bool on) {
    Window* window = Window::FromHwnd(hwnd_);
    if (!window)
        return;
    SetWindowFlag(hwnd_, "bEnable", on);
    if (on) {
        SetTimerRunning(AtDockEdge(window->GetRect()));
    } else {
        SetTimerRunning(false);
        Show();
    }
}

bool Docking::IsDocking() const {
    return GetWindowFlag(hwnd_, "bEnable");
}

bool Docking::IsShown() const {
    return GetWindowFlag(hwnd_, "bDockShow");
}

void Docking::SetTimerRunning(bool on) {
    Window* window = Window::FromHwnd(hwnd_);
    if (!window)
        return;
    if (on) {
        window->SetTimer(DockTimerId(), kDockTimerMs);
    } else {
        window->KillTimer(DockTimerId());
    }
    timerRunning_ = on;
}

void Docking::Raise() {
    constexpr UINT kFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    ::SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, kFlags);
    if (!GetWindowFlag(hwnd_, "bTopmost"))
        ::SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, kFlags);
}

void Docking::ShowHide(bool show) {
    Window* window = Window::FromHwnd(hwnd_);
    if (!window)
        return;
    SetWindowFlag(hwnd_, "bDockShow", show);
    if (!IsDocking()) {
        window->ShowWindow(show ? SW_SHOWNA : SW_HIDE);
        if (show) {
            Raise();
            // Until a move has ended there is no expanded position to return to.
            if (HasWindowProperty(hwnd_, "xPos"))
                window->SetPosition(GetWindowProperty(hwnd_, "xPos"),
                                    GetWindowProperty(hwnd_, "yPos"));
        }
        return;
    }
    if (!AtDockEdge(window->GetRect())) {
        window->ShowWindow(show ? SW_SHOWNA : SW_HIDE);
        return;
    }
    // A slid-away panel stays a visible window: its strip is what the mouse
    // touches to bring it back.
    window->ShowWindow(SW_SHOWNA);
    if (show)
        Raise();
    Slide(show);
}

void Docking::Slide(bool out) {
    Window* window = Window::FromHwnd(hwnd_);
    const Rect rect = window->GetRect();
    const Rect work = DockAreaOf(rect).work;
    if (!GetWindowFlag(hwnd_, "bEase")) {
        const Point p =
            out ? Point{GetWindowProperty(hwnd_, "xPos"), GetWindowProperty(hwnd_, "yPos")}
                : DockParkedPosition(rect, work);
        window->SetPosition(p.x, p.y);
        return;
    }
    const int steps = DockSlideSteps(GetWindowProperty(hwnd_, "nSpeed"));
    for (const Point& p : DockSlidePath(rect, work, steps, out)) {
        // No messages run during a slide, so each step is painted here.
        window->SetPosition(p.x, p.y);
        window->Redraw(true);
        if (slideStep_)
            slideStep_();
        ::Sleep(kSlideStepMs);
        if (!Window::FromHwnd(hwnd_))
            return;
    }
}

void Docking::Snap() {
    Window* window = Window::FromHwnd(hwnd_);
    if (!window)
        return;
    const DockArea area = DockAreaOf(window->GetRect());
    const Rect snapped = SnapIntoWorkArea(window->GetRect(), area.work);
    SetWindowProperty(hwnd_, "xPos", snapped.left);
    SetWindowProperty(hwnd_, "yPos", snapped.top);
    window->SetPosition(snapped.left, snapped.top);
    Raise();
    if (IsDocking())
        SetTimerRunning(area.docks && IsAtDockEdge(snapped, area.work));
}

void Docking::Tick() {
    // Each rule ends the tick: an item drag, an open menu or a modal dialog
    // over the panel, a hidden panel or one called up on request keep it
    // where it is; otherwise the mouse decides.
    if ((::GetKeyState(VK_LBUTTON) & 0x8000) && GetWindowFlag(hwnd_, "bSkipLMouse"))
        return;
    if (OpenToolkitMenu() || !::IsWindowEnabled(hwnd_))
        return;
    if (!::IsWindowVisible(hwnd_) || GetWindowFlag(hwnd_, "bSkipTimer"))
        return;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    const bool inside =
        ContainsInclusive(Rect{r.left, r.top, r.right, r.bottom}, Point{cursor.x, cursor.y});
    if (inside) {
        if (!IsShown())
            Show();
    } else if (IsShown()) {
        Hide();
    }
}

void Docking::HandleMessage(Window& window, WindowMessage& message, bool& handled) {
    switch (message.message) {
        case WM_DESTROY:
            window.RemoveHandler(handler_);
            handler_ = 0;
            timerRunning_ = false;
            break;
        case WM_SHOWWINDOW:
            if (!message.wParam)
                SetWindowFlag(hwnd_, "bDockShow", false);
            break;
        case WM_LBUTTONUP:
            Snap();
            break;
        case WM_MOUSELEAVE:
            SetWindowFlag(hwnd_, "bSkipTimer", false);
            break;
        case kMsgToolkitTimer:
            if (message.wParam == DockTimerId()) {
                handled = true;
                if (IsDocking())
                    Tick();
            }
            break;
        default:
            break;
    }
}

}  // namespace pt
