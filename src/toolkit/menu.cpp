// Popup menus: one toolkit window per open level, the items as elements in
// it, keyboard and mouse navigation, the owner's events, and the ways a menu
// ends (a choice, Esc, a click outside, losing the activation, WM_CLOSE).
#include "toolkit/menu.h"

#include <algorithm>

#include "base/text.h"
#include "toolkit/popup_placement.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"

namespace pt {
namespace {

// The element event that stands for a menu's window event.
ElementEvent MenuElementEvent(UINT event) {
    switch (event) {
        case kMsgMenuPopupWindow:
            return ElementEvent::kMenuPopupWindow;
        case kMsgMenuSelect:
            return ElementEvent::kMenuSelect;
        case kMsgMenuExit:
            return ElementEvent::kMenuExit;
        case kMsgMenuDrawBackground:
            return ElementEvent::kMenuDrawBackground;
        default:
            return ElementEvent::kMenuDrawItem;
    }
}

constexpr UINT_PTR kSubmenuTimer = 1;
constexpr UINT kSubmenuDelay = 250;  // ms of rest on an item before its submenu opens or closes
constexpr int kTextLeft = 35;        // the item text's inset, where checks and icons go
constexpr int kTextRight = 5;
constexpr int kArrowRoom = 40;  // right of the text: space for a submenu arrow

Menu* g_open = nullptr;  // the one open menu

Rect WorkAreaAt(Point p) {
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    HMONITOR monitor = ::MonitorFromPoint(POINT{p.x, p.y}, MONITOR_DEFAULTTONEAREST);
    if (monitor && ::GetMonitorInfoW(monitor, &mi))
        return Rect{mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom};
    RECT wa{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
    return Rect{wa.left, wa.top, wa.right, wa.bottom};
}

bool IsButtonDown(WPARAM message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
            return true;
        default:
            return false;
    }
}

}  // namespace

// The element that fills a menu window: the background and the border line
// are its painting; the items are its children.
class MenuPanelElement : public Element {
  public:
    MenuPanelElement(std::weak_ptr<Menu> menu, size_t level)
        : menu_(std::move(menu)), level_(level) {
        SetName("menu");
    }
    void PaintBackground(Canvas& canvas, const Rect& box) override {
        if (auto m = menu_.lock())
            m->PaintBackground(level_, canvas, box);
    }

