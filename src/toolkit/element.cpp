// The element tree: identity, layout, state, events, and the painting of
// text, pictures and buttons.
#include "toolkit/element.h"

#include <algorithm>
#include <functional>
#include <unordered_map>

#include "toolkit/accessible.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"

namespace pt {
namespace {

std::unordered_map<ElementHandle, Element*>& Registry() {
    static auto* map = new std::unordered_map<ElementHandle, Element*>;
    return *map;
}

ElementHandle NextHandle() {
    static ElementHandle last = 0;
    do {
        last = last == INT32_MAX ? 1 : last + 1;
    } while (Registry().count(last));
    return last;
}

}  // namespace

Element::Element() : handle_(NextHandle()) {
    Registry()[handle_] = this;
}

Element::~Element() {
    if (handle_)
        Registry().erase(handle_);
    StopElementTimers(this);
}

Element* Element::FromHandle(ElementHandle handle) {
    auto it = Registry().find(handle);
    return it == Registry().end() ? nullptr : it->second;
}

Element* Element::AddChild(std::unique_ptr<Element> child) {
    if (!child || destroyed_)
        return nullptr;
    Element* raw = child.get();
    raw->parent_ = this;
    raw->AttachTo(window_);
    children_.push_back(std::move(child));
    Redraw();
    return raw;
}

void Element::MoveChild(Element* child, size_t index) {
    auto it = std::find_if(children_.begin(), children_.end(),
                           [&](const auto& c) { return c.get() == child; });
    if (it == children_.end())
        return;
    std::unique_ptr<Element> owned = std::move(*it);
    children_.erase(it);
    index = std::min(index, children_.size());
    children_.insert(children_.begin() + static_cast<ptrdiff_t>(index), std::move(owned));
}

size_t Element::IndexInParent() const {
    if (!parent_)
        return 0;
    for (size_t i = 0; i < parent_->children_.size(); ++i) {
        if (parent_->children_[i].get() == this)
            return i;
    }
    return 0;
}

void Element::AttachTo(Window* window) {
    window_ = window;
    for (auto& c : children_)
        c->AttachTo(window);
}

void Element::DetachFromWindow() {
    if (window_)
        window_->ForgetElement(this);
    StopElementTimers(this);
    for (auto& c : children_)
        c->DetachFromWindow();
}

void Element::Destroy() {
    if (destroyed_)
        return;
    DispatchScope scope;
    // Handlers see the element whole one last time.
    Fire(ElementEvent::kDestroy);
    const std::function<void(Element&)> mark = [&](Element& e) {
        e.destroyed_ = true;
        if (e.handle_)
            Registry().erase(e.handle_);
        e.handle_ = 0;
        for (auto& c : e.children_)
            mark(*c);
    };
    DetachFromWindow();
    mark(*this);
    Window* window = window_;
    if (parent_) {
        auto& siblings = parent_->children_;
        auto it = std::find_if(siblings.begin(), siblings.end(),
                               [&](const auto& c) { return c.get() == this; });
        if (it != siblings.end()) {
            std::unique_ptr<Element> owned = std::move(*it);
            siblings.erase(it);
            DeferDelete(std::move(owned));
        }
    }
    if (window) {
        window->AdjustLayout();
        window->Redraw();
    }
}

Element* Element::FindByName(std::string_view name) {
    if (name_ == name)
        return this;
    for (auto& c : children_) {
        if (Element* e = c->FindByName(name))
            return e;
    }
    return nullptr;
}

Element* Element::FindByIdentifier(int id) {
    if (identifier_ == id)
        return this;
    for (auto& c : children_) {
        if (Element* e = c->FindByIdentifier(id))
            return e;
    }
    return nullptr;
}

// ------------------------------------------------------------------ layout

Size Element::ContentSize() const {
    std::vector<LayoutChild> kids;
    for (const auto& c : children_) {
        if (!c->visible_ || c->floating_ || !layoutEnabled_)
            continue;
        kids.push_back(LayoutChild{c->width_, c->height_, c->ContentSize()});
    }
    if (kids.empty())
        return Size{box_.padding.left + box_.padding.right, box_.padding.top + box_.padding.bottom};
    return MeasureBox(box_, kids);
}

void Element::LayoutChildren() {
    std::vector<LayoutChild> kids;
    std::vector<Element*> placed;
    for (const auto& c : children_) {
        if (!c->visible_)
            continue;
        if (c->floating_ || !layoutEnabled_) {
            const Size content =
                (c->width_.kind == SizeKind::kFixed && c->height_.kind == SizeKind::kFixed)
                    ? Size{}
                    : c->ContentSize();
            const int w = c->width_.kind == SizeKind::kFixed  ? c->width_.value
                          : c->width_.kind == SizeKind::kAuto ? content.width
                                                              : rect_.Width() - c->position_.x;
            const int h = c->height_.kind == SizeKind::kFixed  ? c->height_.value
                          : c->height_.kind == SizeKind::kAuto ? content.height
                                                               : rect_.Height() - c->position_.y;
            const Rect r =
                Rect::FromSize(rect_.left + c->position_.x, rect_.top + c->position_.y, w, h);
            const bool changed = r != c->rect_;
            c->rect_ = r;
            c->LayoutChildren();
            if (changed)
                c->NotifySizeChanged();
            continue;
        }
        kids.push_back(LayoutChild{c->width_, c->height_, c->ContentSize()});
        placed.push_back(c.get());
    }
    const std::vector<Rect> rects = LayoutBoxChildren(rect_, box_, kids);
    for (size_t i = 0; i < placed.size(); ++i) {
        const bool changed = rects[i] != placed[i]->rect_;
        placed[i]->rect_ = rects[i];
        placed[i]->LayoutChildren();
        if (changed)
            placed[i]->NotifySizeChanged();
    }
}

void Element::NotifySizeChanged() {
    Fire(ElementEvent::kSize);
}

Rect Element::ScreenRect() const {
    POINT origin{0, 0};
    if (window_ && window_->Hwnd())
        ::ClientToScreen(window_->Hwnd(), &origin);
    return rect_.Offset(origin.x, origin.y);
}

// ------------------------------------------------------------------- state

void Element::SetVisible(bool on) {
    if (visible_ == on)
        return;
    visible_ = on;
    if (!on && window_)
        window_->ForgetElement(this);
    Redraw();
}

bool Element::IsShown() const {
    for (const Element* e = this; e; e = e->parent_) {
        if (!e->visible_)
            return false;
    }
    return window_ != nullptr;
}

void Element::SetEnabled(bool on) {
    enabled_ = on;
    Redraw();
}

bool Element::HasFocus() const {
    return window_ && window_->FocusElement() == this;
}

void Element::SetFocus() {
    if (window_)
        window_->SetFocusElement(this);
}

bool Element::ShowsFocusMark() const {
    return HasFocus() && window_->FocusFromKeyboard();
}

void Element::PaintFocusMark(Canvas& canvas, const Rect& box) {
    canvas.DrawLook(box.Inset(Insets{1, 1, 1, 1}), Look::Border(kBorderAll, kFocusMarkColor, 1));
}

bool Element::SetLookName(std::string_view name) {
    StateLook look;
    if (!FindNamedLook(name, look))
        return false;
    SetLook(look);
    return true;
}

// ------------------------------------------------------------------ events

HandlerId Element::On(ElementEvent event, ElementHandler handler) {
    for (auto& [e, list] : handlers_) {
        if (e == event)
            return list->Add(std::move(handler));
    }
    handlers_.emplace_back(event,
                           std::make_unique<HandlerList<Element&, const ElementEventArgs&>>());
    return handlers_.back().second->Add(std::move(handler));
}

bool Element::RemoveHandler(HandlerId id) {
    for (auto& [e, list] : handlers_) {
        if (list->Remove(id))
            return true;
    }
    return false;
}

bool Element::Fire(ElementEventArgs& args) {
    DispatchScope scope;
    try {
        for (auto& [e, list] : handlers_) {
            if (e != args.event)
                continue;
            // The list lives in a unique_ptr: adding a handler for another
            // event during dispatch cannot move it.
            HandlerList<Element&, const ElementEventArgs&>* l = list.get();
            if (l->Dispatch(*this, args))
                return true;
            break;
        }
        return !destroyed_ && DefaultAction(args);
    } catch (...) {
        // A handler's failure ends this event; it must not unwind through
        // the window procedure.
        return true;
    }
}

bool Element::SetTimer(UINT id, UINT ms) {
    return !destroyed_ && StartElementTimer(this, id, ms);
}

void Element::KillTimer(UINT id) {
    StopElementTimer(this, id);
}

void Element::Redraw() {
    if (window_)
        window_->Redraw();
}

void Element::PaintBackground(Canvas& canvas, const Rect& box) {
    if (hasLook_)
        canvas.DrawLook(box, look_.For(State()));
}

void Element::PaintContent(Canvas&, const Rect&) {}

// -------------------------------------------------------------------- text

TextElement::TextElement(std::string_view text) : text_(text) {}

void TextElement::SetText(std::string_view text) {
    text_ = text;
    Redraw();
}

const Font* TextElement::GetFont() const {
    if (font_)
        return font_.get();
    static thread_local std::shared_ptr<Font> fallback;
    fallback = DefaultFont();
    return fallback.get();
}

Size TextElement::ContentSize() const {
    const Font* f = GetFont();
    const Insets p = Padding();
    Size s = f ? MeasureText(text_, *f, wrapWidth_, wrapWidth_ > 0) : Size{};
    return Size{s.width + p.left + p.right, s.height + p.top + p.bottom};
}

void TextElement::PaintContent(Canvas& canvas, const Rect& box) {
    const Font* f = GetFont();
    if (!f)
        return;
    TextFormat fmt = format_;
    fmt.wrap = wrapWidth_ > 0 || fmt.wrap;
    canvas.DrawText(text_, *f, IsEnabled() ? color_ : WithAlpha(color_, 110), box.Inset(Padding()),
                    fmt);
}

// ----------------------------------------------------------------- picture

PictureElement::PictureElement(std::shared_ptr<Image> image) : image_(std::move(image)) {}

Size PictureElement::ContentSize() const {
    return image_ ? image_->NaturalSize() : Size{};
}

void PictureElement::PaintContent(Canvas& canvas, const Rect& box) {
    if (image_)
        canvas.DrawImage(*image_, box.Inset(Padding()));
}

// ------------------------------------------------------------------ button

Button::Button(std::string_view text) : text_(text) {
    SetLookName("bkInfo_button");
    SetCursor(IDC_ARROW);
}

void Button::SetImage(VisualState state, std::shared_ptr<Image> image) {
    images_[static_cast<int>(state)] = std::move(image);
    Redraw();
}

const Image* Button::ImageFor(VisualState state) const {
    const auto at = [&](VisualState s) { return images_[static_cast<int>(s)].get(); };
    if (const Image* img = at(state))
        return img;
    if (state == VisualState::kPressed && at(VisualState::kHover))
        return at(VisualState::kHover);
    return at(VisualState::kNormal);
}

void Button::SetGroup(int group) {
    group_ = group;
    behaviour_.SetRadio(group != 0);
    if (group != 0)
        behaviour_.SetCheckMode(true);
}

void Button::SetChecked(bool on, bool notify) {
    if (!behaviour_.SetChecked(on))
        return;
    DispatchScope scope;
    if (on && group_ != 0 && OwnerWindow())
        OwnerWindow()->UncheckGroup(group_, this, notify);
    if (notify && !IsDestroyed()) {
        ElementEventArgs a;
        a.event = ElementEvent::kCheckChanged;
        a.checked = on;
        Fire(a);
    }
    if (!IsDestroyed())
        AnnounceStateChange(*this);
    Redraw();
}

void Button::ApplyOutcome(const ButtonOutcome& outcome) {
    if (!outcome.click)
        return;
    DispatchScope scope;
    if (outcome.checkChanged) {
        const bool on = behaviour_.Checked();
        if (on && group_ != 0 && OwnerWindow())
            OwnerWindow()->UncheckGroup(group_, this, true);
        ElementEventArgs a;
        a.event = ElementEvent::kCheckChanged;
        a.checked = on;
        if (!IsDestroyed())
            Fire(a);
        if (!IsDestroyed())
            AnnounceStateChange(*this);
    }
    Window* window = OwnerWindow();
    const bool handled = !IsDestroyed() && Fire(ElementEvent::kClick);
    if (!handled && type_ == ButtonType::kClose && window && window->Hwnd()) {
        // Posted: the close (and the window's destruction) comes after this
        // click's handling has unwound.
        ::PostMessageW(window->Hwnd(), WM_CLOSE, 0, 0);
    }
    Redraw();
}

bool Button::DefaultAction(const ElementEventArgs& args) {
    if (args.event != ElementEvent::kKeyDown || !IsEnabled())
        return false;
    const bool repeat = (args.lParam & (1 << 30)) != 0;
    switch (args.wParam) {
        case VK_SPACE:
            if (!repeat)
                Click();
            return true;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            Window* window = OwnerWindow();
            if (group_ == 0 || !window)
                return false;
            // The group's buttons in layout order; the arrow checks the next
            // usable one, wrapping, and takes the focus there.
            std::vector<Button*> members;
            const std::function<void(Element&)> walk = [&](Element& e) {
                auto* b = dynamic_cast<Button*>(&e);
                if (b && b->group_ == group_ && (b == this || (b->IsShown() && b->IsEnabled())))
                    members.push_back(b);
                for (size_t i = 0; i < e.ChildCount(); ++i)
                    walk(*e.Child(i));
            };
            walk(window->Root());
            const auto at = std::find(members.begin(), members.end(), this);
            if (members.size() < 2 || at == members.end())
                return true;
            const size_t n = members.size();
            const size_t i = static_cast<size_t>(at - members.begin());
            const bool forward = args.wParam == VK_RIGHT || args.wParam == VK_DOWN;
            Button* next = members[forward ? (i + 1) % n : (i + n - 1) % n];
            const ElementHandle keep = next->Handle();
            window->SetFocusFromKeyboard(next);
            if (Element::FromHandle(keep))
                next->SetChecked(true, true);
            return true;
        }
        default:
            return false;
    }
}

