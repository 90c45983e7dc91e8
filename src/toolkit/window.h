// Top-level toolkit windows: a borderless frame with our own caption band,
// drag-to-move and drag-border resizing done by the toolkit itself (so the
// window procedure still sees WM_LBUTTONDOWN/UP of a move), per-pixel alpha
// drawing from a premultiplied back buffer with a soft shadow, the element
// tree, the window-procedure event that hands every native message to the
// program's handlers, window timers and modal loops.
//
// Geometry: the HWND's rectangle is the window rectangle. When a shadow is
// set, the drawn frame is inset by the shadow size on every side and the
// shadow is drawn in that band. The client rectangle is the frame less the
// border sizes (the non-client band, e.g. 0, 40, 0, 0 for a caption); the
// root element covers the client rectangle, or the whole frame with the
// layout overlaying the border.
//
// Windows are owned by the toolkit: Create returns a pointer that stays
// valid until the HWND is destroyed and the current dispatch has returned.
// Keep the HWND and use FromHwnd when in doubt.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/win_handles.h"
#include "toolkit/back_buffer.h"
#include "toolkit/element.h"
#include "toolkit/frame_logic.h"
#include "toolkit/handler_list.h"

namespace pt {

inline constexpr wchar_t kWindowClass[] = L"Pinatrove";

// Toolkit messages seen by the window-procedure event.
inline constexpr UINT kMsgToolkitTimer = 0x7005;  // wParam: the window timer's id

struct WindowOptions {
    DWORD exStyle = 0;
    DWORD style = 0;  // added to the frame's own popup style
    int x = 0, y = 0, width = 400, height = 300;
    std::string title;
    HWND owner = nullptr;
    int toolkitStyle = 4;  // kept for the program's reference; our frame is always borderless
    bool layered = true;   // per-pixel alpha (transparency type 2)
    // The native window class; popups that the program must tell apart
    // from its own windows (menus, tooltips) take their own.
    const wchar_t* className = kWindowClass;
    // A system menu (Alt+Space, Alt+F4). Popups go without: under X a window
    // with one is handed to the window manager, and hiding it then waits for
    // the manager (two seconds on a bare X server).
    bool systemMenu = true;
};

struct WindowMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;  // returned when a handler marks the message handled
};

class Window {
  public:
    using MessageHandler =
        std::function<void(Window& window, WindowMessage& message, bool& handled)>;
    using TimerHandler = std::function<void(Window& window, UINT_PTR id, bool& handled)>;

    // Null when the toolkit is not initialised on this thread or the HWND
    // cannot be created.
    static Window* Create(const WindowOptions& options);
    static Window* FromHwnd(HWND hwnd);  // null for foreign or destroyed windows
    // Number of live toolkit windows of this thread.
    static size_t LiveCount();
    // Every live toolkit window, in no particular order.
    static std::vector<Window*> All();

    HWND Hwnd() const { return hwnd_; }
    bool IsAlive() const { return hwnd_ != nullptr && !destroyed_; }
    Element& Root() { return *root_; }

    // ---- frame
    void EnableDragCaption(bool on) { dragCaption_ = on; }
    bool IsDragCaption() const { return dragCaption_; }
    void EnableDragBorder(bool on) { dragBorder_ = on; }
    bool IsDragBorder() const { return dragBorder_; }
    void SetDragBorderSize(int left, int top, int right, int bottom);
    Insets DragBorderSize() const { return dragBorderSize_; }
    void SetBorderSize(int left, int top, int right, int bottom);
    Insets BorderSize() const { return border_; }
    void SetMinimumSize(int width, int height);
    Size MinimumSize() const { return minSize_; }
    void EnableLayoutOverlayBorder(bool on) {
        overlayBorder_ = on;
        stale_ = true;
    }
    void SetHorizontal(bool on) { root_->SetHorizontal(on); }
    // 0: an ordinary opaque window; 2: per-pixel alpha. Others act as 2.
    void SetTransparentType(int type);
    int TransparentType() const { return layered_ ? 2 : 0; }
    void SetTransparentAlpha(BYTE alpha);
    BYTE TransparentAlpha() const { return alpha_; }
    void SetShadow(const ShadowParams& shadow);
    const ShadowParams& Shadow() const { return shadow_; }
    // The frame's own background (drawn under the root element).
    void SetBackground(const Look& look) {
        background_ = look;
        Redraw();
    }
    const Look& Background() const { return background_; }
    // Rounded frame corners: with a shadow that is not right-angled, its
    // corner size; otherwise this radius (0: square).
    int CornerRadius() const;

