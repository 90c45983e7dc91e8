// The retained element tree under each toolkit window: layout boxes, text,
// buttons and pictures. An element is owned by its parent (the root by its
// window); callers keep raw pointers while the element lives, or its
// 32-bit handle, which FromHandle resolves to null once it is destroyed.
// Destroying is deferred: an element destroyed inside one of its own event
// handlers stays valid until the outermost message dispatch returns.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/button_logic.h"
#include "toolkit/color.h"
#include "toolkit/geometry.h"
#include "toolkit/graphics.h"
#include "toolkit/handler_list.h"
#include "toolkit/layout.h"
#include "toolkit/looks.h"

namespace pt {

class Window;
class Element;

// The focus mark's colour (a thin frame inside the focused element).
inline constexpr Color kFocusMarkColor = MakeColor(0, 120, 215);

using ElementHandle = int32_t;  // 0: none

// Element events. The numbers are the toolkit's; 34 is the button click.
// Mouse and key events that no handler (and no default action) of their
// element takes go on to its parent, and so on up to the root: a handler on
// a container sees what its plain children do not want, with args.point in
// the container's coordinates and args.target the element first hit. An
// interactive element (a button, a list, a scroll bar) ends the way up: its
// unhandled press is its own press.
enum class ElementEvent : int {
    kPaint = 1,  // after the element's own painting; args.canvas is set
    kMouseMove = 2,
    kMouseEnter = 3,  // the mouse came to stay on the element
    kMouseLeave = 4,
    kLButtonDown = 5,
    kLButtonUp = 6,
    kRButtonDown = 7,
    kRButtonUp = 8,
    kDoubleClick = 9,
    kMouseWheel = 10,  // wParam as WM_MOUSEWHEEL
    kTimer = 11,       // wParam: the element timer's id
    kKeyDown = 12,     // wParam/lParam as the key message
    kKeyUp = 13,
    kChar = 14,
    kSetFocus = 15,
    kKillFocus = 16,
    kSize = 17,  // the element's rectangle changed
    kDestroy = 18,
    kCheckChanged = 19,  // args.checked: the new state
    kClick = 34,
    kSliderChange = 60,   // wParam: the new position
    kTabChanged = 61,     // a tab view: wParam the newly selected page
    kHotkeyKey = 62,      // a hotkey box: wParam the virtual key, lParam the key message's lParam
    kSwatchChanged = 63,  // a swatch list: wParam the newly selected swatch
    kEditChanged = 180,   // an edit's text changed (edit.h)
    // List views (list_view.h).
    kListItemClick = 190,
    kListItemDoubleClick = 191,
    kListItemRButtonUp = 192,
    kListHoverRest = 193,
    kListHoverEnd = 194,
    kListDragStart = 195,
    kListSelectionChanged = 196,
    // Popup menus owned by the element (the same numbers as the window
    // events); lParam points to a MenuDrawInfo (menu.h).
    kMenuPopupWindow = 0x700C,     // the menu's window was created
    kMenuSelect = 0x700D,          // wParam: the chosen id
    kMenuExit = 0x700E,            // the menu closed
    kMenuDrawBackground = 0x700F,  // args.canvas set; handled: no default drawing
    kMenuDrawItem = 0x7010,        // args.canvas set; handled: no default drawing
};

struct ElementEventArgs {
    ElementEvent event = ElementEvent::kClick;
    Point point;  // mouse position in element coordinates
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    bool checked = false;
    class Canvas* canvas = nullptr;
    // The element the event was aimed at; differs from the handler's
    // element once the event has gone up to a parent. Null for events the
    // element raised itself.
    Element* target = nullptr;
};

// True for the events that go up to the parent when nobody takes them.
bool EventBubbles(ElementEvent event);

class Element;
using ElementHandler =
    std::function<void(Element& element, const ElementEventArgs& args, bool& handled)>;

class Element {
  public:
    Element();
    virtual ~Element();
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    // ---- tree
    template <typename T, typename... Args>
    T* Add(Args&&... args) {
        auto child = std::make_unique<T>(std::forward<Args>(args)...);
        T* raw = child.get();
        AddChild(std::move(child));
        return raw;
    }
    Element* AddChild(std::unique_ptr<Element> child);
    // Moves a child to position `index` among its siblings (clamped).
    void MoveChild(Element* child, size_t index);
    Element* Parent() const { return parent_; }
    Window* OwnerWindow() const { return window_; }
    size_t ChildCount() const { return children_.size(); }
    Element* Child(size_t i) const { return i < children_.size() ? children_[i].get() : nullptr; }
    size_t IndexInParent() const;
    // Takes the element (and its subtree) out of the tree now and frees it
    // when no message of the thread is being dispatched any more.
    void Destroy();
    bool IsDestroyed() const { return destroyed_; }

