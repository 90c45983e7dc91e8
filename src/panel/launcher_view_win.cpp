// The category column, the tab pages and the item grids; see launcher_view.h.
// This file builds them, follows the skin, finds the elements of a category
// or group, keeps the selection and opens the menus; the column, the tabs,
// the grids' cells and icons, and the drag have files of their own
// (launcher_view_sidebar_win.cpp, _tabs_win.cpp, _grid_win.cpp, _drag_win.cpp).
#include "panel/launcher_view.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "base/startup_trace.h"
#include "launcher/icon_resolver.h"
#include "launcher/icon_store.h"
#include "panel/launcher_view_detail.h"
#include "panel/menu_presenter.h"
#include "settings/settings_store.h"
#include "toolkit/dpi.h"
#include "toolkit/window.h"
#include "window/colors.h"

namespace pt {
namespace {

constexpr Color kAccent = kAccentColor;

// Verification of the items loaded on trust runs on the sidebar's timer:
// timer messages come only when the queue is otherwise empty, so input and
// painting always go first (a chain of posted messages would starve them).
// Each tick works for a few milliseconds, a batch of queries at a time.
constexpr UINT kVerifyTimer = 0x5200;
constexpr std::chrono::milliseconds kVerifySlice{4};
constexpr int kVerifyBatch = 16;

}  // namespace

namespace launcher_view_detail {

StateLook EntryLook(bool dark) {
    StateLook s;
    s.hover = Look::Fill(dark ? kDarkSkinHoverColor : kEntryHoverColor);
    s.pressed = Look::Fill(dark ? kDarkSkinPressedColor : kEntryPressedColor);
    Look checked = Look::Fill(dark ? kDarkSkinCheckedColor : kEntryCheckedColor);
    checked.borderSides = kBorderLeft;
    checked.borderColor = kAccent;
    checked.borderWidth = 3;
    s.checked = checked;
    return s;
}

StateLook TabLook(bool dark) {
    StateLook s;
    s.hover = Look::Fill(dark ? kDarkSkinHoverColor : kTabHoverColor);
    s.pressed = Look::Fill(dark ? kDarkSkinPressedColor : kTabPressedColor);
    Look checked = Look::Border(kBorderBottom, kAccent, 2);
    s.checked = checked;
    return s;
}

}  // namespace launcher_view_detail

using launcher_view_detail::EntryLook;
using launcher_view_detail::kIconTimer;
using launcher_view_detail::TabLook;

LauncherView::LauncherView(LauncherViewServices services) : services_(std::move(services)) {
    actions_ = std::make_unique<ItemActions>(ItemActionServices{
        services_.data, services_.settings, services_.confirm, services_.showError,
        services_.showNotice, services_.askKey, services_.hidePanel, services_.showMenu,
        services_.shellCall, services_.icons, services_.pickers});
    storedIcons_ = std::make_shared<StoredIcons>(services_.icons, FallbackIcon());
}

LauncherView::~LauncherView() {
    storedIcons_->Detach();
    if (services_.data)
        services_.data->SetObserver(nullptr);
    resolver_.reset();  // no icon arrives for cells that are going
}

// ---- building --------------------------------------------------------------

void LauncherView::Build(Element& area) {
    MarkStartupStage("panel frame");
    area.SetHorizontal(true);
    sidebar_ = area.Add<Element>();
    sidebar_->SetName("sidebar");
    sidebar_->SetLookName("border.right");
    sidebar_->SetWidth(SizeSpec::Fixed(Dpi(120)));
    sidebar_->SetHeight(SizeSpec::Fill());
    sidebar_->SetPadding(0, Dpi(6), 1, Dpi(6));
    sidebar_->On(ElementEvent::kRButtonUp, [this](Element& e, const ElementEventArgs& a, bool&) {
        OpenMenu(ClassMenu(false), e, a.point, true);
    });
    pagesHost_ = area.Add<Element>();
    pagesHost_->SetName("pages");
    pagesHost_->SetWidth(SizeSpec::Weight(1));
    pagesHost_->SetHeight(SizeSpec::Fill());

    if (services_.icons) {
        resolver_ = std::make_unique<IconResolver>(
            DisplayScale(), [this](const IconResolved& done) { OnIconResolved(done); });
    }
    // The data counts its items' icons in the store; the cells only show them.
    services_.data->SetIconStore(services_.icons);
    services_.data->SetObserver(this);
    services_.data->Load();
    loaded_ = true;
    // Every page shows its own current tab, not only the visible one.
    for (int c = 0; c < static_cast<int>(pages_.size()); ++c)
        ShowGroup(c, services_.data->CurrentGroupOf(c));
    ShowClass(services_.data->CurrentClass());
    MarkStartupStage("launcher data and grids");

    sidebar_->On(ElementEvent::kTimer, [this](Element&, const ElementEventArgs& a, bool& h) {
        if (a.wParam == kIconTimer) {
            h = true;
            ShowArrivedIcons();
            return;
        }
        if (a.wParam != kVerifyTimer)
            return;
        h = true;
        VerifySlice();
    });
    // The first tick comes once the loop runs, after the panel shows. Without
    // a timer the grid must not stay unverified: verify everything now.
    if (services_.data->UnverifiedCount() > 0 && !sidebar_->SetTimer(kVerifyTimer, 0)) {
        while (services_.data->VerifySome(kVerifyBatch)) {
        }
    }
}

void LauncherView::VerifySlice() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + kVerifySlice;
    bool more = true;
    while (more && Clock::now() < end)
        more = services_.data->VerifySome(kVerifyBatch);
    if (!more)
        sidebar_->KillTimer(kVerifyTimer);
}

