// The group tabs of a category's page: their menu and commands, and the tabs
// with their item grids following the groups of the store.
#include "panel/launcher_view.h"

#include <algorithm>
#include <utility>

#include "panel/inline_editor.h"
#include "panel/launcher_view_detail.h"
#include "settings/settings_store.h"
#include "toolkit/dpi.h"
#include "window/colors.h"

namespace pt {

using launcher_view_detail::kFirstTabRadioGroup;
using launcher_view_detail::SwapNeighbours;
using launcher_view_detail::TabLook;

namespace {

constexpr char kGridTemplate[] = "layout\\item\\listview.main.xml";

}  // namespace

std::vector<ContentMenuEntry> LauncherView::GroupMenu(bool onTab) const {
    const LauncherData& data = *services_.data;
    std::vector<std::string> names;
    for (int c = 0; c < data.ClassCount(); ++c)
        names.push_back(data.ClassName(c));
    const int current = data.CurrentClass();
    return TabMenu(onTab, names, current, data.GroupCount(current), data.CurrentGroup());
}

void LauncherView::RunGroupCommand(int id) {
    LauncherData& data = *services_.data;
    const int c = data.CurrentClass();
    if (const int target = MoveToClassIndex(id); target >= 0) {
        if (data.MoveGroupToClass(target))
            Remember();
        return;
    }
    switch (id) {
        case kCmdNew:
            data.NewGroup();
            break;
        case kCmdClear:
            if (services_.confirm && !services_.confirm(kConfirmClearGroup))
                return;
            data.ClearGroup();
            break;
        case kCmdMoveLeft:
        case kCmdMoveRight:
            data.MoveGroup(id == kCmdMoveLeft);
            break;
        case kCmdRename: {
            Button* tab = Tab(c, data.CurrentGroup());
            if (!tab || RenameEditor())
                return;
            OpenRenameEditor(*tab, [this, tab](const std::string& name) {
                int tc = -1, tg = -1;
                if (FindTab(tab, &tc, &tg))
                    services_.data->RenameGroup(tc, tg, name);
            });
            return;
        }
        case kCmdDelete:
            if (data.GroupCount(c) < 2)
                return;
            if (services_.confirm && !services_.confirm(kConfirmDeleteGroup))
                return;
            data.DeleteGroup();
            break;
        default:
            return;
    }
    Remember();
}

// ---- observer: groups -----------------------------------------------------

void LauncherView::OnGroupAdded(int c, int g, std::string_view name) {
    (void)g;  // always appended
    if (c < 0 || c >= static_cast<int>(pages_.size()))
        return;
    Page& page = pages_[c];
    auto* tab = page.tabRow->Add<Button>(name);
    tab->SetName("tab");
    tab->SetGroup(page.radioGroup);
    tab->SetLook(TabLook(dark_));
    tab->SetWidth(SizeSpec::Fixed(Dpi(96)));
    tab->SetHeight(SizeSpec::Fill());
    tab->SetTextColor(dark_ ? kDarkSkinTextColor : kEntryTextColor);
    tab->On(ElementEvent::kCheckChanged, [this](Element& e, const ElementEventArgs& a, bool&) {
        int tc = -1, tg = -1;
        if (!a.checked || !FindTab(&e, &tc, &tg))
            return;
        if (tc != services_.data->CurrentClass() || tg == services_.data->CurrentGroup())
            return;
        services_.data->SelectGroup(tg);
        ShowGroup(tc, tg);
        Remember();
    });
    tab->On(ElementEvent::kMouseEnter, [this](Element& e, const ElementEventArgs&, bool&) {
        auto& b = static_cast<Button&>(e);
        if (!b.IsChecked() && services_.settings->GetMouseHoveCheck() && !RenameEditor())
            b.Click();
    });
    tab->On(ElementEvent::kRButtonUp, [this](Element& e, const ElementEventArgs& a, bool& h) {
        auto& b = static_cast<Button&>(e);
        if (!b.IsChecked())
            b.Click();
        OpenMenu(GroupMenu(true), e, a.point, false);
        h = true;
    });
    page.tabs.push_back(tab);

    auto* list = page.grids->Add<ListView>();
    list->SetName("grid");
    list->LoadTemplate(kGridTemplate);
    list->SetWidth(SizeSpec::Fill());
    list->SetHeight(SizeSpec::Fill());
    list->SetVisible(false);
    WireGrid(list);
    page.lists.push_back(GridSlot{list});
    if (loaded_)
        ShowGroup(c, services_.data->CurrentGroupOf(c));
}

void LauncherView::OnGroupRemoved(int c, int g) {
    Button* tab = Tab(c, g);
    if (!tab)
        return;
    if (drag_.active && drag_.c == c && drag_.g == g)
        drag_ = Drag{};
    Page& page = pages_[c];
    tab->Destroy();
    page.lists[g].list->Destroy();
    page.tabs.erase(page.tabs.begin() + g);
    page.lists.erase(page.lists.begin() + g);
    if (loaded_)
        ShowGroup(c, services_.data->CurrentGroupOf(c));
}

void LauncherView::OnGroupMoved(int c, int from, int to) {
    if (c < 0 || c >= static_cast<int>(pages_.size()))
        return;
    Page& page = pages_[c];
    SwapNeighbours(page.tabs, from, to);
    SwapNeighbours(page.lists, from, to);
    const int low = std::min(from, to);
    if (low >= 0 && low < static_cast<int>(page.tabs.size()))
        page.tabRow->MoveChild(page.tabs[low], static_cast<size_t>(low));
    Relayout();
}

void LauncherView::OnGroupMovedToClass(int fromClass, int g, int toClass, int toGroup) {
    Button* tab = Tab(fromClass, g);
    if (!tab || toClass < 0 || toClass >= static_cast<int>(pages_.size()))
        return;
    // The tree has no way to hand an element to another parent: build the
    // tab and grid anew on the target page and carry the cells over.
    OnGroupAdded(toClass, toGroup, tab->Text());
    GridSlot& from = pages_[fromClass].lists[g];
    GridSlot& to = pages_[toClass].lists.back();
    for (int i = 0; i < from.list->ItemCount(); ++i) {
        if (const ListItem* cell = from.list->Item(ListIndex{0, i}))
            to.list->AddItem(*cell);
    }
    OnGroupRemoved(fromClass, g);
    ShowGroup(fromClass, services_.data->CurrentGroupOf(fromClass));
    ShowGroup(toClass, services_.data->CurrentGroupOf(toClass));
}

void LauncherView::OnGroupRenamed(int c, int g, std::string_view name) {
    if (Button* tab = Tab(c, g)) {
        tab->SetText(name);
        tab->Redraw();
    }
}

void LauncherView::OnGroupCleared(int c, int g) {
    if (ListView* list = Grid(c, g))
        list->ClearItems(0);
}

}  // namespace pt
