// The one window procedure of toolkit windows: the registry lookup, the
// message handlers, the default answers to the system's messages, and the
// mouse routed to the elements (hover, capture, clicks, frame dragging,
// cursors).
#include "toolkit/accessible.h"
#include "toolkit/property_table.h"
#include "toolkit/toolkit.h"
#include "toolkit/tooltip.h"
#include "toolkit/window.h"
#include "toolkit/window_detail.h"

namespace pt {
namespace {

using window_detail::kMsgRedraw;
using window_detail::Windows;
using window_detail::WindowZombies;

Point PointFromLParam(LPARAM lParam) {
    return Point{static_cast<int>(static_cast<short>(LOWORD(lParam))),
                 static_cast<int>(static_cast<short>(HIWORD(lParam)))};
}

}  // namespace

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DispatchScope scope;
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<Window*>(cs->lpCreateParams);
        if (self) {
            self->hwnd_ = hwnd;
            Windows()[hwnd] = self;
        }
    } else {
        auto it = Windows().find(hwnd);
        if (it != Windows().end())
            self = it->second;
    }
    if (!self)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    try {
        return self->Handle(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind into the system's code.
        return message == WM_NCCREATE ? TRUE : 0;
    }
}

LRESULT Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMsgRedraw) {
        redrawPending_ = false;
        if (!destroyed_ && stale_)
            PaintNow();
        return 0;
    }
    if (message == WM_TIMER && timers_.count(wParam)) {
        WindowMessage tick{kMsgToolkitTimer, wParam, 0, 0};
        if (!messageHandlers_.Dispatch(*this, tick) && !destroyed_)
            timerHandlers_.Dispatch(*this, wParam);
        return 0;
    }
    WindowMessage msg{message, wParam, lParam, 0};
    if (messageHandlers_.Dispatch(*this, msg))
        return msg.result;
    LRESULT result = 0;
    if (Default(message, wParam, lParam, result))
        return result;
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool Window::Default(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (message) {
        case WM_NCCALCSIZE:
            // The whole window is client area, whatever style was asked for.
            return wParam != 0;
        case WM_NCHITTEST:
            // Moves and resizes are ours, so the window procedure keeps
            // seeing the button messages of a drag.
            result = HTCLIENT;
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(hwnd_, &ps);
            if (!layered_ && dc && memDc_) {
                ::BitBlt(dc, 0, 0, pixels_.Width(), pixels_.Height(), memDc_.Get(), 0, 0, SRCCOPY);
            }
            ::EndPaint(hwnd_, &ps);
            return true;
        }
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            if (minSize_.width > 0)
                info->ptMinTrackSize.x = minSize_.width;
            if (minSize_.height > 0)
                info->ptMinTrackSize.y = minSize_.height;
            return true;
        }
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) {
                AdjustLayout();
                if (IsVisible()) {
                    PaintNow();
                } else {
                    Redraw();
                }
            }
            return false;
        case WM_SHOWWINDOW:
            if (wParam && layered_ && stale_)
                PaintNow();
            return false;
        case WM_MOUSEMOVE:
            MouseMove(PointFromLParam(lParam), wParam);
            return true;
        case WM_MOUSELEAVE:
            tracking_ = false;
            MouseLeft();
            return true;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            ButtonDown(PointFromLParam(lParam), wParam, message == WM_LBUTTONDBLCLK);
            return true;
        case WM_LBUTTONUP:
            ButtonUp(PointFromLParam(lParam), wParam);
            return true;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            RightButton(PointFromLParam(lParam), message == WM_RBUTTONDOWN);
            return true;
        case WM_MOUSEWHEEL: {
            ElementEventArgs a;
            a.event = ElementEvent::kMouseWheel;
            a.wParam = wParam;
            a.lParam = lParam;
            for (Element* e = hover_; e && !e->IsDestroyed(); e = e->Parent()) {
                if (e->Fire(a))
                    break;
            }
            return true;
        }
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd_) {
                dragZone_ = FrameZone::kNone;
                if (Element* c = capture_) {
                    capture_ = nullptr;
                    c->OnCaptureLost();
                }
            }
            return true;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                POINT c;
                ::GetCursorPos(&c);
                ::ScreenToClient(hwnd_, &c);
                if (ElementCursor(Point{c.x, c.y})) {
                    result = TRUE;
                    return true;
                }
            }
            return false;
        case WM_GETOBJECT:
            return AnswerGetObject(*this, wParam, lParam, &result);
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_CHAR:
            return RouteKey(message, wParam, lParam);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            WindowFocusChanged(message == WM_SETFOCUS);
            return false;
        case WM_CLOSE:
            if (modal_) {
                EndModal(modalCloseResult_);
            } else {
                ::DestroyWindow(hwnd_);
            }
            return true;
        case WM_DESTROY:
            for (UINT_PTR id : timers_)
                ::KillTimer(hwnd_, id);
            timers_.clear();
            hover_ = capture_ = focus_ = nullptr;
            focusFollowsWindow_ = false;
            return false;
        case WM_NCDESTROY: {
            DropWindowProperties(hwnd_);
            Windows().erase(hwnd_);
            destroyed_ = true;
            if (modal_ && !modalDone_) {
                modalDone_ = true;
                if (modalOwner_)
                    ::EnableWindow(modalOwner_, TRUE);
                modalOwner_ = nullptr;
            }
            messageHandlers_.Clear();
            timerHandlers_.Clear();
            WindowZombies().push_back(this);
            detail::LastWindowMayBeGone();
            return true;
        }
        default:
            return false;
    }
}

