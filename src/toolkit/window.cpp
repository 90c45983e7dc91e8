// Toolkit windows: creation, the one window procedure, frame dragging,
// mouse routing to elements, painting to the back buffer, timers, modal
// loops and deferred freeing.
#include "toolkit/window.h"

#include <unordered_map>

#include "base/startup_trace.h"
#include "base/text.h"
#include "toolkit/accessible.h"
#include "toolkit/property_table.h"
#include "toolkit/toolkit.h"
#include "toolkit/tooltip.h"

namespace pt {
namespace {

constexpr UINT kMsgRedraw = 0x7FF1;  // private: a coalesced repaint

std::unordered_map<HWND, Window*>& Windows() {
    static auto* map = new std::unordered_map<HWND, Window*>;
    return *map;
}

std::vector<Window*>& WindowZombies() {
    static auto* v = new std::vector<Window*>;
    return *v;
}

std::vector<std::unique_ptr<Element>>& ElementZombies() {
    static auto* v = new std::vector<std::unique_ptr<Element>>;
    return *v;
}

Point PointFromLParam(LPARAM lParam) {
    return Point{static_cast<int>(static_cast<short>(LOWORD(lParam))),
                 static_cast<int>(static_cast<short>(HIWORD(lParam)))};
}

bool IsAncestorOrSelf(const Element* ancestor, const Element* e) {
    for (; e; e = e->Parent()) {
        if (e == ancestor)
            return true;
    }
    return false;
}

}  // namespace

// Reaping lives here: only this file may delete a Window.
void ReapZombies() {
    static bool reaping = false;
    if (DispatchDepth() != 0 || reaping)
        return;
    reaping = true;
    {
        DispatchScope guard;  // destructors may destroy more; this loop takes those too
        for (;;) {
            std::vector<std::unique_ptr<Element>> elements = std::move(ElementZombies());
            ElementZombies().clear();
            std::vector<Window*> windows = std::move(WindowZombies());
            WindowZombies().clear();
            if (elements.empty() && windows.empty())
                break;
            elements.clear();
            for (Window* w : windows)
                delete w;
        }
    }  // the guard's own close finds `reaping` set and returns
    reaping = false;
}

void DeferDelete(std::unique_ptr<Element> element) {
    if (element)
        ElementZombies().push_back(std::move(element));
}

Window::Window(const WindowOptions& options)
    : root_(std::make_unique<Element>()), layered_(options.layered) {
    root_->SetName("");
    root_->AttachTo(this);
}

Window::~Window() {
    root_.reset();
    // The bitmap goes back out of the memory DC before either is freed.
    if (memDc_ && oldBitmap_)
        ::SelectObject(memDc_.Get(), oldBitmap_);
}

Window* Window::Create(const WindowOptions& options) {
    if (!IsUiThread())
        return nullptr;
    const wchar_t* className =
        options.className && *options.className ? options.className : kWindowClass;
    static auto* registered = new std::set<std::wstring>;
    if (!registered->count(className)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &Window::Proc;
        wc.hInstance = ToolkitInstance();
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = className;
        if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return nullptr;
        registered->insert(className);
    }
    DispatchScope scope;
    auto* w = new Window(options);
    const bool visible = (options.style & WS_VISIBLE) != 0;
    const DWORD system = options.systemMenu ? WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX : 0;
    const DWORD style = WS_POPUP | system | (options.style & ~WS_VISIBLE);
    const DWORD ex = options.exStyle | (options.layered ? WS_EX_LAYERED : 0);
    const std::wstring title = ToWide(options.title);
    HWND hwnd =
        ::CreateWindowExW(ex, className, title.c_str(), style, options.x, options.y, options.width,
                          options.height, options.owner, nullptr, ToolkitInstance(), w);
    if (!hwnd) {
        // WM_NCCREATE may have mapped it; creation failing later destroys
        // the HWND, whose WM_NCDESTROY queued the object for reaping.
        if (!w->destroyed_ && Windows().count(w->hwnd_) == 0 && w->hwnd_ == nullptr)
            delete w;
        return nullptr;
    }
    w->AdjustLayout();
    if (visible)
        w->ShowWindow(SW_SHOW);
    return w;
}

Window* Window::FromHwnd(HWND hwnd) {
    auto it = Windows().find(hwnd);
    return it == Windows().end() || it->second->destroyed_ ? nullptr : it->second;
}

size_t Window::LiveCount() {
    return Windows().size();
}

std::vector<Window*> Window::All() {
    std::vector<Window*> out;
    for (const auto& [hwnd, w] : Windows()) {
        if (!w->destroyed_)
            out.push_back(w);
    }
    return out;
}

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
                ::BitBlt(dc, 0, 0, pixels_.Width(), pixels_.Height(), memDc_.Get(), 0, 0,
                         SRCCOPY);
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

// ------------------------------------------------------------------ frame

void Window::SetDragBorderSize(int left, int top, int right, int bottom) {
    dragBorderSize_ =
        Insets{std::max(left, 0), std::max(top, 0), std::max(right, 0), std::max(bottom, 0)};
}

void Window::SetBorderSize(int left, int top, int right, int bottom) {
    border_ = Insets{std::max(left, 0), std::max(top, 0), std::max(right, 0), std::max(bottom, 0)};
    AdjustLayout();
}

void Window::SetMinimumSize(int width, int height) {
    minSize_ = Size{std::max(width, 0), std::max(height, 0)};
}

void Window::SetTransparentType(int type) {
    const bool on = type != 0;
    if (on == layered_)
        return;
    layered_ = on;
    if (hwnd_) {
        LONG_PTR ex = ::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
        ex = on ? (ex | WS_EX_LAYERED) : (ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
        ::SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, ex);
    }
    AdjustLayout();
    Redraw();
}

void Window::SetTransparentAlpha(BYTE alpha) {
    alpha_ = alpha;
    Redraw();
}

void Window::SetShadow(const ShadowParams& shadow) {
    shadow_ = shadow;
    shadow_.size = std::max(shadow_.size, 0);
    AdjustLayout();
    Redraw();
}

int Window::CornerRadius() const {
    return layered_ && !shadow_.rightAngled ? std::max(shadow_.cornerSize, 0) : 0;
}

FrameMetrics Window::Metrics() const {
    FrameMetrics m;
    m.frame = FrameRect();
    m.dragBorder = dragBorderSize_;
    m.dragBorderOn = dragBorder_;
    m.captionHeight = border_.top;
    m.dragCaptionOn = dragCaption_;
    return m;
}

// -------------------------------------------------------------- placement

Rect Window::GetRect() const {
    RECT r{};
    if (hwnd_)
        ::GetWindowRect(hwnd_, &r);
    return Rect{r.left, r.top, r.right, r.bottom};
}

void Window::SetRect(const Rect& rect) {
    if (!hwnd_ || destroyed_)
        return;
    ::SetWindowPos(hwnd_, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::SetPosition(int x, int y) {
    if (!hwnd_ || destroyed_)
        return;
    ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
}

Rect Window::FrameRect() const {
    RECT r{};
    if (hwnd_)
        ::GetClientRect(hwnd_, &r);
    Rect all{0, 0, r.right, r.bottom};
    const int s = layered_ ? shadow_.size : 0;
    return all.Inset(Insets{s, s, s, s});
}

Rect Window::ClientRect() const {
    return FrameRect().Inset(border_);
}

bool Window::ShowWindow(int command) {
    if (!hwnd_ || destroyed_)
        return false;
    DispatchScope scope;
    const bool showing =
        command != SW_HIDE && command != SW_MINIMIZE && command != SW_FORCEMINIMIZE;
    // A layered window shows nothing until its first UpdateLayeredWindow;
    // after that the system keeps its picture while it is hidden, so a
    // window shown again unchanged is not painted anew.
    if (showing && layered_ && (stale_ || !pixels_.Data()))
        PaintNow();
    return ::ShowWindow(hwnd_, command) != FALSE;
}

void Window::AdjustLayout() {
    if (!hwnd_ || destroyed_)
        return;
    DispatchScope scope;
    stale_ = true;
    root_->rect_ = overlayBorder_ ? FrameRect() : ClientRect();
    root_->LayoutChildren();
}

void Window::Redraw(bool immediate) {
    if (!hwnd_ || destroyed_)
        return;
    stale_ = true;
    if (immediate) {
        PaintNow();
        return;
    }
    if (!redrawPending_) {
        redrawPending_ = ::PostMessageW(hwnd_, kMsgRedraw, 0, 0) != FALSE;
    }
}

// ----------------------------------------------------------------- timers

bool Window::SetTimer(UINT_PTR id, UINT ms) {
    if (!hwnd_ || destroyed_)
        return false;
    if (!::SetTimer(hwnd_, id, ms, nullptr))
        return false;
    timers_.insert(id);
    return true;
}

void Window::KillTimer(UINT_PTR id) {
    if (hwnd_ && timers_.erase(id))
        ::KillTimer(hwnd_, id);
}

bool Window::DispatchEvent(WindowMessage& message) {
    if (destroyed_)
        return false;
    DispatchScope scope;
    return messageHandlers_.Dispatch(*this, message);
}

// ---------------------------------------------------------------- elements

Element* Window::ElementAt(Point p) {
    Element* at = root_.get();
    if (!at->IsVisible() || !at->WindowRect().Contains(p))
        return nullptr;
    for (;;) {
        Element* next = nullptr;
        for (size_t i = at->ChildCount(); i-- > 0;) {
            Element* c = at->Child(i);
            if (c->IsVisible() && !c->MouseThrough() && c->WindowRect().Contains(p)) {
                next = c;
                break;
            }
        }
        if (!next)
            break;
        at = next;
    }
    return at == root_.get() ? nullptr : at;
}

void Window::SetFocusElement(Element* element) {
    if (element == focus_)
        return;
    if (element && (element->OwnerWindow() != this || element->IsDestroyed()))
        return;
    DispatchScope scope;
    Element* old = focus_;
    focus_ = element;
    if (old && !old->IsDestroyed())
        old->Fire(ElementEvent::kKillFocus);
    if (element && focus_ == element && !element->IsDestroyed()) {
        element->Fire(ElementEvent::kSetFocus);
        AnnounceFocus(*this, element);
    }
    Redraw();
}

void Window::ForgetElement(Element* element) {
    if (IsAncestorOrSelf(element, hover_))
        hover_ = nullptr;
    if (IsAncestorOrSelf(element, focus_))
        focus_ = nullptr;
    if (IsAncestorOrSelf(element, capture_)) {
        capture_ = nullptr;
        if (hwnd_ && ::GetCapture() == hwnd_ && dragZone_ == FrameZone::kNone)
            ::ReleaseCapture();
    }
}

void Window::UncheckGroup(int group, Element* except, bool notify) {
    if (group == 0)
        return;
    std::vector<Button*> found;
    const std::function<void(Element&)> walk = [&](Element& e) {
        if (auto* b = dynamic_cast<Button*>(&e)) {
            if (b != except && b->Group() == group && b->IsChecked())
                found.push_back(b);
        }
        for (size_t i = 0; i < e.ChildCount(); ++i)
            walk(*e.Child(i));
    };
    walk(*root_);
    for (Button* b : found) {
        if (!b->IsDestroyed())
            b->SetChecked(false, notify);
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

// ------------------------------------------------------------------- modal

int Window::DoModal() {
    if (!IsAlive() || modal_)
        return modalCloseResult_;
    DispatchScope scope;  // keeps this object alive until the loop has unwound
    HWND owner = ::GetWindow(hwnd_, GW_OWNER);
    modalOwner_ = owner && ::IsWindowEnabled(owner) ? owner : nullptr;
    if (modalOwner_)
        ::EnableWindow(modalOwner_, FALSE);
    modal_ = true;
    modalDone_ = false;
    modalResult_ = modalCloseResult_;
    ShowWindow(SW_SHOW);
    MSG msg;
    while (!modalDone_) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Leave the quit for the outer loop as well.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (modalOwner_) {
        ::EnableWindow(modalOwner_, TRUE);
        modalOwner_ = nullptr;
    }
    if (!destroyed_ && hwnd_)
        ::DestroyWindow(hwnd_);
    modal_ = false;
    return modalResult_;
}

void Window::EndModal(int code) {
    if (!modal_ || modalDone_)
        return;
    DispatchScope scope;
    modalResult_ = code;
    modalDone_ = true;
    // The owner is enabled before the dialog goes, so the activation
    // returns to it rather than to some other application.
    if (modalOwner_) {
        ::EnableWindow(modalOwner_, TRUE);
        modalOwner_ = nullptr;
    }
    if (!destroyed_ && hwnd_)
        ::DestroyWindow(hwnd_);
    ::PostMessageW(nullptr, WM_NULL, 0, 0);  // wakes the loop if the end came from elsewhere
}

void Window::Destroy() {
    if (!hwnd_ || destroyed_)
        return;
    DispatchScope scope;
    ::DestroyWindow(hwnd_);
}

// ----------------------------------------------------------------- drawing

void Window::EnsureBuffer(int width, int height) {
    if (dib_ && pixels_.Width() == width && pixels_.Height() == height)
        return;
    if (!memDc_)
        memDc_.Reset(::CreateCompatibleDC(nullptr));
    if (!memDc_)
        return;
    if (oldBitmap_) {
        ::SelectObject(memDc_.Get(), oldBitmap_);
        oldBitmap_ = nullptr;
    }
    dib_.Reset();
    pixels_.Attach(nullptr, 0, 0);
    if (width <= 0 || height <= 0)
        return;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dib_.Reset(::CreateDIBSection(memDc_.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib_ || !bits) {
        dib_.Reset();
        return;
    }
    oldBitmap_ = ::SelectObject(memDc_.Get(), dib_.Get());
    pixels_.Attach(static_cast<uint32_t*>(bits), width, height);
}

void Window::PaintElement(Element& e, Canvas& canvas, const Rect& clip) {
    if (!e.IsVisible() || e.IsDestroyed())
        return;
    const Rect r = e.WindowRect();
    const Rect c = r.Intersect(clip);
    if (c.IsEmpty())
        return;
    Gdiplus::Graphics& g = canvas.Graphics();
    g.SetClip(Gdiplus::Rect(c.left, c.top, c.Width(), c.Height()));
    e.PaintBackground(canvas, r);
    e.PaintContent(canvas, r);
    ElementEventArgs a;
    a.event = ElementEvent::kPaint;
    a.canvas = &canvas;
    e.Fire(a);
    // A paint handler may destroy children: walk a snapshot.
    std::vector<Element*> kids;
    for (size_t i = 0; i < e.ChildCount(); ++i)
        kids.push_back(e.Child(i));
    for (Element* k : kids)
        PaintElement(*k, canvas, c);
    if (&e == focus_ && keyboardFocus_ && !e.IsDestroyed()) {
        g.SetClip(Gdiplus::Rect(c.left, c.top, c.Width(), c.Height()));
        e.PaintFocusMark(canvas, r);
    }
}

void Window::PaintNow() {
    if (!hwnd_ || destroyed_)
        return;
    DispatchScope scope;
    RECT cr{};
    ::GetClientRect(hwnd_, &cr);
    EnsureBuffer(cr.right, cr.bottom);
    if (!pixels_.Data())
        return;
    // Cleared before the elements paint: one that asks for a redraw while
    // painting leaves the window stale again.
    stale_ = false;
    pixels_.Clear(0);
    const Rect frame = FrameRect();
    {
        Gdiplus::Bitmap bitmap(pixels_.Width(), pixels_.Height(), pixels_.Width() * 4,
                               PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(pixels_.Data()));
        Gdiplus::Graphics g(&bitmap);
        g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
        Canvas canvas(g);
        Look bg = background_;
        bg.radius = 0;  // the frame's corners are rounded afterwards, with coverage
        canvas.DrawLook(frame, bg);
        PaintElement(*root_, canvas, frame);
        g.Flush(Gdiplus::FlushIntentionSync);
    }
    if (layered_) {
        RoundFrameCorners(pixels_, frame, CornerRadius());
        CompositeShadowUnder(pixels_, frame, shadow_);
    }
    Present();
    static bool presented = false;
    if (!presented) {
        presented = true;
        MarkStartupStage("first paint");
    }
}

void Window::Present() {
    if (!memDc_ || !pixels_.Data())
        return;
    if (layered_) {
        const WindowDc screen(nullptr);
        SIZE size{pixels_.Width(), pixels_.Height()};
        POINT src{0, 0};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha_, AC_SRC_ALPHA};
        ::UpdateLayeredWindow(hwnd_, screen.Get(), nullptr, &size, memDc_.Get(), &src, 0, &blend,
                              ULW_ALPHA);
    } else if (const WindowDc dc(hwnd_); dc) {
        ::BitBlt(dc.Get(), 0, 0, pixels_.Width(), pixels_.Height(), memDc_.Get(), 0, 0, SRCCOPY);
    }
}

}  // namespace pt