void Button::Click() {
    if (!behaviour_.Enabled() || IsDestroyed())
        return;
    behaviour_.MouseDown();
    const bool hover = behaviour_.Hover();
    ButtonOutcome outcome = behaviour_.MouseUp(true);
    if (!hover)
        behaviour_.MouseLeave();
    ApplyOutcome(outcome);
}

void Button::SetEnabled(bool on) {
    Element::SetEnabled(on);
    behaviour_.SetEnabled(on);
    Redraw();
}

Size Button::ContentSize() const {
    Size s;
    if (!text_.empty()) {
        const std::shared_ptr<Font> f = font_ ? font_ : DefaultFont();
        if (f)
            s = MeasureText(text_, *f);
    }
    Size img = imageSize_;
    if ((img.width <= 0 || img.height <= 0) && images_[0])
        img = images_[0]->NaturalSize();
    const Insets p = Padding();
    if (!text_.empty() && img.width > 0) {
        s.width += img.width + 4;
        s.height = std::max(s.height, img.height);
    } else if (img.width > 0) {
        s = img;
    }
    return Size{s.width + p.left + p.right, s.height + p.top + p.bottom};
}

void Button::OnHover(bool on) {
    if (on) {
        behaviour_.MouseEnter();
    } else {
        behaviour_.MouseLeave();
    }
    Redraw();
}

