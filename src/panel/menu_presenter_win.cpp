// Panel popup menus built from data and dressed; see menu_presenter.h.
#include "panel/menu_presenter.h"

#include <unordered_set>
#include <utility>

#include "window/skin_frame.h"
#include "toolkit/graphics.h"
#include "toolkit/window.h"
#include "window/menu_look.h"
#include "window/colors.h"

namespace pt {
namespace {

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
    owner.On(ElementEvent::kDestroy,
             [handle](Element&, const ElementEventArgs&, bool&) { g_wired.erase(handle); });
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
                 info->canvas->FillRect(info->rect, kMenuBackgroundColor);
                 handled = true;
             });
    owner.On(ElementEvent::kMenuDrawItem, [](Element&, const ElementEventArgs& a, bool& handled) {
        auto* info = reinterpret_cast<MenuDrawInfo*>(a.lParam);
        if (!info || !info->canvas)
            return;
        DrawMenuItem(*info);
        handled = true;
    });
}

}  // namespace

std::shared_ptr<Menu> BuildPanelMenu(const std::vector<ContentMenuEntry>& entries) {
    auto menu = Menu::Create();
    AddEntries(*menu, entries, kMenuRoot);
    menu->EnableDrawItem(true);
    menu->EnableDrawBackground(true);
    menu->SetBorderColor(kFaintColor);
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
    // A dismissed menu, or one replaced by another, answers with no choice:
    // nothing runs then.
    MenuAnswer answer = [chosen = std::move(chosen)](int id) {
        if (id != kMenuNoChoice && chosen)
            chosen(id);
    };
    if (!menu->Popup(window->Hwnd(), Point{screen.x, screen.y}, &owner, std::move(answer)))
        return false;
    return true;
}

}  // namespace pt