    // ---- identity and data
    ElementHandle Handle() const { return handle_; }
    static Element* FromHandle(ElementHandle handle);
    void SetName(std::string_view name) { name_ = name; }  // role name: "titbar", "close", ...
    const std::string& Name() const { return name_; }
    void SetIdentifier(int id) { identifier_ = id; }  // a number chosen by the program
    int Identifier() const { return identifier_; }
    void SetUserData(intptr_t data) { userData_ = data; }
    intptr_t UserData() const { return userData_; }
    // Depth-first search of the subtree, this element included.
    Element* FindByName(std::string_view name);
    Element* FindByIdentifier(int id);

    // ---- layout
    void SetWidth(SizeSpec spec) { width_ = spec; }
    void SetHeight(SizeSpec spec) { height_ = spec; }
    void SetFixedSize(int width, int height) {
        width_ = SizeSpec::Fixed(width);
        height_ = SizeSpec::Fixed(height);
    }
    SizeSpec WidthSpec() const { return width_; }
    SizeSpec HeightSpec() const { return height_; }
    void SetHorizontal(bool on) { box_.horizontal = on; }
    bool Horizontal() const { return box_.horizontal; }
    void SetPadding(int left, int top, int right, int bottom) {
        box_.padding = Insets{left, top, right, bottom};
    }
    Insets Padding() const { return box_.padding; }
    void SetSpacing(int spacing) { box_.spacing = spacing; }
    void SetAlign(Align horizontal, Align vertical) {
        box_.alignH = horizontal;
        box_.alignV = vertical;
    }
    const BoxParams& Box() const { return box_; }
    // With layout off, every child is placed at its own position.
    void SetLayoutEnabled(bool on) { layoutEnabled_ = on; }
    bool LayoutEnabled() const { return layoutEnabled_; }
    // A floating element keeps its position (relative to its parent) and
    // its size instead of taking a place in the parent's layout.
    void SetFloating(bool on) { floating_ = on; }
    bool Floating() const { return floating_; }
    void SetPosition(int x, int y) { position_ = Point{x, y}; }
    Point Position() const { return position_; }

    // What the element needs to show its content (for fit-to-content).
    virtual Size ContentSize() const;
    // The text the element shows (a label, a button's text); empty for
    // elements without one.
    virtual std::string DisplayText() const { return {}; }
    // Lays the children out inside the element's current rectangle.
    // Containers with their own arrangement (a scrolled content) override it.
    virtual void LayoutChildren();

    // Rectangle in window coordinates; the others derive from it.
    Rect WindowRect() const { return rect_; }
    Rect ClientRect() const { return Rect{0, 0, rect_.Width(), rect_.Height()}; }
    Rect ScreenRect() const;
    Point ToElement(Point windowPoint) const {
        return Point{windowPoint.x - rect_.left, windowPoint.y - rect_.top};
    }

    // ---- state
    void SetVisible(bool on);
    bool IsVisible() const { return visible_; }
    bool IsShown() const;  // visible along the whole way up to the window
    virtual void SetEnabled(bool on);
    bool IsEnabled() const { return enabled_; }
    // The mouse goes through the element to whatever lies beneath it.
    void SetMouseThrough(bool on) { mouseThrough_ = on; }
    bool MouseThrough() const { return mouseThrough_; }
    void SetTooltip(std::string_view text) { tooltip_ = text; }
    const std::string& Tooltip() const { return tooltip_; }
    void SetCursor(LPCWSTR systemCursor) { cursor_ = systemCursor; }  // IDC_HAND, IDC_IBEAM, ...
    LPCWSTR Cursor() const { return cursor_; }
    void SetFocusable(bool on) { focusable_ = on; }
    bool Focusable() const { return focusable_; }
    bool HasFocus() const;
    void SetFocus();
    // Tab order: elements with an order (> 0) come first, lowest first; the
    // rest follow in layout (tree) order.
    void SetTabOrder(int order) { tabOrder_ = order; }
    int TabOrder() const { return tabOrder_; }
    // Focused, and the focus came from the keyboard: the focus mark shows.
    bool ShowsFocusMark() const;
    // Draws the focus mark over the element (after its children).
    virtual void PaintFocusMark(Canvas& canvas, const Rect& box);