bool Button::OnPress() {
    const bool capture = behaviour_.MouseDown();
    Redraw();
    return capture;
}

void Button::OnRelease(bool inside) {
    ApplyOutcome(behaviour_.MouseUp(inside));
}

void Button::OnCaptureLost() {
    behaviour_.CaptureLost();
    Redraw();
}

void Button::PaintBackground(Canvas& canvas, const Rect& box) {
    if (!transparent_)
        Element::PaintBackground(canvas, box);
}

void Button::PaintContent(Canvas& canvas, const Rect& box) {
    const Rect inner = box.Inset(Padding());
    const Image* img = ImageFor(State());
    Rect textBox = inner;
    if (img) {
        Size is = imageSize_;
        if (is.width <= 0 || is.height <= 0)
            is = img->NaturalSize();
        is.width = std::min(is.width, inner.Width());
        is.height = std::min(is.height, inner.Height());
        Rect ir;
        if (text_.empty()) {
            ir = Rect::FromSize(inner.left + (inner.Width() - is.width) / 2,
                                inner.top + (inner.Height() - is.height) / 2, is.width, is.height);
        } else {
            ir = Rect::FromSize(inner.left, inner.top + (inner.Height() - is.height) / 2, is.width,
                                is.height);
            textBox.left = ir.right + 4;
        }
        canvas.DrawImage(*img, ir);
    }
    if (!text_.empty()) {
        const std::shared_ptr<Font> f = font_ ? font_ : DefaultFont();
        if (!f)
            return;
        TextFormat fmt;
        fmt.horizontal = img ? TextAlign::kStart : textAlign_;
        canvas.DrawText(text_, *f, IsEnabled() ? textColor_ : WithAlpha(textColor_, 110), textBox,
                        fmt);
    }
}

}  // namespace pt
