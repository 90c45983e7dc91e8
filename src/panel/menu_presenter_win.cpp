// Panel popup menus built from data and dressed; see menu_presenter.h.
#include "panel/menu_presenter.h"

#include <unordered_set>
#include <utility>

#include "panel/skin_frame.h"
#include "toolkit/graphics.h"
#include "toolkit/window.h"
#include "window/menu_look.h"

namespace pt {
namespace {

// The one menu waiting for its answer. Only one menu is open at a time
// (opening one closes the other), so one slot suffices; the owner handle
// keeps an answer from reaching an element that did not open the menu.
struct Pending {
    std::shared_ptr<Menu> menu;
    ElementHandle owner = 0;
    std::function<void(int)> chosen;
};
Pending g_pending;
// Owners whose handlers are in place: each gets them once, not per menu.
std::unordered_set<ElementHandle> g_wired;

void AddEntries(Menu& menu, const std::vector<ContentMenuEntry>& entries, int parent) {
    for (const ContentMenuEntry& e : entries) {
        if (e.IsSeparator()) {
            menu.AddSeparator(parent);
            continue;
        }
        menu.AddItem(e.id, e.text, parent, e.enabled ? 0u : kMenuItemDisabled);
        if (!e.children.empty())
            AddEntries(menu, e.children, e.id);
    }
}

void Wire(Element& owner) {
    if (!g_wired.insert(owner.Handle()).second)
        return;
    const ElementHandle handle = owner.Handle();
    owner.On(ElementEvent::kDestroy, [handle](Element&, const ElementEventArgs&, bool&) {
        g_wired.erase(handle);
        // Its answer can no longer arrive; drop the callback and what it holds.
        if (g_pending.owner == handle)
            g_pending = Pending{};
    });
    owner.On(ElementEvent::kMenuPopupWindow, [](Element&, const ElementEventArgs& a, bool&) {
        auto* info = reinterpret_cast<MenuDrawInfo*>(a.lParam);
        if (!info || !info->window)
            return;
        DressMenuWindow(*info->window, CurrentSkin().borderRadius);
    });
    owner.On(ElementEvent::kMenuDrawBackground,
             [](Element&, const ElementEventArgs& a, bool& handled) {
                 auto* info = reinterpret_cast<MenuDrawInfo*>(a.lParam);
                 if (!info || !info->canvas)
                     return;
                 info->canvas->FillRect(info->rect, MakeColor(255, 255, 255));
                 handled = true;
             });
    owner.On(ElementEvent::kMenuDrawItem, [](Element&, const ElementEventArgs& a, bool& handled) {
        auto* info = reinterpret_cast<MenuDrawInfo*>(a.lParam);
        if (!info || !info->canvas)
            return;
        DrawMenuItem(*info);
        handled = true;
    });
    owner.On(ElementEvent::kMenuSelect, [handle](Element&, const ElementEventArgs& a, bool&) {
        // A choice is posted after its menu closed; a menu open now is a
        // newer one whose answer is still to come.
        if (g_pending.owner != handle || !g_pending.menu || g_pending.menu->IsOpen())
            return;
        std::function<void(int)> chosen = std::move(g_pending.chosen);
        g_pending = Pending{};
        if (chosen)
            chosen(static_cast<int>(a.wParam));
    });
    owner.On(ElementEvent::kMenuExit, [handle](Element&, const ElementEventArgs&, bool&) {
        if (g_pending.owner == handle && g_pending.menu && !g_pending.menu->IsOpen())
            g_pending = Pending{};
    });
}

}  // namespace

std::shared_ptr<Menu> BuildPanelMenu(const std::vector<ContentMenuEntry>& entries) {
    auto menu = Menu::Create();
    AddEntries(*menu, entries, kMenuRoot);
    menu->EnableDrawItem(true);
    menu->EnableDrawBackground(true);
    menu->SetBorderColor(MakeColor(192, 192, 192));
    menu->SetItemHeight(28);
    menu->SetBorderSize(5, 10, 5, 10);
    return menu;
}

bool ShowPanelMenu(Element& owner, const std::vector<ContentMenuEntry>& entries, POINT screen,
                   std::function<void(int id)> chosen) {
    Window* window = owner.OwnerWindow();
    if (!window || entries.empty())
        return false;
    Wire(owner);
    auto menu = BuildPanelMenu(entries);
    // Set before Popup: opening closes any other menu, whose exit must not
    // take this one's slot (it finds this menu open and leaves it).
    g_pending = Pending{menu, owner.Handle(), std::move(chosen)};
    if (!menu->Popup(window->Hwnd(), Point{screen.x, screen.y}, &owner)) {
        g_pending = Pending{};
        return false;
    }
    return true;
}

}  // namespace pt