    // ---- look
    void SetLook(const StateLook& look) {
        look_ = look;
        hasLook_ = true;
        Redraw();
    }
    bool SetLookName(std::string_view name);  // false for an unknown name (the look is left alone)
    void ClearLook() { hasLook_ = false; }
    bool HasLook() const { return hasLook_; }
    const StateLook& GetLook() const { return look_; }
    virtual VisualState State() const {
        return enabled_ ? VisualState::kNormal : VisualState::kDisabled;
    }

    // ---- events and timers
    HandlerId On(ElementEvent event, ElementHandler handler);
    bool RemoveHandler(HandlerId id);
    // Runs the handlers of args.event; true when one marked it handled.
    bool Fire(ElementEventArgs& args);
    bool Fire(ElementEvent event) {
        ElementEventArgs a;
        a.event = event;
        return Fire(a);
    }
    // Element timers: kTimer events every `ms` with wParam = id.
    bool SetTimer(UINT id, UINT ms);
    void KillTimer(UINT id);

    void Redraw();

    // ---- for the window: input and painting hooks
    virtual bool IsInteractive() const { return false; }
    virtual void OnHover(bool) {}
    virtual bool OnPress() { return false; }  // true: capture the mouse until release
    virtual void OnRelease(bool /*inside*/) {}
    virtual void OnCaptureLost() {}
    virtual void PaintContent(Canvas& canvas, const Rect& box);
    virtual void PaintBackground(Canvas& canvas, const Rect& box);

  protected:
    void NotifySizeChanged();
    // The element's own response to an event (an edit typing a key, a list
    // selecting a cell). Fire calls it after the program's handlers, and only
    // when none of them marked the event handled. True: handled.
    virtual bool DefaultAction(const ElementEventArgs& /*args*/) { return false; }

  private:
    friend class Window;
    void AttachTo(Window* window);
    void DetachFromWindow();

    ElementHandle handle_ = 0;
    Element* parent_ = nullptr;
    Window* window_ = nullptr;
    std::vector<std::unique_ptr<Element>> children_;
    std::string name_;
    int identifier_ = 0;
    intptr_t userData_ = 0;
    SizeSpec width_ = SizeSpec::Auto();
    SizeSpec height_ = SizeSpec::Auto();
    BoxParams box_;
    bool layoutEnabled_ = true;
    bool floating_ = false;
    Point position_;
    Rect rect_;
    bool visible_ = true;
    bool enabled_ = true;
    bool mouseThrough_ = false;
    bool focusable_ = false;
    int tabOrder_ = 0;
    bool destroyed_ = false;
    bool hasLook_ = false;
    StateLook look_;
    std::string tooltip_;
    LPCWSTR cursor_ = nullptr;
    std::vector<
        std::pair<ElementEvent, std::unique_ptr<HandlerList<Element&, const ElementEventArgs&>>>>
        handlers_;
};

// A text shape: text in a font and colour, fitted to its measured size
// unless given another.
class TextElement : public Element {
  public:
    explicit TextElement(std::string_view text = {});
    void SetText(std::string_view text);
    const std::string& Text() const { return text_; }
    std::string DisplayText() const override { return text_; }
    void SetFont(std::shared_ptr<Font> font) {
        font_ = std::move(font);
        Redraw();
    }
    const Font* GetFont() const;
    void SetTextColor(Color color) {
        color_ = color;
        Redraw();
    }
    Color TextColor() const { return color_; }
    void SetTextFormat(const TextFormat& format) {
        format_ = format;
        Redraw();
    }
    const TextFormat& GetTextFormat() const { return format_; }
    // Wrapped text measures to this width (0: one line).
    void SetWrapWidth(int width) { wrapWidth_ = width; }