  private:
    std::weak_ptr<Menu> menu_;
    size_t level_;
};

MenuItemElement::MenuItemElement(std::weak_ptr<Menu> menu, size_t level, int position,
                                 const MenuItemData& item)
    : menu_(std::move(menu)),
      level_(level),
      position_(position),
      text_(item.text),
      flags_(item.flags) {
    SetName(IsSeparator() ? "menu.separator" : "menu.item");
    SetIdentifier(item.id);
    // Separators and disabled items never take the hover, so they are never
    // selected.
    SetEnabled(MenuModel::Selectable(item));
    const auto release = [](Element& e, const ElementEventArgs&, bool& handled) {
        auto& self = static_cast<MenuItemElement&>(e);
        if (auto m = self.menu_.lock()) {
            m->Released(self.level_, self.position_);
            handled = true;
        }
    };
    On(ElementEvent::kLButtonUp, release);
    On(ElementEvent::kRButtonUp, release);
}

void MenuItemElement::OnHover(bool on) {
    auto m = menu_.lock();
    if (!m)
        return;
    if (on) {
        m->Hovered(level_, position_);
    } else {
        m->Unhovered(level_, position_);
    }
}

void MenuItemElement::PaintContent(Canvas& canvas, const Rect& box) {
    if (auto m = menu_.lock())
        m->PaintItem(level_, position_, canvas, box);
}

// ------------------------------------------------------------------ items

std::shared_ptr<Menu> Menu::Create() {
    return std::shared_ptr<Menu>(new Menu);
}

Menu::~Menu() {
    if (g_open == this)
        g_open = nullptr;
}

bool Menu::AddItem(int id, std::string_view text, int parent, unsigned flags) {
    return model_.Add(id, text, parent, flags);
}

bool Menu::AddSeparator(int parent) {
    return model_.AddSeparator(parent);
}

bool Menu::SetItemText(int id, std::string_view text) {
    return model_.SetText(id, text);
}

bool Menu::SetItemChecked(int id, bool on) {
    return model_.SetFlag(id, kMenuItemChecked, on);
}

bool Menu::SetItemEnabled(int id, bool on) {
    return model_.SetFlag(id, kMenuItemDisabled, !on);
}

void Menu::SetBorderSize(int left, int top, int right, int bottom) {
    border_ = Insets{std::max(left, 0), std::max(top, 0), std::max(right, 0), std::max(bottom, 0)};
}

Size Menu::LevelContentSize(int parentId) const {
    const std::shared_ptr<Font> font = font_ ? font_ : DefaultFont();
    int width = 0;
    int height = 0;
    for (size_t index : model_.Children(parentId)) {
        const MenuItemData& item = model_.Items()[index];
        if (item.flags & kMenuItemSeparator) {
            height += separatorHeight_;
            continue;
        }
        height += itemHeight_;
        const int text = font ? MeasureText(item.text, *font).width : 0;
        width = std::max(width, kTextLeft + text + kArrowRoom);
    }
    width = std::max(width, minWidth_);
    return Size{width + border_.left + border_.right, height + border_.top + border_.bottom};
}

// ---------------------------------------------------------------- showing

bool Menu::Popup(HWND owner, Point screen, Element* ownerElement) {
    return Open(owner, screen, ownerElement, false, nullptr);
}

bool Menu::Popup(HWND owner, Point screen, Element* ownerElement, MenuAnswer answer) {
    return Open(owner, screen, ownerElement, false, std::move(answer));
}

int Menu::Track(HWND owner, Point screen, Element* ownerElement) {
    std::shared_ptr<Menu> keep = shared_from_this();
    if (!Open(owner, screen, ownerElement, true, nullptr))
        return kMenuNoChoice;
    const unsigned generation = generation_;
    MSG msg;
    while (IsOpen() && generation_ == generation) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Leave the quit for the outer loop as well.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            Close();
            break;
        }
        if (got == -1) {
            Close();
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return generation_ == generation ? chosen_ : kMenuNoChoice;
}

bool Menu::Open(HWND owner, Point screen, Element* ownerElement, bool tracking, MenuAnswer answer) {
    if (!IsUiThread() || !model_.HasChildren(kMenuRoot))
        return false;
    std::shared_ptr<Menu> keep = shared_from_this();
    DispatchScope scope;
    if (g_open)
        g_open->Close();
    if (IsOpen())
        Close();
    ++generation_;
    owner_ = owner;
    ownerElement_ = ownerElement ? ownerElement->Handle() : 0;
    tracking_ = tracking;
    answer_ = std::move(answer);
    finished_ = false;
    chosen_ = kMenuNoChoice;
    self_ = keep;
    g_open = this;
    if (!OpenLevel(kMenuRoot, Rect{}, screen)) {
        answer_ = nullptr;  // a menu that never opened does not answer
        Finish(kMenuNoChoice);
        return false;
    }
    // The menu leaves the activation where it is (the owner keeps it, as
    // with the system's menus): the keyboard reaches the menu through a
    // hook, and a click into any other window of this thread ends it, as
    // the activation going to another program does.
    const DWORD thread = ::GetCurrentThreadId();
    mouseHook_.Reset(::SetWindowsHookExW(WH_MOUSE, &Menu::MouseHook, nullptr, thread));
    keyHook_.Reset(::SetWindowsHookExW(WH_KEYBOARD, &Menu::KeyHook, nullptr, thread));
    return IsOpen();
}

bool Menu::OpenLevel(int parentId, const Rect& anchorItem, Point at) {
    const size_t level = levels_.size();
    Level entry;
    entry.parentId = parentId;
    entry.items = model_.Children(parentId);
    if (entry.items.empty())
        return false;

    WindowOptions o;
    o.className = kMenuWindowClass;
    o.title = FromWide(kMenuWindowTitle);
    o.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    o.systemMenu = false;
    o.owner = owner_;
    o.width = 1;
    o.height = 1;
    Window* w = Window::Create(o);
    if (!w)
        return false;
    entry.hwnd = w->Hwnd();
    levels_.push_back(entry);

    w->EnableDragCaption(false);
    w->EnableDragBorder(false);
    w->SetDragBorderSize(0, 0, 0, 0);
    w->SetBorderSize(border_.left, border_.top, border_.right, border_.bottom);
    w->EnableLayoutOverlayBorder(true);
    w->SetBackground(Look{});  // the menu's background is drawn by its panel
    std::weak_ptr<Menu> weak = weak_from_this();
    const unsigned generation = generation_;
    w->OnMessage([weak, generation, level](Window& self, WindowMessage& m, bool& handled) {
        std::shared_ptr<Menu> menu = weak.lock();
        if (!menu || menu->generation_ != generation)
            return;
        switch (m.message) {
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
                handled = menu->Key(m.wParam);
                break;
            case WM_CHAR:
            case WM_SYSCHAR:
                handled = true;
                break;
            case WM_MOUSEACTIVATE:
                // Submenus leave the activation with the root menu.
                if (level > 0) {
                    m.result = MA_NOACTIVATE;
                    handled = true;
                }
                break;
            case WM_ACTIVATE:
                // The program may activate its menu windows; then the
                // activation leaving them (to no other menu window) ends it.
                if (LOWORD(m.wParam) == WA_INACTIVE)
                    menu->DeactivatedSoon();
                break;
            case WM_ACTIVATEAPP:
                // Another program takes the activation.
                if (!m.wParam)
                    menu->CloseSoon();
                break;
            case WM_CLOSE:
                // Any of its windows closes the whole menu (the program finds
                // one by class and title and sends it WM_CLOSE).
                menu->Close();
                handled = true;
                break;
            case WM_DESTROY:
                // Destroyed from outside (with its owner): the menu ends.
                for (size_t i = 0; i < menu->levels_.size(); ++i) {
                    if (menu->levels_[i].hwnd == self.Hwnd()) {
                        menu->levels_[i].hwnd = nullptr;
                        menu->Finish(kMenuNoChoice);
                        break;
                    }
                }
                break;
            default:
                break;
        }
    });
    w->OnTimer([weak, generation, level](Window& self, UINT_PTR id, bool& handled) {
        std::shared_ptr<Menu> menu = weak.lock();
        if (id != kSubmenuTimer)
            return;
        self.KillTimer(kSubmenuTimer);
        handled = true;
        if (menu && menu->generation_ == generation)
            menu->OnSubmenuTimer(level);
    });

    auto* panel = w->Root().Add<MenuPanelElement>(weak, level);
    panel->SetWidth(SizeSpec::Fill());
    panel->SetHeight(SizeSpec::Fill());
    panel->SetPadding(border_.left, border_.top, border_.right, border_.bottom);
    for (size_t i = 0; i < entry.items.size(); ++i) {
        const MenuItemData& item = model_.Items()[entry.items[i]];
        auto* e = panel->Add<MenuItemElement>(weak, level, static_cast<int>(i), item);
        e->SetWidth(SizeSpec::Fill());
        e->SetHeight(
            SizeSpec::Fixed((item.flags & kMenuItemSeparator) ? separatorHeight_ : itemHeight_));
    }

    // The program dresses the window now (transparency, shadow, handlers).
    MenuDrawInfo info;
    info.menu = this;
    info.window = w;
    info.level = static_cast<int>(level);
    SendOwnerEvent(kMsgMenuPopupWindow, reinterpret_cast<WPARAM>(entry.hwnd), &info, nullptr);
    w = Window::FromHwnd(entry.hwnd);
    if (!w || generation_ != generation || levels_.size() <= level)
        return false;

    const int s = w->TransparentType() == 2 ? w->Shadow().size : 0;
    const Size content = LevelContentSize(parentId);
    const Size size{content.width + 2 * s, content.height + 2 * s};
    Rect r;
    if (level == 0) {
        r = PlaceMenu(Point{at.x - s, at.y - s}, size, WorkAreaAt(at));
    } else {
        Window* parent = LevelWindow(level - 1);
        Rect parentFrame = parent ? parent->FrameRect() : Rect{};
        if (parent) {
            const Rect pr = parent->GetRect();
            parentFrame = parentFrame.Offset(pr.left, pr.top);
        }
        const Point centre{(anchorItem.left + anchorItem.right) / 2,
                           (anchorItem.top + anchorItem.bottom) / 2};
        r = PlaceSubmenu(anchorItem, parentFrame, size, WorkAreaAt(centre), border_.top + s, s + 2);
    }
    w->SetRect(r);
    w->AdjustLayout();
    w->ShowWindow(SW_SHOWNA);
    return true;
}

void Menu::Close() {
    Finish(kMenuNoChoice);
}

void Menu::CloseLevelsFrom(size_t level) {
    if (level >= levels_.size())
        return;
    DispatchScope scope;
    HWND active = ::GetForegroundWindow();
    bool activeClosing = false;
    std::vector<HWND> closing;
    for (size_t i = levels_.size(); i-- > level;) {
        closing.push_back(levels_[i].hwnd);
        activeClosing = activeClosing || levels_[i].hwnd == active;
    }
    levels_.resize(level);
    // Keep the activation (and the keyboard) in the menu.
    if (activeClosing && !levels_.empty())
        ::SetForegroundWindow(levels_[0].hwnd);
    for (HWND h : closing) {
        if (Window* w = Window::FromHwnd(h))
            w->Destroy();
    }
    if (!levels_.empty()) {
        if (Window* w = LevelWindow(levels_.size() - 1))
            w->Redraw();
    }
}

void Menu::Finish(int chosen) {
    if (finished_ || (levels_.empty() && !self_))
        return;
    std::shared_ptr<Menu> keep = self_;  // `this` lives until the end of this call
    DispatchScope scope;
    finished_ = true;
    chosen_ = chosen;
    mouseHook_.Reset();
    keyHook_.Reset();
    CloseLevelsFrom(0);
    if (g_open == this)
        g_open = nullptr;
    // Posted: the owner acts on the choice after the menu has gone, and may
    // open a dialog or another menu from there.
    const HWND owner = owner_;
    const ElementHandle element = ownerElement_;
    const auto deliver = [owner, element](UINT event, WPARAM wParam) {
        if (element) {
            PostUiTask([element, event, wParam] {
                if (Element* e = Element::FromHandle(element)) {
                    ElementEventArgs a;
                    a.event = MenuElementEvent(event);
                    a.wParam = wParam;
                    e->Fire(a);
                }
            });
        } else if (Window::FromHwnd(owner)) {
            ::PostMessageW(owner, event, wParam, 0);
        }
    };
    if (MenuAnswer answer = std::move(answer_)) {
        answer_ = nullptr;
        // Posted like the events: the answer runs once the menu has gone,
        // and only while whoever opened the menu is still there.
        PostUiTask([answer = std::move(answer), owner, element, chosen] {
            const bool ownerAlive = element ? Element::FromHandle(element) != nullptr
                                            : Window::FromHwnd(owner) != nullptr;
            if (ownerAlive)
                answer(chosen);
        });
    } else if (!tracking_ && chosen != kMenuNoChoice) {
        deliver(kMsgMenuSelect, static_cast<WPARAM>(chosen));
    }
    deliver(kMsgMenuExit, 0);
    self_.reset();
}

std::shared_ptr<Menu> Menu::Current() {
    return g_open ? g_open->shared_from_this() : nullptr;
}

std::vector<Window*> Menu::OpenWindows() const {
    std::vector<Window*> out;
    for (size_t i = 0; i < levels_.size(); ++i) {
        if (Window* w = LevelWindow(i))
            out.push_back(w);
    }
    return out;
}

int Menu::SelectedId() const {
    for (size_t i = levels_.size(); i-- > 0;) {
        const Level& l = levels_[i];
        if (l.selected >= 0 && static_cast<size_t>(l.selected) < l.items.size())
            return model_.Items()[l.items[static_cast<size_t>(l.selected)]].id;
    }
    return 0;
}

bool Menu::ItemScreenRect(int id, Rect& out) const {
    for (Window* w : OpenWindows()) {
        Element* e = w->FindByIdentifier(id);
        if (e && dynamic_cast<MenuItemElement*>(e)) {
            out = e->ScreenRect();
            return true;
        }
    }
    return false;
}

Window* Menu::LevelWindow(size_t level) const {
    return level < levels_.size() ? Window::FromHwnd(levels_[level].hwnd) : nullptr;
}

bool Menu::IsMenuWindow(HWND hwnd) const {
    for (const Level& l : levels_) {
        if (hwnd && (l.hwnd == hwnd || ::IsChild(l.hwnd, hwnd)))
            return true;
    }
    return false;
}

// -------------------------------------------------------------- selection

void Menu::Select(size_t level, int position, bool openSoon) {
    if (level >= levels_.size())
        return;
    Level& l = levels_[level];
    Window* w = LevelWindow(level);
    if (l.selected != position) {
        l.selected = position;
        if (w)
            w->Redraw();
    }
    if (!w)
        return;
    w->KillTimer(kSubmenuTimer);
    if (openSoon)
        w->SetTimer(kSubmenuTimer, kSubmenuDelay);
}

void Menu::Hovered(size_t level, int position) {
    if (level >= levels_.size())
        return;
    // Coming back from a submenu onto the item that opened it keeps it open.
    const bool opener = level + 1 < levels_.size() && levels_[level].selected == position;
    Select(level, position, !opener);
    // A deeper level that stays open shows no selection of its own any more.
    if (opener && levels_[level + 1].selected >= 0)
        Select(level + 1, -1, false);
}

void Menu::Unhovered(size_t level, int position) {
    if (level >= levels_.size() || levels_[level].selected != position)
        return;
    // The item whose submenu is open stays selected while the mouse goes there.
    if (level + 1 < levels_.size())
        return;
    Select(level, -1, false);
}

void Menu::OnSubmenuTimer(size_t level) {
    if (level >= levels_.size())
        return;
    const Level& l = levels_[level];
    int opened = -1;
    if (level + 1 < levels_.size()) {
        const int parent = levels_[level + 1].parentId;
        for (size_t i = 0; i < l.items.size(); ++i) {
            if (model_.Items()[l.items[i]].id == parent)
                opened = static_cast<int>(i);
        }
    }
    if (l.selected >= 0 && l.selected == opened)
        return;
    CloseLevelsFrom(level + 1);
    if (levels_.size() == level + 1 && l.selected >= 0)
        OpenSubmenuOfSelection(level, false);
}

void Menu::OpenSubmenuOfSelection(size_t level, bool selectFirst) {
    if (level >= levels_.size())
        return;
    const Level& l = levels_[level];
    if (l.selected < 0 || static_cast<size_t>(l.selected) >= l.items.size())
        return;
    const MenuItemData& item = model_.Items()[l.items[static_cast<size_t>(l.selected)]];
    if (!MenuModel::Selectable(item) || !model_.HasChildren(item.id))
        return;
    if (level + 1 < levels_.size()) {
        if (levels_[level + 1].parentId == item.id) {
            if (selectFirst && levels_[level + 1].selected < 0)
                Select(level + 1, model_.Step(levels_[level + 1].items, -1, 1), false);
            return;
        }
        CloseLevelsFrom(level + 1);
    }
    Window* w = LevelWindow(level);
    Element* e = w ? w->FindByIdentifier(item.id) : nullptr;
    if (!e)
        return;
    if (!OpenLevel(item.id, e->ScreenRect(), Point{}))
        return;
    if (selectFirst && level + 1 < levels_.size())
        Select(level + 1, model_.Step(levels_[level + 1].items, -1, 1), false);
}

void Menu::Released(size_t level, int position) {
    if (level >= levels_.size() || position < 0 ||
        static_cast<size_t>(position) >= levels_[level].items.size())
        return;
    const MenuItemData& item = model_.Items()[levels_[level].items[static_cast<size_t>(position)]];
    if (!MenuModel::Selectable(item))
        return;
    Select(level, position, false);
    if (model_.HasChildren(item.id)) {
        OpenSubmenuOfSelection(level, false);
        return;
    }
    Choose(level, position);
}

void Menu::Choose(size_t level, int position) {
    const MenuItemData& item = model_.Items()[levels_[level].items[static_cast<size_t>(position)]];
    Finish(item.id);
}

bool Menu::Key(WPARAM vk) {
    if (levels_.empty())
        return false;
    std::shared_ptr<Menu> keep = shared_from_this();
    const size_t level = levels_.size() - 1;
    Level& l = levels_[level];
    switch (vk) {
        case VK_UP:
        case VK_DOWN: {
            const int next = model_.Step(l.items, l.selected, vk == VK_DOWN ? 1 : -1);
            if (next >= 0)
                Select(level, next, false);
            return true;
        }
        case VK_RIGHT:
            OpenSubmenuOfSelection(level, true);
            return true;
        case VK_LEFT:
            if (level > 0)
                CloseLevelsFrom(level);
            return true;
        case VK_ESCAPE:
            if (level > 0) {
                CloseLevelsFrom(level);
            } else {
                Finish(kMenuNoChoice);
            }
            return true;
        case VK_RETURN:
        case VK_SPACE: {
            if (l.selected < 0)
                return true;
            const MenuItemData& item = model_.Items()[l.items[static_cast<size_t>(l.selected)]];
            if (model_.HasChildren(item.id)) {
                OpenSubmenuOfSelection(level, true);
            } else if (MenuModel::Selectable(item)) {
                Choose(level, l.selected);
            }
            return true;
        }
        case VK_MENU:
        case VK_F10:
            Finish(kMenuNoChoice);
            return true;
        default:
            return true;
    }
}

// ---------------------------------------------------------------- closing

void Menu::DeactivatedSoon() {
    // Decided after the activation has settled: a submenu or the root taking
    // it back is no reason to close.
    std::weak_ptr<Menu> weak = weak_from_this();
    const unsigned generation = generation_;
    PostUiTask([weak, generation] {
        std::shared_ptr<Menu> m = weak.lock();
        if (!m || m->generation_ != generation || !m->IsOpen())
            return;
        if (!m->IsMenuWindow(::GetForegroundWindow()))
            m->Close();
    });
}

void Menu::CloseSoon() {
    std::weak_ptr<Menu> weak = weak_from_this();
    const unsigned generation = generation_;
    PostUiTask([weak, generation] {
        std::shared_ptr<Menu> m = weak.lock();
        if (m && m->generation_ == generation)
            m->Close();
    });
}

LRESULT CALLBACK Menu::MouseHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && g_open && IsButtonDown(wParam)) {
        const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
        // The click goes on to its window; the menu goes first.
        if (info && !g_open->IsMenuWindow(info->hwnd))
            g_open->CloseSoon();
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK Menu::KeyHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HC_ACTION || !g_open)
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    // Every key belongs to the open menu, whichever window has the focus;
    // its releases are swallowed with it.
    const bool down = (static_cast<DWORD>(lParam) & 0x80000000u) == 0;
    if (down) {
        DispatchScope scope;
        try {
            std::shared_ptr<Menu> keep = g_open->shared_from_this();
            keep->Key(wParam);
        } catch (...) {
            // Nothing may unwind into the system's hook call.
        }
    }
    return 1;
}