void LauncherView::SelectRemembered(int iClass, int iGroup) {
    LauncherData& data = *services_.data;
    if (!data.SelectClass(iClass))
        return;
    data.SelectGroup(iGroup);  // an index past the groups keeps the category's own
    ShowClass(data.CurrentClass());
}

void LauncherView::FlushPendingSave() {
    services_.data->FlushPendingSave();
}

void LauncherView::FollowSkin(bool dark) {
    // Everything is made in the light colours and kept in step from then
    // on: only a change has work to do.
    if (dark == dark_)
        return;
    dark_ = dark;
    const auto line = [dark](Element* e, unsigned side, const char* lookName) {
        if (!e)
            return;
        if (dark)
            e->SetLook(StateLook::Plain(Look::Border(side, kDarkSkinLineColor)));
        else
            e->SetLookName(lookName);
    };
    line(sidebar_, kBorderRight, "border.right");
    if (sidebar_) {
        for (size_t i = 0; i < sidebar_->ChildCount(); ++i) {
            if (auto* entry = dynamic_cast<Button*>(sidebar_->Child(i))) {
                entry->SetLook(EntryLook(dark));
                entry->SetTextColor(dark ? kDarkSkinTextColor : kEntryTextColor);
            }
        }
    }
    for (int c = 0; c < static_cast<int>(pages_.size()); ++c) {
        Page& page = pages_[c];
        line(page.tabRow, kBorderBottom, "border.bottom");
        for (Button* tab : page.tabs) {
            tab->SetLook(TabLook(dark));
            tab->SetTextColor(dark ? kDarkSkinTextColor : kEntryTextColor);
        }
        for (int g = 0; g < static_cast<int>(page.lists.size()); ++g) {
            ListView* list = page.lists[g].list;
            for (int i = 0; list && i < list->ItemCount(); ++i) {
                if (std::optional<ItemRecord> record = services_.data->Item(c, g, i))
                    list->SetItemTextColor(
                        ListIndex{0, i},
                        CellColor(*record, services_.data->TargetMissing(c, g, i)));
            }
        }
    }
}

// ---- lookups ----------------------------------------------------------------

Button* LauncherView::ClassEntry(int c) const {
    return c >= 0 && c < static_cast<int>(entries_.size()) ? entries_[c] : nullptr;
}

Button* LauncherView::Tab(int c, int g) const {
    if (c < 0 || c >= static_cast<int>(pages_.size()))
        return nullptr;
    const auto& tabs = pages_[c].tabs;
    return g >= 0 && g < static_cast<int>(tabs.size()) ? tabs[g] : nullptr;
}

ListView* LauncherView::Grid(int c, int g) const {
    if (c < 0 || c >= static_cast<int>(pages_.size()))
        return nullptr;
    const auto& lists = pages_[c].lists;
    return g >= 0 && g < static_cast<int>(lists.size()) ? lists[g].list : nullptr;
}

