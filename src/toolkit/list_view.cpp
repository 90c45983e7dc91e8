// The list view: items, mouse events to cell events, scrolling and the
// painting of the visible cells.
#include "toolkit/list_view.h"

#include <algorithm>
#include <cstdlib>

#include "toolkit/accessible.h"
#include "toolkit/dpi.h"
#include "toolkit/resource_archive.h"
#include "toolkit/scroll_bar.h"
#include "toolkit/window.h"

namespace pt {
namespace {

constexpr UINT kHoverTimer = 0x4C495354;  // an element timer id of its own
constexpr Color kDefaultText = MakeColor(80, 80, 80);

bool EndsWith(std::string_view s, std::string_view tail) {
    if (s.size() < tail.size())
        return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        char c = s[s.size() - tail.size() + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != tail[i])
            return false;
    }
    return true;
}

TextAlign ToTextAlign(PartAlign a) {
    return a == PartAlign::kCenter ? TextAlign::kCenter
           : a == PartAlign::kEnd  ? TextAlign::kEnd
                                   : TextAlign::kStart;
}

}  // namespace

ListView::ListView() {
    SetName("listview");
    groups_.emplace_back();
    geometry_.item = template_.size;
    bar_ = Add<ScrollBar>();
    bar_->SetOnScroll([this](int offset) { SetScrollY(offset); });
}

ListView::~ListView() = default;

// --------------------------------------------------------------- template

bool ListView::LoadTemplate(std::string_view entryName) {
    ItemTemplate t;
    if (!ParseItemTemplate(ResourceArchive::Instance().ReadText(entryName), t))
        return false;
    t.Scale(DisplayScale());
    SetTemplate(std::move(t));
    return true;
}

void ListView::SetTemplate(ItemTemplate itemTemplate) {
    template_ = std::move(itemTemplate);
    templateImages_.assign(template_.parts.size(), nullptr);
    templateImagesTried_.assign(template_.parts.size(), false);
    if (!itemSizeSet_)
        geometry_.item = template_.size;
    Relayout();
}

void ListView::SetItemSize(int width, int height) {
    geometry_.item = Size{std::max(width, 1), std::max(height, 1)};
    itemSizeSet_ = true;
    Relayout();
}

void ListView::SetSpacing(int horizontal, int vertical) {
    geometry_.spacingX = std::max(horizontal, 0);
    geometry_.spacingY = std::max(vertical, 0);
    Relayout();
}

void ListView::SetGroupHeaderHeight(int height) {
    geometry_.groupHeader = std::max(height, 0);
    Relayout();
}

void ListView::SetFont(std::shared_ptr<Font> font) {
    font_ = std::move(font);
    partFonts_.clear();
    renderCache_.Clear();
    Redraw();
}

