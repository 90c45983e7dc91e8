// The item grids' cells: a cell made from an item record, its text colour,
// its icon (from the icon cache, resolved in the background, shown in
// batches), its tooltip, and the grids following the items of the store.
#include "panel/launcher_view.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "launcher/grid_entry.h"
#include "launcher/icon_resolver.h"
#include "launcher/icons.h"
#include "panel/icon_placeholder.h"
#include "panel/launcher_view_detail.h"
#include "toolkit/dpi.h"
#include "toolkit/graphics.h"
#include "toolkit/tooltip.h"
#include "window/colors.h"

namespace pt {

using launcher_view_detail::kIconTimer;

namespace {

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

}  // namespace

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
    cell.textColor = CellColor(record, missing);
    return cell;
}

std::optional<Color> LauncherView::CellColor(const ItemRecord& record, bool missing) const {
    switch (CellTextColor(record, missing)) {
        case GridTextColor::kMissing:
            return dark_ ? kDarkSkinFaintColor : kFaintColor;
        case GridTextColor::kEnciphered:
            return kAccentColor;  // COLORREF 0xFF8800
        case GridTextColor::kNormal:
            break;
    }
    // The template's own colour suits the light skins.
    return dark_ ? std::optional<Color>(kDarkSkinTextColor) : std::nullopt;
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
    if (!fallbackIcon_) {
        // The shell's generic icon, for a cell whose image bytes turn out
        // not to decode (a damaged cache entry): the look of an icon that was
        // not found. Extracted on first paint, so a start with sound images
        // never pays for it.
        fallbackIcon_ = std::make_shared<LazyImage>([]() -> std::shared_ptr<Image> {
            const std::string generic = FallbackIconPng(DisplayScale());
            return RasterImage::FromBytes(generic.data(), generic.size());
        });
    }
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

}  // namespace pt
