// The category column, the tab pages and the item grids; see launcher_view.h.
#include "panel/launcher_view.h"

#include <gdiplus.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <iterator>
#include <utility>

#include "base/startup_trace.h"
#include "launcher/grid_entry.h"
#include "launcher/icon_resolver.h"
#include "launcher/icons.h"
#include "panel/icon_placeholder.h"
#include "panel/inline_editor.h"
#include "panel/menu_presenter.h"
#include "settings/settings_store.h"
#include "toolkit/dpi.h"
#include "toolkit/graphics.h"
#include "toolkit/tooltip.h"
#include "toolkit/window.h"
#include "window/colors.h"

namespace pt {
namespace {

// Radio groups are per window: the column takes this one, every tab page
// one of its own above it.
constexpr int kSidebarRadioGroup = 0x5100;
constexpr int kFirstTabRadioGroup = 0x5101;
constexpr char kGridTemplate[] = "layout\\item\\listview.main.xml";
constexpr Color kAccent = kAccentColor;
constexpr Color kMarker = kFaintColor;

// Verification of the items loaded on trust runs on the sidebar's timer:
// timer messages come only when the queue is otherwise empty, so input and
// painting always go first (a chain of posted messages would starve them).
// Each tick works for a few milliseconds, a batch of queries at a time.
constexpr UINT kVerifyTimer = 0x5200;
constexpr std::chrono::milliseconds kVerifySlice{4};
constexpr int kVerifyBatch = 16;
// Icons that arrived are shown in one pass over the cells per tick of this
// timer, however many came in since the last.
constexpr UINT kIconTimer = 0x5201;

StateLook EntryLook() {
    StateLook s;
    s.hover = Look::Fill(kEntryHoverColor);
    s.pressed = Look::Fill(kEntryPressedColor);
    Look checked = Look::Fill(kEntryCheckedColor);
    checked.borderSides = kBorderLeft;
    checked.borderColor = kAccent;
    checked.borderWidth = 3;
    s.checked = checked;
    return s;
}

StateLook TabLook() {
    StateLook s;
    s.hover = Look::Fill(kTabHoverColor);
    s.pressed = Look::Fill(kTabPressedColor);
    Look checked = Look::Border(kBorderBottom, kAccent, 2);
    s.checked = checked;
    return s;
}

TargetKindId KindOfType(std::string_view type) {
    if (type == "shell")
        return TargetKindId::kShell;
    if (type == "encrypt")
        return TargetKindId::kEncrypt;
    return TargetKindId::kUnknown;
}

// The model knows whether the target was there; asking the disk again per
// cell would cost the start what loading on trust saved.
GridTextColor CellTextColor(const ItemRecord& record, bool missing) {
    return GridEntryTextColorFor(record.path, KindOfType(record.type), !missing);
}

// The shell's generic icon, for a cell whose image bytes turn out not to
// decode (a damaged cache entry): the look of an icon that was not found.
// Extracted on first paint, so a start with sound images never pays for it.
class ShellFallbackIcon final : public Image {
  public:
    Size NaturalSize() const override {
        const Image* picture = Picture();
        return picture ? picture->NaturalSize() : Size{};
    }
    void Draw(Gdiplus::Graphics& g, const Rect& box) const override {
        if (const Image* picture = Picture())
            picture->Draw(g, box);
    }