std::shared_ptr<Image> ListView::TemplateImage(size_t part) {
    if (part >= templateImages_.size())
        return nullptr;
    if (!templateImagesTried_[part]) {
        templateImagesTried_[part] = true;
        const TemplatePart& p = template_.parts[part];
        if (!p.image.empty()) {
            const std::vector<uint8_t> bytes = ResourceArchive::Instance().Read(p.image);
            if (EndsWith(p.image, ".svg")) {
                auto svg = SvgImage::FromBytes(
                    std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
                if (svg && p.color)
                    svg->SetFill(*p.color);
                templateImages_[part] = std::move(svg);
            } else if (!bytes.empty()) {
                templateImages_[part] = RasterImage::FromBytes(bytes.data(), bytes.size());
            }
        }
    }
    return templateImages_[part];
}

const Font* ListView::PartFont(const TemplatePart& part) {
    if (!font_)
        font_ = DefaultFont();
    const Font* base = font_.get();
    if (part.fontSize <= 0 || !base)
        return base;
    auto& f = partFonts_[part.fontSize];
    if (!f)
        f = Font::Create(base->Face(), part.fontSize);
    return f ? f.get() : base;
}

// ------------------------------------------------------- groups and items

int ListView::AddGroup(std::string_view title) {
    groups_.push_back(Group{std::string(title), {}});
    Relayout();
    return GroupCount() - 1;
}

int ListView::ItemCount(int group) const {
    return group >= 0 && group < GroupCount() ? static_cast<int>(groups_[group].items.size()) : 0;
}

int ListView::AddItem(ListItem item, int group) {
    return InsertItem(ListIndex{group, ItemCount(group)}, std::move(item));
}

int ListView::InsertItem(ListIndex at, ListItem item) {
    if (at.group < 0 || at.group >= GroupCount())
        return -1;
    auto& items = groups_[at.group].items;
    const int index = std::clamp(at.item, 0, static_cast<int>(items.size()));
    items.insert(items.begin() + index, std::move(item));
    // Indices at or after the new item move up by one.
    const auto shift = [&](ListIndex& i) {
        if (i.group == at.group && i.item >= index)
            ++i.item;
    };
    shift(selected_);
    shift(pressed_);
    SetHover({});
    Relayout();
    return index;
}

bool ListView::RemoveItem(ListIndex index) {
    if (!Item(index))
        return false;
    auto& items = groups_[index.group].items;
    items.erase(items.begin() + index.item);
    const auto shift = [&](ListIndex& i) {
        if (i.group != index.group)
            return;
        if (i.item == index.item)
            i = ListIndex{};
        else if (i.item > index.item)
            --i.item;
    };
    shift(selected_);
    shift(pressed_);
    SetHover({});
    Relayout();
    return true;
}

bool ListView::MoveItem(int group, int from, int to) {
    const int n = ItemCount(group);
    if (from < 0 || from >= n || to < 0 || to >= n)
        return false;
    if (from == to)
        return true;
    auto& items = groups_[group].items;
    if (from < to) {
        std::rotate(items.begin() + from, items.begin() + from + 1, items.begin() + to + 1);
    } else {
        std::rotate(items.begin() + to, items.begin() + from, items.begin() + from + 1);
    }
    // The selection follows its item; the items in between shift by one.
    const auto follow = [&](ListIndex& i) {
        if (i.group != group)
            return;
        if (i.item == from)
            i.item = to;
        else if (from < to && i.item > from && i.item <= to)
            --i.item;
        else if (to < from && i.item >= to && i.item < from)
            ++i.item;
    };
    follow(selected_);
    follow(pressed_);
    SetHover({});
    Redraw();
    return true;
}

void ListView::ClearItems(int group) {
    if (group < 0 || group >= GroupCount())
        return;
    groups_[group].items.clear();
    if (selected_.group == group)
        selected_ = {};
    if (pressed_.group == group)
        pressed_ = {};
    SetHover({});
    Relayout();
}

const ListItem* ListView::Item(ListIndex index) const {
    if (index.group < 0 || index.group >= GroupCount() || index.item < 0 ||
        index.item >= ItemCount(index.group))
        return nullptr;
    return &groups_[index.group].items[index.item];
}

ListItem* ListView::MutableItem(ListIndex index) {
    return const_cast<ListItem*>(Item(index));
}

void ListView::ItemChanged(ListIndex index) {
    // Only a visible cell needs a new frame.
    const Rect r = ItemRect(index);
    if (!r.Intersect(ClientRect()).IsEmpty())
        Redraw();
}

bool ListView::UpdateItem(ListIndex index, ListItem item) {
    ListItem* it = MutableItem(index);
    if (!it)
        return false;
    *it = std::move(item);
    ItemChanged(index);
    return true;
}

bool ListView::SetItemText(ListIndex index, std::string_view part, std::string_view text) {
    ListItem* it = MutableItem(index);
    if (!it)
        return false;
    it->texts[std::string(part)] = std::string(text);
    ItemChanged(index);
    return true;
}

std::string ListView::ItemText(ListIndex index, std::string_view part) const {
    const ListItem* it = Item(index);
    if (!it)
        return {};
    auto t = it->texts.find(part);
    return t == it->texts.end() ? std::string() : t->second;
}

bool ListView::SetItemImage(ListIndex index, std::string_view part, std::shared_ptr<Image> image) {
    ListItem* it = MutableItem(index);
    if (!it)
        return false;
    it->images[std::string(part)] = std::move(image);
    ItemChanged(index);
    return true;
}

bool ListView::SetItemColor(ListIndex index, std::string_view part, Color color) {
    ListItem* it = MutableItem(index);
    if (!it)
        return false;
    it->colors[std::string(part)] = color;
    ItemChanged(index);
    return true;
}

bool ListView::SetItemTextColor(ListIndex index, std::optional<Color> color) {
    ListItem* it = MutableItem(index);
    if (!it)
        return false;
    it->textColor = color;
    ItemChanged(index);
    return true;
}

bool ListView::SetItemUserData(ListIndex index, intptr_t data) {
    ListItem* it = MutableItem(index);
    if (!it)
        return false;
    it->userData = data;
    return true;
}

intptr_t ListView::ItemUserData(ListIndex index) const {
    const ListItem* it = Item(index);
    return it ? it->userData : 0;
}

// -------------------------------------------------------------- selection

void ListView::SetSelected(ListIndex index, bool notify) {
    if (!Item(index))
        index = ListIndex{};
    if (index == selected_)
        return;
    selected_ = index;
    Redraw();
    AnnounceCellSelection(*this, index.item);
    if (notify)
        FireItem(kListSelectionChanged, index, lastMouse_);
}

void ListView::SetHover(ListIndex index) {
    if (index == hover_)
        return;
    const ListIndex old = hover_;
    hover_ = index;
    KillTimer(kHoverTimer);
    if (restFired_) {
        restFired_ = false;
        FireItem(kListHoverEnd, old, lastMouse_);
    }
    if (hover_.Valid() && !pressed_.Valid() && hoverMs_ > 0)
        SetTimer(kHoverTimer, hoverMs_);
    Redraw();
}

void ListView::FireItem(ElementEvent event, ListIndex index, Point point) {
    if (IsDestroyed())
        return;
    ElementEventArgs a;
    a.event = event;
    a.point = point;
    a.wParam = static_cast<WPARAM>(static_cast<intptr_t>(index.Valid() ? index.item : -1));
    a.lParam = static_cast<LPARAM>(index.Valid() ? index.group : -1);
    Fire(a);
}

ListIndex ListView::EventIndex(const ElementEventArgs& args) {
    const int item = static_cast<int>(static_cast<intptr_t>(args.wParam));
    const int group = static_cast<int>(args.lParam);
    if (item < 0 || group < 0)
        return {};
    return ListIndex{group, item};
}

// --------------------------------------------------------------- geometry

const ListLayout& ListView::Layout() const {
    if (!layout_) {
        std::vector<int> counts;
        counts.reserve(groups_.size());
        for (const Group& g : groups_)
            counts.push_back(static_cast<int>(g.items.size()));
        ListGeometry geo = geometry_;
        geo.padding = Padding();
        layout_.emplace(geo, WindowRect().Width(), std::move(counts));
    }
    return *layout_;
}

void ListView::Relayout() {
    layout_.reset();
    const Rect r = WindowRect();
    const int content = Layout().ContentHeight();
    scrollY_ = ClampScroll(scrollY_, content, r.Height());
    if (bar_) {
        const int width = Dpi(6);
        const int margin = Dpi(2);
        bar_->SetPosition(r.Width() - width - margin, margin);
        bar_->SetFixedSize(width, std::max(r.Height() - 2 * margin, 0));
        bar_->SetRange(content, r.Height());
        bar_->SetScrollPos(scrollY_);
        // The bar may have just come into view: it needs its rectangle.
        Element::LayoutChildren();
    }
    Redraw();
}

void ListView::LayoutChildren() {
    Relayout();
}

ListIndex ListView::HitTest(Point point) const {
    if (!ClientRect().Contains(point))
        return {};
    return Layout().HitTest(Point{point.x, point.y + scrollY_});
}

bool ListView::PartShown(const TemplatePart& part, ListIndex index) const {
    if (!part.visible)
        return false;
    const bool selected = index.Valid() && index == selected_;
    const bool hover = index.Valid() && index == hover_;
    switch (part.state) {
        case PartState::kSelected:
            return selected;
        case PartState::kHover:
            return hover;
        case PartState::kNormal:
            return !selected && !hover;
        case PartState::kAlways:
        default:
            return true;
    }
}

std::string ListView::HitPart(Point point) const {
    const ListIndex index = HitTest(point);
    if (!index.Valid())
        return {};
    const Rect cell = ItemRect(index);
    const Size size{cell.Width(), cell.Height()};
    for (size_t i = template_.parts.size(); i-- > 0;) {
        const TemplatePart& p = template_.parts[i];
        if (!p.name.empty() && PartShown(p, index) &&
            p.RectIn(size).Contains(point.x - cell.left, point.y - cell.top))
            return p.name;
    }
    return {};
}

Rect ListView::ItemRect(ListIndex index) const {
    const Rect r = Layout().ItemRect(index);
    return r.IsEmpty() ? r : r.Offset(0, -scrollY_);
}

Rect ListView::ItemWindowRect(ListIndex index) const {
    const Rect r = ItemRect(index);
    return r.IsEmpty() ? r : r.Offset(WindowRect().left, WindowRect().top);
}

Rect ListView::ItemScreenRect(ListIndex index) const {
    const Rect r = ItemRect(index);
    if (r.IsEmpty())
        return r;
    const Rect me = ScreenRect();
    return r.Offset(me.left, me.top);
}

// -------------------------------------------------------------- scrolling

int ListView::ContentHeight() const {
    return Layout().ContentHeight();
}

int ListView::MaxScrollY() const {
    return MaxScroll(ContentHeight(), WindowRect().Height());
}

void ListView::SetScrollY(int offset) {
    const int clamped = ClampScroll(offset, ContentHeight(), WindowRect().Height());
    if (clamped == scrollY_)
        return;
    scrollY_ = clamped;
    if (bar_)
        bar_->SetScrollPos(scrollY_);
    // The cell under a resting mouse is another one now.
    if (mouseInside_ && !pressed_.Valid())
        SetHover(HitTest(lastMouse_));
    Redraw();
}

void ListView::EnsureVisible(ListIndex index) {
    const Rect r = Layout().ItemRect(index);
    if (r.IsEmpty())
        return;
    const int view = WindowRect().Height();
    if (r.top < scrollY_) {
        SetScrollY(r.top);
    } else if (r.bottom > scrollY_ + view) {
        SetScrollY(r.bottom - view);
    }
}

// ------------------------------------------------------------------ mouse

bool ListView::OnPress() {
    return pressed_.Valid();
}

void ListView::OnCaptureLost() {
    pressed_ = {};
    dragStarted_ = false;
}

bool ListView::DefaultAction(const ElementEventArgs& args) {
    switch (args.event) {
        case ElementEvent::kLButtonDown: {
            const ListIndex hit = HitTest(args.point);
            pressed_ = hit;
            pressPoint_ = args.point;
            dragStarted_ = false;
            afterDoubleClick_ = false;
            KillTimer(kHoverTimer);
            SetSelected(hit, true);
            return false;  // a press on a cell is then captured until release
        }
        case ElementEvent::kDoubleClick: {
            const ListIndex hit = HitTest(args.point);
            if (hit.Valid()) {
                // The release that follows is no second click.
                afterDoubleClick_ = true;
                FireItem(kListItemDoubleClick, hit, args.point);
            }
            return false;
        }
        case ElementEvent::kLButtonUp: {
            const ListIndex pressed = pressed_;
            const bool click = pressed.Valid() && !dragStarted_ && !afterDoubleClick_ &&
                               HitTest(args.point) == pressed;
            pressed_ = {};
            dragStarted_ = false;
            afterDoubleClick_ = false;
            if (click)
                FireItem(kListItemClick, pressed, args.point);
            return false;
        }
        case ElementEvent::kRButtonUp:
            FireItem(kListItemRButtonUp, HitTest(args.point), args.point);
            return false;
        case ElementEvent::kMouseMove: {
            lastMouse_ = args.point;
            mouseInside_ = ClientRect().Contains(args.point);
            if (pressed_.Valid() && (args.wParam & MK_LBUTTON)) {
                if (!dragStarted_) {
                    const int threshold =
                        dragThreshold_ >= 0 ? dragThreshold_ : ::GetSystemMetrics(SM_CXDRAG);
                    if (std::abs(args.point.x - pressPoint_.x) >= threshold ||
                        std::abs(args.point.y - pressPoint_.y) >= threshold) {
                        dragStarted_ = true;
                        FireItem(kListDragStart, pressed_, args.point);
                    }
                }
                return false;
            }
            SetHover(HitTest(args.point));
            return false;
        }
        case ElementEvent::kMouseLeave:
            mouseInside_ = false;
            SetHover({});
            return false;
        case ElementEvent::kTimer:
            if (args.wParam != kHoverTimer)
                return false;
            KillTimer(kHoverTimer);
            if (hover_.Valid() && !pressed_.Valid() && !restFired_) {
                restFired_ = true;
                FireItem(kListHoverRest, hover_, lastMouse_);
            }
            return true;
        case ElementEvent::kMouseWheel: {
            const int delta = GET_WHEEL_DELTA_WPARAM(args.wParam);
            const int step =
                wheelStep_ > 0 ? wheelStep_ : geometry_.item.height + geometry_.spacingY;
            const int before = scrollY_;
            SetScrollY(scrollY_ - delta * step / WHEEL_DELTA);
            // At its end the list passes the wheel on to a scrolling parent.
            return scrollY_ != before;
        }
        default:
            return false;
    }
}

// --------------------------------------------------------------- painting

void ListView::PaintContent(Canvas& canvas, const Rect& box) {
    painted_ = 0;
    // Only the band both inside the list and inside the clip (a list in a
    // scroll view may be partly hidden) is painted.
    const Rect& clip = canvas.ClipRect();
    const int top = std::max(box.top, clip.top);
    const int bottom = std::min(box.bottom, clip.bottom);
    if (bottom <= top)
        return;
    const ListLayout& layout = Layout();
    const int dy = box.top - scrollY_;
    if (geometry_.groupHeader > 0) {
        if (!font_)
            font_ = DefaultFont();
        const Font* f = font_.get();
        for (int g = 0; g < GroupCount() && f; ++g) {
            const Rect h = layout.GroupHeaderRect(g).Offset(box.left, dy);
            if (h.bottom <= top || h.top >= bottom || groups_[g].title.empty())
                continue;
            TextFormat fmt;
            canvas.DrawText(groups_[g].title, *f, MakeColor(120, 120, 120), h, fmt);
        }
    }
    for (const ListLayout::Run& run : layout.VisibleRuns(top - dy, bottom - dy)) {
        const auto& items = groups_[run.group].items;
        for (int i = run.first; i < run.last; ++i) {
            const ListIndex index{run.group, i};
            PaintCell(canvas, layout.ItemRect(index).Offset(box.left, dy), items[i], index);
            ++painted_;
        }
    }
}

void ListView::PaintCell(Canvas& canvas, const Rect& cell, const ListItem& item, ListIndex index) {
    const bool selected = index == selected_;
    const bool hover = index == hover_;
    std::optional<Color> fill;
    std::optional<Color> border;
    if (selected && (template_.selectedFill || template_.selectedBorder)) {
        fill = template_.selectedFill;
        border = template_.selectedBorder;
    } else if (hover) {
        fill = template_.hoverFill;
        border = template_.hoverBorder;
    }
    if (fill || border) {
        Look look;
        look.fill = fill;
        look.radius = template_.radius;
        if (border) {
            look.borderSides = kBorderAll;
            look.borderColor = *border;
        }
        canvas.DrawLook(cell, look);
    }
    const Size size{cell.Width(), cell.Height()};
    for (size_t i = 0; i < template_.parts.size(); ++i) {
        const TemplatePart& p = template_.parts[i];
        if (!PartShown(p, index))
            continue;
        const Rect r = p.RectIn(size).Offset(cell.left, cell.top);
        if (r.IsEmpty())
            continue;
        if (p.kind == PartKind::kImage || p.kind == PartKind::kButton) {
            const auto own = item.images.find(p.name);
            renderCache_.DrawImage(canvas,
                                   own != item.images.end() ? own->second : TemplateImage(i), r);
            continue;
        }
        const auto bg = item.colors.find(p.name);
        const std::optional<Color> background =
            bg != item.colors.end() ? std::optional<Color>(bg->second) : p.background;
        if (background)
            canvas.FillRoundRect(r, p.radius, *background);
        const auto own = item.texts.find(p.name);
        const std::string& text = own != item.texts.end() ? own->second : p.text;
        if (text.empty())
            continue;
        const Font* f = PartFont(p);
        if (!f)
            continue;
        TextFormat fmt;
        fmt.horizontal = ToTextAlign(p.align);
        const Color color = item.textColor ? *item.textColor : p.color ? *p.color : kDefaultText;
        renderCache_.DrawText(canvas, text, *f, color, r, fmt);
    }
}

}  // namespace pt
