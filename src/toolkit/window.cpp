// Toolkit windows: creation, the window registry, frame and placement,
// timers, the elements' hover/focus/capture bookkeeping and deferred freeing.
// The window procedure and mouse routing are in window_proc.cpp, the keys in
// window_keys.cpp, painting in window_paint.cpp, modal loops in
// window_modal.cpp.
#include "toolkit/window.h"

#include <unordered_map>

#include "base/text.h"
#include "toolkit/accessible.h"
#include "toolkit/toolkit.h"
#include "toolkit/window_detail.h"

namespace pt {
namespace window_detail {

std::unordered_map<HWND, Window*>& Windows() {
    static auto* map = new std::unordered_map<HWND, Window*>;
    return *map;
}

std::vector<Window*>& WindowZombies() {
    static auto* v = new std::vector<Window*>;
    return *v;
}

}  // namespace window_detail

using window_detail::Windows;
using window_detail::WindowZombies;

namespace {

std::vector<std::unique_ptr<Element>>& ElementZombies() {
    static auto* v = new std::vector<std::unique_ptr<Element>>;
    return *v;
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
    if (showing && layered_ && (stale_ || !presented_))
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

void Window::Destroy() {
    if (!hwnd_ || destroyed_)
        return;
    DispatchScope scope;
    ::DestroyWindow(hwnd_);
}

}  // namespace pt