  private:
    const Image* Picture() const {
        if (!tried_) {
            tried_ = true;
            const std::string png = FallbackIconPng(DisplayScale());
            picture_ = RasterImage::FromBytes(png.data(), png.size());
        }
        return picture_.get();
    }
    mutable bool tried_ = false;
    mutable std::shared_ptr<RasterImage> picture_;
};

template <typename T>
void SwapNeighbours(std::vector<T>& v, int from, int to) {
    if (from >= 0 && to >= 0 && from < static_cast<int>(v.size()) &&
        to < static_cast<int>(v.size()))
        std::swap(v[from], v[to]);
}

}  // namespace

LauncherView::LauncherView(LauncherViewServices services) : services_(std::move(services)) {
    actions_ = std::make_unique<ItemActions>(
        ItemActionServices{services_.data, services_.settings, services_.confirm,
                           services_.showError, services_.askKey, services_.hidePanel,
                           services_.showMenu, services_.shellCall});
}

LauncherView::~LauncherView() {
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

ListItem LauncherView::MakeCell(const ItemRecord& record, bool missing, std::string* iconSource,
                                int c, int g, bool extractAgain) {
    ListItem cell;
    cell.texts["name"] = record.name;
    if (services_.icons) {
        // A cached image shows at once; anything else is extracted on the
        // resolver's thread and shows a drawn stand-in until it arrives.
        IconStore& store = *services_.icons;
        *iconSource = GridIconSource(record.icon, record.path);
        store.AddRef(*iconSource);
        std::string_view cached = store.Get(*iconSource);
        if (!cached.empty())
            cell.images["icon"] = CellIcon(std::string(cached));
        else if (!iconSource->empty())
            cell.images["icon"] = IconPlaceholder(PlaceholderKindOfType(record.type), Dpi(40));
        if (resolver_ && !iconSource->empty() && (cached.empty() || extractAgain)) {
            const bool onScreen =
                c == services_.data->CurrentClass() && g == services_.data->CurrentGroupOf(c);
            resolver_->Request(store.KeyOf(*iconSource), *iconSource,
                               onScreen ? kIconPriorityVisible : kIconPriorityLater, extractAgain);
        }
    }
    switch (CellTextColor(record, missing)) {
        case GridTextColor::kMissing:
            cell.textColor = kMarker;
            break;
        case GridTextColor::kEnciphered:
            cell.textColor = kAccent;  // COLORREF 0xFF8800
            break;
        case GridTextColor::kNormal:
            break;
    }
    return cell;
}

void LauncherView::OnIconResolved(const IconResolved& done) {
    IconStore* store = services_.icons;
    // Cells that went meanwhile leave nothing behind in the cache.
    if (!store || store->RefCount(done.source) <= 0 || done.png.empty())
        return;
    store->Put(done.source, done.png);
    const bool first = arrived_.empty();
    arrived_[done.key] = CellIcon(done.png);
    if (first && !sidebar_->SetTimer(kIconTimer, 0))
        ShowArrivedIcons();
}

void LauncherView::ShowArrivedIcons() {
    sidebar_->KillTimer(kIconTimer);
    IconStore* store = services_.icons;
    if (!store || arrived_.empty())
        return;
    for (Page& page : pages_) {
        for (GridSlot& slot : page.lists) {
            for (size_t i = 0; i < slot.iconSources.size(); ++i) {
                const std::string& source = slot.iconSources[i];
                if (source.empty())
                    continue;
                auto found = arrived_.find(store->KeyOf(source));
                if (found != arrived_.end())
                    slot.list->SetItemImage(ListIndex{0, static_cast<int>(i)}, "icon",
                                            found->second);
            }
        }
    }
    arrived_.clear();
}

int LauncherView::IconsOutstanding() const {
    return (resolver_ ? resolver_->Outstanding() : 0) + static_cast<int>(arrived_.size());
}

std::shared_ptr<Image> LauncherView::CellIcon(std::string png) {
    const size_t hash = std::hash<std::string_view>{}(png);
    if (auto known = cellIcons_[hash].lock(); known && known->Bytes() == png)
        return known;
    if (!fallbackIcon_)
        fallbackIcon_ = std::make_shared<ShellFallbackIcon>();
    auto image =
        EncodedImage::FromBytes(std::make_shared<const std::string>(std::move(png)), fallbackIcon_);
    // A different image with the same hash keeps its cells; only new cells
    // share this one.
    cellIcons_[hash] = image;
    if (cellIcons_.size() >= cellIconsPruneAt_) {
        for (auto it = cellIcons_.begin(); it != cellIcons_.end();)
            it = it->second.expired() ? cellIcons_.erase(it) : std::next(it);
        cellIconsPruneAt_ = std::max<size_t>(256, cellIcons_.size() * 2);
    }
    return image;
}

std::string LauncherView::TooltipText(int c, int g, int i) const {
    const auto record = services_.data->Item(c, g, i);
    if (!record)
        return {};
    return GridEntryTooltip(record->name, record->path, record->param, record->remarks,
                            KindOfType(record->type));
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
        for (const std::string& source : page.lists[g].iconSources) {
            if (!source.empty())
                keys.push_back(services_.icons->KeyOf(source));
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

std::vector<ContentMenuEntry> LauncherView::ClassMenu(bool onEntry) const {
    const LauncherData& data = *services_.data;
    return SidebarMenu(onEntry, data.CurrentClass(), data.ClassCount());
}

std::vector<ContentMenuEntry> LauncherView::GroupMenu(bool onTab) const {
    const LauncherData& data = *services_.data;
    std::vector<std::string> names;
    for (int c = 0; c < data.ClassCount(); ++c)
        names.push_back(data.ClassName(c));
    const int current = data.CurrentClass();
    return TabMenu(onTab, names, current, data.GroupCount(current), data.CurrentGroup());
}

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

// ---- observer: categories -------------------------------------------------

void LauncherView::OnClassAdded(int c, std::string_view name) {
    (void)c;  // always appended
    auto* entry = sidebar_->Add<Button>(name);
    entry->SetName("class");
    entry->SetGroup(kSidebarRadioGroup);
    entry->SetLook(EntryLook());
    entry->SetWidth(SizeSpec::Fill());
    entry->SetHeight(SizeSpec::Fixed(Dpi(40)));
    entry->SetTextColor(kEntryTextColor);
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

void LauncherView::OnSelected(int c, int g) {
    (void)g;  // the store already holds it as the category's current group
    ShowClass(c);
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
    tab->SetLook(TabLook());
    tab->SetWidth(SizeSpec::Fixed(Dpi(96)));
    tab->SetHeight(SizeSpec::Fill());
    tab->SetTextColor(kEntryTextColor);
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
    page.lists.push_back(GridSlot{list, {}});
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
    // tab and grid anew on the target page and carry the cells over (their
    // icons stay counted once).
    OnGroupAdded(toClass, toGroup, tab->Text());
    GridSlot& from = pages_[fromClass].lists[g];
    GridSlot& to = pages_[toClass].lists.back();
    for (int i = 0; i < from.list->ItemCount(); ++i) {
        if (const ListItem* cell = from.list->Item(ListIndex{0, i}))
            to.list->AddItem(*cell);
    }
    to.iconSources = std::move(from.iconSources);
    from.iconSources.clear();
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
    if (ListView* list = Grid(c, g)) {
        list->ClearItems(0);
        pages_[c].lists[g].iconSources.clear();
    }
}

// ---- observer: items ------------------------------------------------------

void LauncherView::OnItemAdded(int c, int g, int i, const ItemRecord& record) {
    ListView* list = Grid(c, g);
    if (!list)
        return;
    std::string source;
    ListItem cell = MakeCell(record, services_.data->TargetMissing(c, g, i), &source, c, g);
    auto& sources = pages_[c].lists[g].iconSources;
    const int at = std::clamp(i, 0, static_cast<int>(sources.size()));
    list->InsertItem(ListIndex{0, at}, std::move(cell));
    sources.insert(sources.begin() + at, std::move(source));
}

void LauncherView::OnItemRemoved(int c, int g, int i) {
    ListView* list = Grid(c, g);
    if (!list || !list->RemoveItem(ListIndex{0, i}))
        return;
    auto& sources = pages_[c].lists[g].iconSources;
    if (i >= 0 && i < static_cast<int>(sources.size()))
        sources.erase(sources.begin() + i);
}

void LauncherView::OnItemMoved(int c, int g, int from, int to) {
    ListView* list = Grid(c, g);
    if (!list || !list->MoveItem(0, from, to))
        return;
    auto& sources = pages_[c].lists[g].iconSources;
    if (from < static_cast<int>(sources.size()) && to < static_cast<int>(sources.size())) {
        std::string moved = std::move(sources[from]);
        sources.erase(sources.begin() + from);
        sources.insert(sources.begin() + to, std::move(moved));
    }
}

void LauncherView::OnItemRefreshed(int c, int g, int i, const ItemRecord& record) {
    ListView* list = Grid(c, g);
    if (!list || !list->Item(ListIndex{0, i}))
        return;
    auto& sources = pages_[c].lists[g].iconSources;
    std::string source;
    const bool missing = services_.data->TargetMissing(c, g, i);
    // A refresh comes from verification or an edit: a target that is there
    // now (back from a removed drive, say) has its icon extracted again
    // rather than keep the generic one stored when it was gone.
    ListItem cell = MakeCell(record, missing, &source, c, g, !missing && IsLocalPath(record.path));
    // The new icon is counted before the old one is let go, so an
    // unchanged icon never leaves the cache in between.
    if (services_.icons && i < static_cast<int>(sources.size())) {
        if (!sources[i].empty())
            services_.icons->Release(sources[i]);
        sources[i] = std::move(source);
    }
    list->UpdateItem(ListIndex{0, i}, std::move(cell));
}

void LauncherView::OnTargetFound(int c, int g, int i) {
    if (!services_.icons || !resolver_ || !Grid(c, g))
        return;
    const auto& sources = pages_[c].lists[g].iconSources;
    if (i < 0 || i >= static_cast<int>(sources.size()) || sources[i].empty())
        return;
    // The generic icon stored when the target was gone: look for the real
    // one again. (The resolver made the generic icon before any of this.)
    const std::string& source = sources[i];
    const std::string_view cached = services_.icons->Get(source);
    if (!cached.empty() && cached == FallbackIconPng(DisplayScale()))
        resolver_->Request(services_.icons->KeyOf(source), source, kIconPriorityLater, true);
}

void LauncherView::OnIconReleased(int c, int g, int i) {
    if (!services_.icons || !Grid(c, g))
        return;
    auto& sources = pages_[c].lists[g].iconSources;
    if (i >= 0 && i < static_cast<int>(sources.size()) && !sources[i].empty()) {
        services_.icons->Release(sources[i]);
        sources[i].clear();
    }
}

// ---- grids: tooltip text and drag reordering ---------------------------

void LauncherView::WireGrid(ListView* list) {
    const auto onItem = [this](ElementEvent event) {
        return [this, event](Element& e, const ElementEventArgs& a, bool&) {
            auto* self = static_cast<ListView*>(&e);
            int c = -1, g = -1;
            const ListIndex index = ListView::EventIndex(a);
            if (drag_.active || !index.Valid() || !FindGrid(self, &c, &g))
                return;
            if (event == kListItemRButtonUp)
                actions_->RightRelease(*self, c, g, index.item);
            else
                actions_->Activate(c, g, index.item, event == kListItemDoubleClick);
        };
    };
    for (ElementEvent event : {kListItemClick, kListItemDoubleClick, kListItemRButtonUp})
        list->On(event, onItem(event));
    list->On(kListHoverRest, [this](Element& e, const ElementEventArgs& a, bool&) {
        int c = -1, g = -1;
        const ListIndex index = ListView::EventIndex(a);
        auto* self = static_cast<ListView*>(&e);
        if (drag_.active || !FindGrid(self, &c, &g) || !index.Valid())
            return;
        shownTooltip_ = TooltipText(c, g, index.item);
        const Rect cell = self->ItemScreenRect(index);
        if (!cell.IsEmpty())
            ShowTooltip(shownTooltip_, cell, self);
    });
    list->On(kListHoverEnd, [this](Element&, const ElementEventArgs&, bool&) {
        shownTooltip_.clear();
        HideTooltip();
    });
    list->On(kListDragStart, [this](Element& e, const ElementEventArgs& a, bool&) {
        auto* self = static_cast<ListView*>(&e);
        int c = -1, g = -1;
        const ListIndex index = ListView::EventIndex(a);
        if (!index.Valid() || !FindGrid(self, &c, &g))
            return;
        shownTooltip_.clear();
        HideTooltip();
        drag_ = Drag{true, c, g, index.item, self, a.point};
        self->Redraw();
    });
    list->On(ElementEvent::kMouseMove, [this](Element& e, const ElementEventArgs& a, bool&) {
        if (drag_.active && drag_.list == &e) {
            drag_.mouse = a.point;
            e.Redraw();
        }
    });
    list->On(ElementEvent::kLButtonUp, [this](Element& e, const ElementEventArgs& a, bool& h) {
        if (!drag_.active || drag_.list != &e)
            return;
        h = true;
        Drop(a.point);
        e.Redraw();
    });
    list->On(ElementEvent::kPaint, [this](Element& e, const ElementEventArgs& a, bool&) {
        if (a.canvas)
            PaintMarker(static_cast<ListView&>(e), *a.canvas);
    });
}

LauncherView::DropTarget LauncherView::TargetAt(ListView& list, Point point) const {
    DropTarget t;
    const int count = list.ItemCount(0);
    if (count == 0)
        return t;
    ListIndex hit = list.HitTest(point);
    // A gap between cells counts as the cell on its right.
    if (!hit.Valid())
        hit = list.HitTest(Point{point.x + Dpi(5), point.y});
    const Rect box = list.WindowRect();
    const Point windowPoint{box.left + point.x, box.top + point.y};
    if (hit.Valid()) {
        t.index = hit.item;
    } else {
        Window* w = list.OwnerWindow();
        if (!w || w->ElementAt(windowPoint) != &list)
            return t;
        const Rect last = list.ItemRect(ListIndex{0, count - 1});
        if ((point.x > last.right && point.y > last.top) || point.y > last.bottom) {
            t.index = count - 1;
            t.after = true;
        } else {
            return t;
        }
    }
    t.cell = list.ItemWindowRect(ListIndex{0, t.index});
    if (!t.after) {
        const float centre = static_cast<float>(t.cell.left) + t.cell.Width() / 2.0f;
        t.after = static_cast<float>(windowPoint.x) - centre > 1e-7f;
    }
    return t;
}

void LauncherView::PaintMarker(ListView& list, Canvas& canvas) {
    if (!drag_.active || drag_.list != &list)
        return;
    const DropTarget t = TargetAt(list, drag_.mouse);
    if (t.index < 0)
        return;
    if (services_.settings->GetDragFlag()) {
        if (t.index == drag_.i)
            return;
        canvas.DrawDashedRect(t.cell, kMarker);
        return;
    }
    const float gap = DpiF(5.0f);
    const float stripLeft =
        t.after ? static_cast<float>(t.cell.right) : static_cast<float>(t.cell.left) - gap;
    const float centre = stripLeft + gap / 2.0f;
    const float top = static_cast<float>(t.cell.top);
    const float bottom = static_cast<float>(t.cell.bottom);
    const float stemLeft = centre - 1.5f;
    const float stemRight = centre + 1.5f;
    canvas.FillRectF(stemLeft, top, stemRight - stemLeft, bottom - top, kMarker);
    canvas.FillRectF(stemLeft - 2.0f, top, stemRight - stemLeft + 4.0f, 3.0f, kMarker);
    canvas.FillRectF(stemLeft - 2.0f, bottom - 3.0f, stemRight - stemLeft + 4.0f, 3.0f, kMarker);
}

void LauncherView::Drop(Point point) {
    const Drag drag = drag_;
    drag_ = Drag{};
    if (!drag.list || !drag.list->ClientRect().Contains(point))
        return;  // dropped outside the grid: nothing happens
    const DropTarget t = TargetAt(*drag.list, point);
    if (t.index < 0)
        return;
    int to = t.index;
    if (!services_.settings->GetDragFlag()) {
        // The I-beam stands before or after the target; taking the item out
        // first shifts every later place down by one.
        const int insertAt = t.after ? t.index + 1 : t.index;
        to = insertAt > drag.i ? insertAt - 1 : insertAt;
    }
    if (to != drag.i)
        services_.data->MoveItem(drag.c, drag.g, drag.i, to);
}

}  // namespace pt