    Size ContentSize() const override;
    void PaintContent(Canvas& canvas, const Rect& box) override;

  private:
    std::string text_;
    std::shared_ptr<Font> font_;
    Color color_ = MakeColor(60, 60, 60);
    TextFormat format_;
    int wrapWidth_ = 0;
};

// A picture shape: an image drawn scaled into the element.
class PictureElement : public Element {
  public:
    explicit PictureElement(std::shared_ptr<Image> image = nullptr);
    void SetImage(std::shared_ptr<Image> image) {
        image_ = std::move(image);
        Redraw();
    }
    const std::shared_ptr<Image>& GetImage() const { return image_; }
    Size ContentSize() const override;
    void PaintContent(Canvas& canvas, const Rect& box) override;

  private:
    std::shared_ptr<Image> image_;
};

enum class ButtonType {
    kNormal = 0,
    kClose = 3,  // a click sends the button's window WM_CLOSE
};

// Push button, check button or radio button. Behaviour lives in
// ButtonBehaviour; this class only maps it to events and to painting.
class Button : public Element {
  public:
    explicit Button(std::string_view text = {});

    void SetText(std::string_view text) {
        text_ = text;
        Redraw();
    }
    const std::string& Text() const { return text_; }
    std::string DisplayText() const override { return text_; }
    void SetFont(std::shared_ptr<Font> font) {
        font_ = std::move(font);
        Redraw();
    }
    void SetTextColor(Color color) {
        textColor_ = color;
        Redraw();
    }
    Color TextColor() const { return textColor_; }
    void SetTextAlign(TextAlign align) {
        textAlign_ = align;
        Redraw();
    }
    // Images per state: a state without one uses the nearest (pressed ->
    // hover -> normal, checked -> normal, disabled -> normal).
    void SetImage(VisualState state, std::shared_ptr<Image> image);
    void SetImageSize(int width, int height) { imageSize_ = Size{width, height}; }
    bool HasImages() const { return images_[0] != nullptr; }
    // No background look at all (the image or text alone).
    void SetTransparent(bool on) {
        transparent_ = on;
        Redraw();
    }
    bool Transparent() const { return transparent_; }

    void SetCheckMode(bool on) { behaviour_.SetCheckMode(on); }
    // Radio group: buttons of one window with the same group id (not 0)
    // are exclusive; checking one unchecks the others.
    void SetGroup(int group);
    int Group() const { return group_; }
    // Sets the checked state; with `notify`, kCheckChanged fires on every
    // button whose state changed (the group's included).
    void SetChecked(bool on, bool notify = false);
    bool IsChecked() const { return behaviour_.Checked(); }
    void SetButtonType(ButtonType type) { type_ = type; }
    ButtonType Type() const { return type_; }

    // A click as the mouse would make it: check logic, kCheckChanged, kClick.
    void Click();
    const ButtonBehaviour& Behaviour() const { return behaviour_; }

    void SetEnabled(bool on) override;
    VisualState State() const override { return behaviour_.State(); }
    Size ContentSize() const override;
    bool IsInteractive() const override { return true; }
    void OnHover(bool on) override;
    bool OnPress() override;
    void OnRelease(bool inside) override;
    void OnCaptureLost() override;
    void PaintBackground(Canvas& canvas, const Rect& box) override;
    void PaintContent(Canvas& canvas, const Rect& box) override;

  protected:
    // Space presses a focused button; arrows move within a radio group.
    bool DefaultAction(const ElementEventArgs& args) override;

  private:
    void ApplyOutcome(const ButtonOutcome& outcome);
    const Image* ImageFor(VisualState state) const;

    ButtonBehaviour behaviour_;
    std::string text_;
    std::shared_ptr<Font> font_;
    Color textColor_ = MakeColor(80, 80, 80);
    TextAlign textAlign_ = TextAlign::kCenter;
    std::shared_ptr<Image> images_[5];
    Size imageSize_;
    bool transparent_ = false;
    int group_ = 0;
    ButtonType type_ = ButtonType::kNormal;
};

}  // namespace pt
