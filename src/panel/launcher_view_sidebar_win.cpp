// The category column: its menu and commands, and its check buttons
// following the categories of the store (added, removed, moved, renamed).
#include "panel/launcher_view.h"

#include <algorithm>
#include <utility>

#include "panel/inline_editor.h"
#include "panel/launcher_view_detail.h"
#include "settings/settings_store.h"
#include "toolkit/dpi.h"
#include "window/colors.h"

namespace pt {

using launcher_view_detail::EntryLook;
using launcher_view_detail::kFirstTabRadioGroup;
using launcher_view_detail::kSidebarRadioGroup;
using launcher_view_detail::SwapNeighbours;

std::vector<ContentMenuEntry> LauncherView::ClassMenu(bool onEntry) const {
    const LauncherData& data = *services_.data;
    return SidebarMenu(onEntry, data.CurrentClass(), data.ClassCount());
}

void LauncherView::RunClassCommand(int id) {
    LauncherData& data = *services_.data;
    switch (id) {
        case kCmdNew:
            data.NewClass();
            break;
        case kCmdUp:
        case kCmdDown:
            data.MoveClass(id == kCmdUp);
            break;
        case kCmdRename: {
            Button* entry = ClassEntry(data.CurrentClass());
            if (!entry || RenameEditor())
                return;
            OpenRenameEditor(*entry, [this, entry](const std::string& name) {
                const int c = ClassIndexOf(entry);
                if (c >= 0)
                    services_.data->RenameClass(c, name);
            });
            return;
        }
        case kCmdDelete:
            if (data.ClassCount() < 2)
                return;
            if (services_.confirm && !services_.confirm(kConfirmDeleteClass))
                return;
            data.DeleteClass();
            break;
        default:
            return;
    }
    Remember();
}

// ---- observer: categories -------------------------------------------------

void LauncherView::OnClassAdded(int c, std::string_view name) {
    (void)c;  // always appended
    auto* entry = sidebar_->Add<Button>(name);
    entry->SetName("class");
    entry->SetGroup(kSidebarRadioGroup);
    entry->SetLook(EntryLook(dark_));
    entry->SetWidth(SizeSpec::Fill());
    entry->SetHeight(SizeSpec::Fixed(Dpi(40)));
    entry->SetTextColor(dark_ ? kDarkSkinTextColor : kEntryTextColor);
    entry->On(ElementEvent::kCheckChanged, [this](Element& e, const ElementEventArgs& a, bool&) {
        const int index = ClassIndexOf(&e);
        if (!a.checked || index < 0 || index == services_.data->CurrentClass())
            return;
        services_.data->SelectClass(index);
        ShowClass(index);
        Remember();
    });
    entry->On(ElementEvent::kMouseEnter, [this](Element& e, const ElementEventArgs&, bool&) {
        auto& b = static_cast<Button&>(e);
        if (!b.IsChecked() && services_.settings->GetMouseHoveCheck() && !RenameEditor())
            b.Click();
    });
    entry->On(ElementEvent::kRButtonUp, [this](Element& e, const ElementEventArgs& a, bool& h) {
        // The menu's commands act on the current category: make the one
        // under the mouse current first, so "删除" never hits another one.
        auto& b = static_cast<Button&>(e);
        if (!b.IsChecked())
            b.Click();
        OpenMenu(ClassMenu(true), e, a.point, true);
        h = true;
    });
    entries_.push_back(entry);

    Page page;
    page.radioGroup = kFirstTabRadioGroup + nextRadioGroup_++;
    page.page = pagesHost_->Add<Element>();
    page.page->SetName("page");
    page.page->SetWidth(SizeSpec::Fill());
    page.page->SetHeight(SizeSpec::Fill());
    page.page->SetVisible(false);
    page.tabRow = page.page->Add<Element>();
    page.tabRow->SetName("tabs");
    page.tabRow->SetHorizontal(true);
    page.tabRow->SetLookName("border.bottom");
    page.tabRow->SetWidth(SizeSpec::Fill());
    page.tabRow->SetHeight(SizeSpec::Fixed(Dpi(36)));
    page.tabRow->SetPadding(Dpi(8), 0, Dpi(8), 0);
    page.tabRow->On(ElementEvent::kRButtonUp, [this](Element& e, const ElementEventArgs& a, bool&) {
        OpenMenu(GroupMenu(false), e, a.point, false);
    });
    page.grids = page.page->Add<Element>();
    page.grids->SetName("grids");
    page.grids->SetWidth(SizeSpec::Fill());
    page.grids->SetHeight(SizeSpec::Weight(1));
    pages_.push_back(std::move(page));
    if (loaded_)
        Relayout();
}

void LauncherView::OnClassRemoved(int c) {
    if (c < 0 || c >= static_cast<int>(entries_.size()))
        return;
    if (drag_.active && drag_.c == c)
        drag_ = Drag{};
    entries_[c]->Destroy();
    pages_[c].page->Destroy();
    entries_.erase(entries_.begin() + c);
    pages_.erase(pages_.begin() + c);
    if (loaded_)
        Relayout();
}

void LauncherView::OnClassMoved(int from, int to) {
    SwapNeighbours(entries_, from, to);
    SwapNeighbours(pages_, from, to);
    const int low = std::min(from, to);
    sidebar_->MoveChild(entries_[low], static_cast<size_t>(low));
    Relayout();
}

void LauncherView::OnClassRenamed(int c, std::string_view name) {
    if (Button* entry = ClassEntry(c)) {
        entry->SetText(name);
        entry->Redraw();
    }
}

}  // namespace pt