// ---------------------------------------------------------------- drawing

void Menu::SendOwnerEvent(UINT event, WPARAM wParam, MenuDrawInfo* info, bool* handled) {
    bool done = false;
    if (ownerElement_) {
        if (Element* e = Element::FromHandle(ownerElement_)) {
            ElementEventArgs a;
            a.event = MenuElementEvent(event);
            a.wParam = wParam;
            a.lParam = reinterpret_cast<LPARAM>(info);
            a.canvas = info ? info->canvas : nullptr;
            done = e->Fire(a);
        }
    } else if (Window* w = Window::FromHwnd(owner_)) {
        WindowMessage m{event, wParam, reinterpret_cast<LPARAM>(info), 0};
        done = w->DispatchEvent(m);
    }
    if (handled)
        *handled = done;
}

void Menu::PaintBackground(size_t level, Canvas& canvas, const Rect& frame) {
    bool handled = false;
    if (drawBackground_) {
        MenuDrawInfo info;
        info.menu = this;
        info.window = LevelWindow(level);
        info.level = static_cast<int>(level);
        info.canvas = &canvas;
        info.rect = frame;
        SendOwnerEvent(kMsgMenuDrawBackground, 0, &info, &handled);
    }
    if (!handled)
        DefaultBackground(canvas, frame);
    if (ColorAlpha(borderColor_) != 0)
        canvas.DrawLook(frame, Look::Border(kBorderAll, borderColor_));
}