    // ---- placement (screen coordinates unless said otherwise)
    Rect GetRect() const;
    void SetRect(const Rect& rect);
    void SetPosition(int x, int y);
    Rect FrameRect() const;        // window coordinates
    Rect ClientRect() const;       // window coordinates
    bool ShowWindow(int command);  // SW_SHOW, SW_SHOWNA, SW_HIDE, ...
    void Show(bool on) { ShowWindow(on ? SW_SHOW : SW_HIDE); }
    bool IsVisible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }
    void AdjustLayout();
    // Repaints soon (coalesced), or now with `immediate`.
    void Redraw(bool immediate = false);

    // ---- the window-procedure event (0x7002) and timers (0x7005)
    HandlerId OnMessage(MessageHandler handler) { return messageHandlers_.Add(std::move(handler)); }
    HandlerId OnTimer(TimerHandler handler) { return timerHandlers_.Add(std::move(handler)); }
    bool RemoveHandler(HandlerId id) {
        return messageHandlers_.Remove(id) || timerHandlers_.Remove(id);
    }
    bool SetTimer(UINT_PTR id, UINT ms);
    void KillTimer(UINT_PTR id);
    // Hands a toolkit event (menu events and the like) to the window-procedure
    // handlers as if it were a message; true when one marked it handled.
    bool DispatchEvent(WindowMessage& message);

    // ---- elements
    Element* FindByName(std::string_view name) { return root_->FindByName(name); }
    Element* FindByIdentifier(int id) { return root_->FindByIdentifier(id); }
    Element* ElementAt(Point windowPoint);  // deepest visible element, mouse-through ones skipped
    Element* HoverElement() const { return hover_; }
    Element* FocusElement() const { return focus_; }
    void SetFocusElement(Element* element);
    Element* CaptureElement() const { return capture_; }

    // ---- keyboard (window_keys.cpp)
    // Tab and Shift+Tab move the focus over the focusable, shown and enabled
    // elements in tab order (Element::SetTabOrder), a radio group counting
    // as one stop (its checked button); Enter presses the focused push
    // button, else the default button; Esc presses the cancel button. Keys
    // reach the focused element first and go up its parents; these are what
    // is left.
    void SetDefaultButton(Button* button);
    Button* DefaultButton() const;
    void SetCancelButton(Button* button);
    Button* CancelButton() const;
    // The elements Tab visits, in order.
    std::vector<Element*> TabStops();
    // Moves the focus to the next (or previous) stop, wrapping; as from the
    // keyboard. False when there is no stop.
    bool MoveFocus(bool forward);
    // Sets the focus as a key would: the focus mark shows.
    void SetFocusFromKeyboard(Element* element);
    bool FocusFromKeyboard() const { return keyboardFocus_; }
    // When the window loses the keyboard focus its focused element gets
    // kKillFocus (and kSetFocus again when the window gets it back). A
    // window whose editors must outlive a switch to another program turns
    // this off.
    void SetFocusFollowsWindow(bool on) { focusFollowsWindow_ = on; }

    // ---- modal
    // Shows the window and runs a nested loop until EndModal; the owner is
    // disabled meanwhile. Returns the code given to EndModal (or the close
    // result when the window was closed otherwise).
    int DoModal();
    void EndModal(int code);
    bool IsModal() const { return modal_; }
    void SetModalCloseResult(int code) { modalCloseResult_ = code; }

    // ---- ending
    void Close() {
        if (hwnd_)
            ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    }
    void Destroy();

    // ---- drawing
    // Paints the whole window into the back buffer and shows it.
    void PaintNow();
    // The picture of the last paint; empty after the paint of a layered
    // window that does not keep it.
    const PixelBuffer& BackBuffer() const { return pixels_; }
    // Whether a layered window keeps its back buffer between paints (it
    // does unless told). The system keeps its own copy of what a layered
    // window shows, and every paint draws the whole picture anew, so a large
    // window that seldom paints may let its buffer go after each paint: one
    // panel-sized buffer is 2 MB, making a new one costs a fraction of a
    // millisecond. Whoever reads the picture back keeps it.
    void SetKeepsBackBuffer(bool keep) { keepsBackBuffer_ = keep; }

    // For elements.
    void ForgetElement(Element* element);
    void UncheckGroup(int group, Element* except, bool notify);

  private:
    friend class Element;
    explicit Window(const WindowOptions& options);
    ~Window();
    friend void ReapZombies();
    friend struct WindowAccess;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool Default(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    FrameMetrics Metrics() const;
    void MouseMove(Point p, WPARAM keys);
    void MouseLeft();
    void ButtonDown(Point p, WPARAM keys, bool doubleClick);
    void ButtonUp(Point p, WPARAM keys);
    void RightButton(Point p, bool down);
    void SetHover(Element* element);
    void EndFrameDrag();
    bool ElementCursor(Point p);
    void EnsureBuffer(int width, int height);
    void ReleaseBuffer();
    // window_keys.cpp
    bool RouteKey(UINT message, WPARAM wParam, LPARAM lParam);
    bool NavigationKey(WPARAM vk);
    void WindowFocusChanged(bool gained);
    bool Bubble(Element* from, ElementEventArgs& args, Point windowPoint);
    void PaintElement(Element& e, Canvas& canvas, const Rect& clip);
    void Present();
    void ApplyLayeredStyle();

    HWND hwnd_ = nullptr;
    bool destroyed_ = false;
    std::unique_ptr<Element> root_;
    HandlerList<Window&, WindowMessage&> messageHandlers_;
    HandlerList<Window&, UINT_PTR> timerHandlers_;
    std::set<UINT_PTR> timers_;

    bool dragCaption_ = true;
    bool dragBorder_ = true;
    Insets dragBorderSize_{5, 5, 5, 5};
    Insets border_;
    Size minSize_;
    bool overlayBorder_ = false;
    bool layered_ = true;
    BYTE alpha_ = 255;
    ShadowParams shadow_;
    Look background_ = Look::Fill(MakeColor(255, 255, 255));

    // Mouse state.
    Element* hover_ = nullptr;
    Element* capture_ = nullptr;
    Element* focus_ = nullptr;
    bool keyboardFocus_ = false;
    bool eatChar_ = false;
    bool focusFollowsWindow_ = true;
    ElementHandle restoreFocus_ = 0;
    ElementHandle defaultButton_ = 0;
    ElementHandle cancelButton_ = 0;
    bool tracking_ = false;
    FrameZone dragZone_ = FrameZone::kNone;
    Rect dragStartRect_;
    POINT dragStartCursor_{};

    // Drawing.
    // Declared before the DC: members go in reverse, so the DC (with the
    // bitmap put back out of it) is freed first.
    UniqueBitmap dib_;
    UniqueMemoryDc memDc_;
    HGDIOBJ oldBitmap_ = nullptr;
    PixelBuffer pixels_;
    bool keepsBackBuffer_ = true;
    bool presented_ = false;  // painted at least once
    bool redrawPending_ = false;
    // A redraw was asked for (or the layout changed) since the last paint.
    // A full paint costs tens of milliseconds: a show paints once, and the
    // redraws that paint already covered (queued before it, or the show's own
    // WM_SHOWWINDOW) are dropped.
    bool stale_ = true;

    // Modal.
    bool modal_ = false;
    bool modalDone_ = false;
    int modalResult_ = 0;
    int modalCloseResult_ = 0;
    HWND modalOwner_ = nullptr;
};

}  // namespace pt
