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

ListItem LauncherView::MakeCell(const ItemLook& item, int c, int g, bool extractAgain) {
    ListItem cell;
    cell.texts["name"] = item.record.name;
    if (services_.icons && !item.iconSource.empty()) {
        // A cached image shows at once; anything else is extracted on the
        // resolver's thread and shows a drawn stand-in until it arrives.
        std::shared_ptr<Image> cached = StoredIcon(item.iconKey);
        cell.images["icon"] = cached ? cached : IconPlaceholder(item.placeholder, Dpi(40));
        if (resolver_ && (!cached || extractAgain)) {
            const bool onScreen =
                c == services_.data->CurrentClass() && g == services_.data->CurrentGroupOf(c);
            resolver_->Request(item.iconKey, std::string(item.iconSource),
                               onScreen ? kIconPriorityVisible : kIconPriorityLater, extractAgain);
        }
    }
    cell.textColor = CellColor(item.record, item.missing);
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
    std::shared_ptr<EncodedImage> image = CellIcon(done.png);
    // New cells of this key show what arrived, not an image made before.
    keyIcons_[done.key] = image;
    arrived_[done.key] = std::move(image);
    if (first && !sidebar_->SetTimer(kIconTimer, 0))
        ShowArrivedIcons();
}

void LauncherView::ShowArrivedIcons() {
    sidebar_->KillTimer(kIconTimer);
    if (!services_.icons || arrived_.empty())
        return;
    const LauncherData& data = *services_.data;
    for (int c = 0; c < static_cast<int>(pages_.size()); ++c) {
        for (int g = 0; g < static_cast<int>(pages_[c].lists.size()); ++g) {
            ListView* list = pages_[c].lists[g].list;
            const int items = std::min(data.ItemCount(c, g), list->ItemCount());
            for (int i = 0; i < items; ++i) {
                if (data.ItemIconSource(c, g, i).empty())
                    continue;
                auto found = arrived_.find(data.ItemIconKey(c, g, i));
                if (found != arrived_.end())
                    list->SetItemImage(ListIndex{0, i}, "icon", found->second);
            }
        }
    }
    arrived_.clear();
}

int LauncherView::IconsOutstanding() const {
    return (resolver_ ? resolver_->Outstanding() : 0) + static_cast<int>(arrived_.size());
}

const std::shared_ptr<Image>& LauncherView::FallbackIcon() {
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
    return fallbackIcon_;
}

std::shared_ptr<EncodedImage> LauncherView::CellIcon(std::string png) {
    const size_t hash = std::hash<std::string_view>{}(png);
    if (auto known = cellIcons_[hash].lock(); known && known->Bytes() == png)
        return known;
    auto image = EncodedImage::FromBytes(std::make_shared<const std::string>(std::move(png)),
                                         FallbackIcon());
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

std::shared_ptr<Image> LauncherView::StoredIcon(uint32_t key) {
    // Whether there is an image is known without reading it: a grid of
    // thousands of cached entries reads only the bytes of the cells shown.
    if (!services_.icons->Has(key))
        return nullptr;
    std::weak_ptr<Image>& byKey = keyIcons_[key];
    if (auto known = byKey.lock())
        return known;
    auto image = std::make_shared<StoredIconImage>(storedIcons_, key);
    byKey = image;
    if (keyIcons_.size() >= keyIconsPruneAt_) {
        for (auto it = keyIcons_.begin(); it != keyIcons_.end();)
            it = it->second.expired() ? keyIcons_.erase(it) : std::next(it);
        keyIconsPruneAt_ = std::max<size_t>(256, keyIcons_.size() * 2);
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

void LauncherView::OnItemAdded(int c, int g, int i, const ItemLook& item) {
    ListView* list = Grid(c, g);
    if (!list)
        return;
    const int at = std::clamp(i, 0, list->ItemCount());
    list->InsertItem(ListIndex{0, at}, MakeCell(item, c, g));
}

void LauncherView::OnItemRemoved(int c, int g, int i) {
    if (ListView* list = Grid(c, g))
        list->RemoveItem(ListIndex{0, i});
}

void LauncherView::OnItemMoved(int c, int g, int from, int to) {
    if (ListView* list = Grid(c, g))
        list->MoveItem(0, from, to);
}

void LauncherView::OnItemRefreshed(int c, int g, int i, const ItemLook& item) {
    ListView* list = Grid(c, g);
    if (!list || !list->Item(ListIndex{0, i}))
        return;
    // A refresh comes from verification or an edit: a target that is there
    // now (back from a removed drive, say) has its icon extracted again
    // rather than keep the generic one stored when it was gone.
    const bool extractAgain = !item.missing && IsLocalPath(item.record.path);
    list->UpdateItem(ListIndex{0, i}, MakeCell(item, c, g, extractAgain));
}

void LauncherView::OnTargetFound(int c, int g, int /*i*/, const ItemLook& item) {
    if (!services_.icons || !resolver_ || !Grid(c, g) || item.iconSource.empty())
        return;
    // The generic icon stored when the target was gone: look for the real
    // one again. Asked of the store by length first: reading every found
    // item's bytes would bring the whole cache into memory.
    resolver_->RequestIfGeneric(
        item.iconKey, std::string(item.iconSource),
        // Asked only while the resolver lives, which the view ends first.
        [store = services_.icons, key = item.iconKey](const std::string& generic) {
            return store->Holds(key, generic);
        });
}

}  // namespace pt