Edit* LauncherView::RenameEditor() const {
    if (!sidebar_ || !sidebar_->OwnerWindow())
        return nullptr;
    return static_cast<Edit*>(sidebar_->OwnerWindow()->Root().FindByName("rename"));
}

int LauncherView::ClassIndexOf(const Element* entry) const {
    auto it = std::find(entries_.begin(), entries_.end(), entry);
    return it == entries_.end() ? -1 : static_cast<int>(it - entries_.begin());
}

bool LauncherView::FindTab(const Element* tab, int* c, int* g) const {
    for (size_t pc = 0; pc < pages_.size(); ++pc) {
        const auto& tabs = pages_[pc].tabs;
        auto it = std::find(tabs.begin(), tabs.end(), tab);
        if (it != tabs.end()) {
            *c = static_cast<int>(pc);
            *g = static_cast<int>(it - tabs.begin());
            return true;
        }
    }
    return false;
}

bool LauncherView::FindGrid(const ListView* list, int* c, int* g) const {
    for (size_t pc = 0; pc < pages_.size(); ++pc) {
        const auto& lists = pages_[pc].lists;
        for (size_t pg = 0; pg < lists.size(); ++pg) {
            if (lists[pg].list == list) {
                *c = static_cast<int>(pc);
                *g = static_cast<int>(pg);
                return true;
            }
        }
    }
    return false;
}

// ---- selection ----------------------------------------------------------------

void LauncherView::ShowClass(int c) {
    if (c < 0 || c >= static_cast<int>(pages_.size()))
        return;
    entries_[c]->SetChecked(true);
    for (size_t pc = 0; pc < pages_.size(); ++pc)
        pages_[pc].page->SetVisible(static_cast<int>(pc) == c);
    ShowGroup(c, services_.data->CurrentGroupOf(c));
}

void LauncherView::ShowGroup(int c, int g) {
    if (c < 0 || c >= static_cast<int>(pages_.size()))
        return;
    Page& page = pages_[c];
    if (g >= 0 && g < static_cast<int>(page.tabs.size()))
        page.tabs[g]->SetChecked(true);
    for (size_t pg = 0; pg < page.lists.size(); ++pg)
        page.lists[pg].list->SetVisible(static_cast<int>(pg) == g);
    if (resolver_ && services_.icons && g >= 0 && g < static_cast<int>(page.lists.size())) {
        // The group on screen is extracted first.
        std::vector<uint32_t> keys;
        for (int i = 0; i < services_.data->ItemCount(c, g); ++i) {
            if (!services_.data->ItemIconSource(c, g, i).empty())
                keys.push_back(services_.data->ItemIconKey(c, g, i));
        }
        resolver_->Promote(keys);
    }
    if (loaded_)
        Relayout();
}

void LauncherView::Relayout() {
    // Hidden elements keep stale rectangles: after pages, grids or tabs come
    // and go, place everything again so hit tests meet what is drawn.
    if (sidebar_ && sidebar_->OwnerWindow()) {
        sidebar_->OwnerWindow()->AdjustLayout();
        sidebar_->OwnerWindow()->Redraw(false);
    }
}

void LauncherView::Remember() {
    SettingsStore& settings = *services_.settings;
    if (settings.GetIndexRemember())
        settings.SetIndexLast(services_.data->CurrentClass(), services_.data->CurrentGroup());
}

// ---- menus and commands -----------------------------------------------------

void LauncherView::OpenMenu(std::vector<ContentMenuEntry> menu, Element& at, Point elementPoint,
                            bool classMenu) {
    if (!at.OwnerWindow())
        return;
    POINT p{at.WindowRect().left + elementPoint.x, at.WindowRect().top + elementPoint.y};
    ::ClientToScreen(at.OwnerWindow()->Hwnd(), &p);
    auto chosen = [this, classMenu](int id) {
        if (classMenu)
            RunClassCommand(id);
        else
            RunGroupCommand(id);
    };
    if (services_.showMenu) {
        services_.showMenu(menu, p, std::move(chosen));
        return;
    }
    // The column owns the answer, not the entry or tab clicked: a delete
    // would otherwise destroy the element whose event is running it.
    if (sidebar_)
        ShowPanelMenu(*sidebar_, menu, p, std::move(chosen));
}

void LauncherView::OnSelected(int c, int g) {
    (void)g;  // the store already holds it as the category's current group
    ShowClass(c);
}

}  // namespace pt