// ------------------------------------------------------------------- mouse

void Window::SetHover(Element* element) {
    if (element == hover_)
        return;
    Element* old = hover_;
    hover_ = element;
    detail::TooltipHoverChanged(*this, element);
    if (old && !old->IsDestroyed()) {
        old->OnHover(false);
        old->Fire(ElementEvent::kMouseLeave);
    }
    if (element && hover_ == element && !element->IsDestroyed()) {
        if (element->IsEnabled())
            element->OnHover(true);
        element->Fire(ElementEvent::kMouseEnter);
    }
}

void Window::MouseMove(Point p, WPARAM keys) {
    if (dragZone_ != FrameZone::kNone) {
        POINT s{p.x, p.y};
        ::ClientToScreen(hwnd_, &s);
        const Rect r = DragRect(dragStartRect_, dragZone_, s.x - dragStartCursor_.x,
                                s.y - dragStartCursor_.y, minSize_);
        UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
        if (dragZone_ == FrameZone::kCaption)
            flags |= SWP_NOSIZE;
        ::SetWindowPos(hwnd_, nullptr, r.left, r.top, r.Width(), r.Height(), flags);
        return;
    }
    if (!tracking_) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd_, 0};
        tracking_ = ::TrackMouseEvent(&tme) != FALSE;
    }
    ElementEventArgs a;
    a.event = ElementEvent::kMouseMove;
    a.wParam = keys;
    if (Element* c = capture_) {
        const bool inside = c->WindowRect().Contains(p);
        if (inside != (hover_ == c)) {
            hover_ = inside ? c : nullptr;
            c->OnHover(inside);
        }
        a.point = c->ToElement(p);
        c->Fire(a);
        return;
    }
    Element* e = ElementAt(p);
    SetHover(e);
    if (e && !e->IsDestroyed() && !destroyed_)
        Bubble(e, a, p);
}

void Window::MouseLeft() {
    if (capture_ || dragZone_ != FrameZone::kNone)
        return;
    SetHover(nullptr);
}