void Menu::PaintItem(size_t level, int position, Canvas& canvas, const Rect& rect) {
    if (level >= levels_.size() || position < 0 ||
        static_cast<size_t>(position) >= levels_[level].items.size())
        return;
    const size_t index = levels_[level].items[static_cast<size_t>(position)];
    const MenuItemData& item = model_.Items()[index];
    const unsigned state = model_.StateFlags(index, levels_[level].selected == position);
    bool handled = false;
    if (drawItem_) {
        MenuDrawInfo info;
        info.menu = this;
        info.window = LevelWindow(level);
        info.level = static_cast<int>(level);
        info.canvas = &canvas;
        info.rect = rect;
        info.id = item.id;
        info.text = item.text;
        info.state = state;
        SendOwnerEvent(kMsgMenuDrawItem, static_cast<WPARAM>(item.id), &info, &handled);
    }
    if (!handled)
        DefaultItem(canvas, rect, item, state);
}

void Menu::DefaultBackground(Canvas& canvas, const Rect& frame) {
    canvas.FillRect(frame, MakeColor(255, 255, 255));
}

void Menu::DefaultItem(Canvas& canvas, const Rect& rect, const MenuItemData& item, unsigned state) {
    const int midY = (rect.top + rect.bottom) / 2;
    if (state & kMenuItemSeparator) {
        canvas.FillRect(Rect{rect.left + kTextLeft, midY, rect.right - kTextRight, midY + 1},
                        MakeColor(230, 230, 230));
        return;
    }
    if (state & kMenuItemSelected)
        canvas.FillRect(rect, MakeColor(240, 240, 240));
    const Color ink =
        (state & kMenuItemDisabled) ? MakeColor(192, 192, 192) : MakeColor(96, 96, 96);
    if (state & kMenuItemChecked)
        canvas.FillEllipse(Rect::FromSize(rect.left + 20, midY - 4, 8, 8), ink);
    if (state & kMenuItemPopup) {
        const float x = static_cast<float>(rect.right - 14);
        const float y = static_cast<float>(rect.top + rect.bottom) / 2;
        canvas.DrawPolyline({{x - 2.5f, y - 4.5f}, {x + 2, y}, {x - 2.5f, y + 4.5f}}, ink, 1.5f);
    }
    const std::shared_ptr<Font> font = font_ ? font_ : DefaultFont();
    if (font) {
        TextFormat fmt;
        canvas.DrawText(item.text, *font, ink,
                        Rect{rect.left + kTextLeft, rect.top, rect.right - kTextRight, rect.bottom},
                        fmt);
    }
}

}  // namespace pt