void Window::ButtonDown(Point p, WPARAM keys, bool doubleClick) {
    detail::TooltipMouseDown(*this);
    const FrameZone zone = HitFrame(Metrics(), p);
    if (IsResizeZone(zone)) {
        dragZone_ = zone;
        dragStartRect_ = GetRect();
        dragStartCursor_ = POINT{p.x, p.y};
        ::ClientToScreen(hwnd_, &dragStartCursor_);
        ::SetCapture(hwnd_);
        return;
    }
    Element* e = ElementAt(p);
    SetHover(e);
    if (destroyed_)
        return;
    // A press elsewhere takes the focus from an edit, as a click beside a
    // native edit control does. Focus from the mouse shows no focus mark.
    if (keyboardFocus_) {
        keyboardFocus_ = false;
        Redraw();
    }
    SetFocusElement(e && !e->IsDestroyed() && e->Focusable() && e->IsEnabled() ? e : nullptr);
    if (destroyed_)
        return;
    if (e && !e->IsDestroyed()) {
        ElementEventArgs a;
        a.event = ElementEvent::kLButtonDown;
        a.point = e->ToElement(p);
        a.wParam = keys;
        bool handled = Bubble(e, a, p);
        if (doubleClick && !e->IsDestroyed() && !destroyed_) {
            a.event = ElementEvent::kDoubleClick;
            handled = Bubble(e, a, p) || handled;
        }
        if (destroyed_ || e->IsDestroyed())
            return;
        if (handled)
            return;
        if (e->IsInteractive()) {
            if (e->IsEnabled() && e->OnPress()) {
                capture_ = e;
                ::SetCapture(hwnd_);
            }
            return;
        }
    }
    if (zone == FrameZone::kCaption) {
        dragZone_ = zone;
        dragStartRect_ = GetRect();
        dragStartCursor_ = POINT{p.x, p.y};
        ::ClientToScreen(hwnd_, &dragStartCursor_);
        ::SetCapture(hwnd_);
    }
}

void Window::EndFrameDrag() {
    dragZone_ = FrameZone::kNone;
    if (::GetCapture() == hwnd_)
        ::ReleaseCapture();
}

void Window::ButtonUp(Point p, WPARAM keys) {
    if (dragZone_ != FrameZone::kNone) {
        EndFrameDrag();
        return;
    }
    ElementEventArgs a;
    a.event = ElementEvent::kLButtonUp;
    a.wParam = keys;
    if (Element* c = capture_) {
        capture_ = nullptr;
        if (::GetCapture() == hwnd_)
            ::ReleaseCapture();
        const bool inside = c->IsShown() && c->WindowRect().Contains(p);
        a.point = c->ToElement(p);
        const bool handled = c->Fire(a);
        if (!c->IsDestroyed() && !destroyed_) {
            if (handled) {
                c->OnCaptureLost();
            } else {
                c->OnRelease(inside);
            }
        }
        if (!destroyed_)
            SetHover(ElementAt(p));
        return;
    }
    if (Element* e = ElementAt(p))
        Bubble(e, a, p);
}

void Window::RightButton(Point p, bool down) {
    if (down)
        detail::TooltipMouseDown(*this);
    Element* e = ElementAt(p);
    if (!e)
        return;
    ElementEventArgs a;
    a.event = down ? ElementEvent::kRButtonDown : ElementEvent::kRButtonUp;
    Bubble(e, a, p);
}

bool Window::ElementCursor(Point p) {
    LPCWSTR cursor = nullptr;
    switch (HitFrame(Metrics(), p)) {
        case FrameZone::kLeft:
        case FrameZone::kRight:
            cursor = IDC_SIZEWE;
            break;
        case FrameZone::kTop:
        case FrameZone::kBottom:
            cursor = IDC_SIZENS;
            break;
        case FrameZone::kTopLeft:
        case FrameZone::kBottomRight:
            cursor = IDC_SIZENWSE;
            break;
        case FrameZone::kTopRight:
        case FrameZone::kBottomLeft:
            cursor = IDC_SIZENESW;
            break;
        default:
            for (Element* e = ElementAt(p); e && !cursor; e = e->Parent())
                cursor = e->Cursor();
            break;
    }
    ::SetCursor(::LoadCursorW(nullptr, cursor ? cursor : IDC_ARROW));
    return true;
}

}  // namespace pt
