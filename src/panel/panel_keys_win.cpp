// Keyboard control and the item search of the panel; see panel_keys.h.
#include "panel/panel_keys.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "base/text.h"
#include "panel/content_menus.h"
#include "panel/item_menu.h"
#include "panel/launcher_view.h"
#include "panel/menu_presenter.h"
#include "toolkit/accessible.h"
#include "toolkit/dpi.h"
#include "toolkit/edit.h"
#include "toolkit/list_view.h"
#include "toolkit/tooltip.h"
#include "toolkit/window.h"
#include "window/colors.h"
#include "window/skin_frame.h"

namespace pt {
namespace {

constexpr char kGridTemplate[] = "layout\\item\\listview.main.xml";
constexpr char kSearchPlaceholder[] = "搜索";

bool KeyHeld(int vk) {
    return (::GetKeyState(vk) & 0x8000) != 0;
}

// The centre of a cell on the screen, where a menu opened by a key shows.
POINT CellCentre(const ListView& list, int n) {
    const Rect cell = list.ItemScreenRect(ListIndex{0, n});
    return POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
}

POINT ElementCentre(const Element& e) {
    const Rect r = e.ScreenRect();
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Cells per row: the cells that share the first cell's top.
int Columns(const ListView& list) {
    const int count = list.ItemCount(0);
    if (count == 0)
        return 1;
    const int top = list.ItemRect(ListIndex{0, 0}).top;
    int n = 1;
    while (n < count && list.ItemRect(ListIndex{0, n}).top == top)
        ++n;
    return n;
}

}  // namespace

PanelKeys::PanelKeys(LauncherView& view, LauncherData& data) : view_(view), data_(data) {}

PanelKeys::~PanelKeys() {
    if (Window* w = Window::FromHwnd(hwnd_))
        w->RemoveHandler(handler_);
}

bool PanelKeys::Attach(HWND panel) {
    Window* window = Window::FromHwnd(panel);
    if (!window)
        return false;
    hwnd_ = panel;
    Element* titbar = window->FindByName("titbar");
    Element* content = window->FindByName("content");
    pages_ = window->FindByName("pages");
    if (!titbar || !content || !pages_)
        return false;

    // The field takes its place between the title's free width and the
    // caption buttons; it shows only while a search runs.
    field_ = titbar->Add<Edit>();
    field_->SetName("search");
    field_->SetPlaceholder(kSearchPlaceholder);
    field_->SetFixedSize(Dpi(240), Dpi(26));
    field_->SetPadding(Dpi(6), 0, Dpi(6), 0);
    field_->SetVisible(false);
    titbar->MoveChild(field_, 2);
    field_->On(kEditChanged, [this](Element&, const ElementEventArgs&, bool&) { RunQuery(); });

    results_ = content->Add<ListView>();
    results_->SetName("results");
    results_->LoadTemplate(kGridTemplate);
    results_->SetWidth(SizeSpec::Weight(1));
    results_->SetHeight(SizeSpec::Fill());
    results_->SetFocusable(true);
    results_->SetVisible(false);
    const auto onItem = [this](ElementEvent event) {
        return [this, event](Element&, const ElementEventArgs& a, bool&) {
            const ListIndex index = ListView::EventIndex(a);
            SearchPlace place;
            if (!index.Valid() || !ItemOf(*results_, index.item, &place))
                return;
            if (event == kListItemRButtonUp) {
                POINT cursor{};
                ::GetCursorPos(&cursor);
                ItemMenu(*results_, index.item, cursor);
            } else {
                view_.Actions().Activate(place.c, place.g, place.i, event == kListItemDoubleClick);
            }
        };
    };
    for (ElementEvent event : {kListItemClick, kListItemDoubleClick, kListItemRButtonUp})
        results_->On(event, onItem(event));
    results_->On(kListHoverRest, [this](Element&, const ElementEventArgs& a, bool&) {
        const ListIndex index = ListView::EventIndex(a);
        SearchPlace p;
        if (!index.Valid() || !ItemOf(*results_, index.item, &p))
            return;
        const std::string text = view_.TooltipText(p.c, p.g, p.i) + "\r\n分类：" +
                                 data_.ClassName(p.c) + "\r\n分组：" + data_.GroupName(p.c, p.g);
        ShowTooltip(text, results_->ItemScreenRect(index), results_);
    });
    results_->On(kListHoverEnd, [](Element&, const ElementEventArgs&, bool&) { HideTooltip(); });

    // Ahead of the toolkit's own key routing: the window's handlers see
    // every message first.
    handler_ = window->OnMessage([this](Window& w, WindowMessage& m, bool& handled) {
        OnMessage(w, m.message, m.wParam, m.lParam, handled);
    });
    PrepareElements();
    return true;
}

bool PanelKeys::Searching() const {
    return field_ && field_->IsVisible();
}

SearchPlace PanelKeys::ResultPlace(int n) const {
    return n >= 0 && n < ResultCount() ? index_.Place(hits_[static_cast<size_t>(n)].entry)
                                       : SearchPlace{-1, -1, -1};
}

void PanelKeys::PrepareElements() {
    // Entries, tabs and grids come and go with the data: they are marked
    // before every key and every screen reader's question rather than
    // followed through each change. For a screen reader the category
    // column is a list of entries, a tab row a row of page tabs.
    if (Element* sidebar = view_.Sidebar())
        SetAccessibleRole(*sidebar, AccessibleRole::kList);
    for (int c = 0; c < data_.ClassCount(); ++c) {
        if (Button* entry = view_.ClassEntry(c)) {
            entry->SetFocusable(true);
            SetAccessibleRole(*entry, AccessibleRole::kListItem);
        }
        for (int g = 0; g < data_.GroupCount(c); ++g) {
            if (Button* tab = view_.Tab(c, g)) {
                tab->SetFocusable(true);
                SetAccessibleRole(*tab, AccessibleRole::kPageTab);
                if (tab->Parent())
                    SetAccessibleRole(*tab->Parent(), AccessibleRole::kPageTabList);
            }
            if (ListView* grid = view_.Grid(c, g))
                grid->SetFocusable(true);
        }
    }
}

bool PanelKeys::ItemOf(const ListView& list, int n, SearchPlace* place) const {
    if (&list == results_) {
        if (n < 0 || n >= ResultCount())
            return false;
        *place = ResultPlace(n);
        return true;
    }
    for (int c = 0; c < data_.ClassCount(); ++c) {
        for (int g = 0; g < data_.GroupCount(c); ++g) {
            if (view_.Grid(c, g) == &list) {
                *place = SearchPlace{c, g, n};
                return n >= 0 && n < data_.ItemCount(c, g);
            }
        }
    }
    return false;
}

// ---- keys ------------------------------------------------------------------

void PanelKeys::OnMessage(Window& window, UINT message, WPARAM wParam, LPARAM lParam,
                          bool& handled) {
    if (message == WM_GETOBJECT) {
        PrepareElements();
        return;
    }
    if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && revision_ && !Searching() &&
        (indexStale_ || revision_() != indexRevision_)) {
        // Built before the first key comes, so that key only searches.
        BuildIndex();
        return;
    }
    Element* focus = window.FocusElement();
    const bool inField = focus == field_;
    const bool typing = dynamic_cast<Edit*>(focus) != nullptr && !inField;
    if (typing || !::IsWindowEnabled(hwnd_))
        return;  // a rename editor has the keys, or a modal dialog runs
    if (message == WM_LBUTTONDOWN && Searching()) {
        // A click on a category ends the search and shows that category.
        const Point p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        for (Element* e = window.ElementAt(p); e; e = e->Parent()) {
            if (e == view_.Sidebar()) {
                EndSearch(false);
                break;
            }
        }
        return;
    }
    if (message == WM_CHAR) {
        const wchar_t unit = static_cast<wchar_t>(wParam);
        if (inField || unit < 0x20 || unit == 0x7F || KeyHeld(VK_CONTROL) ||
            (unit == ' ' && !Searching()))
            return;
        std::wstring w(1, unit);
        StartSearch(FromWide(w));
        handled = true;
        return;
    }
    if (message == WM_KEYUP && wParam == VK_TAB) {
        // Tab has moved the focus by now: a grid it came to shows its
        // selection at once, so the keyboard user sees where Enter acts.
        auto* list = dynamic_cast<ListView*>(window.FocusElement());
        if (list && !list->Selected().Valid() && list->ItemCount(0) > 0)
            SelectInGrid(*list, 0);
        return;
    }
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        PrepareElements();
        if (message == WM_SYSKEYDOWN && wParam != VK_F10)
            return;
        handled = OnKey(window, wParam);
    }
}

bool PanelKeys::OnKey(Window& window, WPARAM vk) {
    Element* focus = window.FocusElement();
    const bool menuKey = vk == VK_APPS || (vk == VK_F10 && KeyHeld(VK_SHIFT));
    if (Searching() && focus == field_) {
        switch (vk) {
            case VK_ESCAPE:
                EndSearch();
                return true;
            case VK_RETURN:
            case VK_LEFT:
            case VK_RIGHT:
            case VK_UP:
            case VK_DOWN:
            case VK_PRIOR:
            case VK_NEXT:
                return GridKey(*results_, vk);
            default:
                if (menuKey)
                    return GridKey(*results_, vk);
                return false;
        }
    }
    if (vk == VK_ESCAPE && Searching()) {
        EndSearch();
        return true;
    }
    if (vk == VK_TAB && KeyHeld(VK_CONTROL)) {
        if (!Searching())
            SwitchGroup(!KeyHeld(VK_SHIFT));
        return true;
    }
    if (auto* list = dynamic_cast<ListView*>(focus))
        return GridKey(*list, vk);
    if (menuKey)
        return MenuKey(window, focus);
    if (vk == VK_F2) {
        for (int c = 0; c < data_.ClassCount(); ++c) {
            if (view_.ClassEntry(c) == focus && c == data_.CurrentClass()) {
                view_.RunClassCommand(kCmdRename);
                return true;
            }
            for (int g = 0; g < data_.GroupCount(c); ++g) {
                if (view_.Tab(c, g) == focus && c == data_.CurrentClass()) {
                    view_.RunGroupCommand(kCmdRename);
                    return true;
                }
            }
        }
    }
    return false;
}

bool PanelKeys::GridKey(ListView& list, WPARAM vk) {
    const int count = list.ItemCount(0);
    const int at = list.Selected().Valid() ? list.Selected().item : -1;
    const bool menuKey = vk == VK_APPS || (vk == VK_F10 && KeyHeld(VK_SHIFT));
    SearchPlace place;
    if (menuKey) {
        if (at >= 0)
            ItemMenu(list, at, CellCentre(list, at));
        return true;
    }
    const int columns = Columns(list);
    const int rows = std::max(1, list.ClientRect().Height() / std::max(1, list.ItemSize().height));
    int to = at;
    switch (vk) {
        case VK_RETURN:
            if (at >= 0 && ItemOf(list, at, &place))
                Start(place);
            return true;
        case VK_DELETE:
            if (at >= 0 && ItemOf(list, at, &place))
                DeleteItem(place);
            return true;
        case VK_LEFT:
            to = at < 0 ? 0 : at - 1;
            break;
        case VK_RIGHT:
            to = at + 1;
            break;
        case VK_UP:
            to = at < 0 ? 0 : at - columns;
            break;
        case VK_DOWN:
            to = at < 0 ? 0 : at + columns;
            break;
        case VK_PRIOR:
            to = at - columns * rows;
            break;
        case VK_NEXT:
            to = at < 0 ? 0 : at + columns * rows;
            break;
        case VK_HOME:
            to = 0;
            break;
        case VK_END:
            to = count - 1;
            break;
        default:
            return false;
    }
    if (count > 0)
        SelectInGrid(list, std::clamp(to, 0, count - 1));
    return true;
}

void PanelKeys::SelectInGrid(ListView& list, int n) {
    list.SetSelected(ListIndex{0, n}, true);
    list.EnsureVisible(ListIndex{0, n});
    list.Redraw();
}

bool PanelKeys::MenuKey(Window& window, Element* focus) {
    (void)window;
    Element* sidebar = view_.Sidebar();
    if (!sidebar)
        return false;
    for (int c = 0; c < data_.ClassCount(); ++c) {
        if (view_.ClassEntry(c) == focus) {
            ShowPanelMenu(*sidebar, view_.ClassMenu(true), ElementCentre(*focus),
                          [this](int id) { view_.RunClassCommand(id); });
            return true;
        }
        for (int g = 0; g < data_.GroupCount(c); ++g) {
            if (view_.Tab(c, g) == focus) {
                ShowPanelMenu(*sidebar, view_.GroupMenu(true), ElementCentre(*focus),
                              [this](int id) { view_.RunGroupCommand(id); });
                return true;
            }
        }
    }
    return false;
}

void PanelKeys::SwitchGroup(bool forward) {
    const int c = data_.CurrentClass();
    const int count = data_.GroupCount(c);
    if (count < 2)
        return;
    const int g = (data_.CurrentGroup() + (forward ? 1 : count - 1)) % count;
    // As a click on the tab: its check handler selects, shows and remembers.
    if (Button* tab = view_.Tab(c, g))
        tab->SetChecked(true, true);
}

// ---- items -----------------------------------------------------------------

void PanelKeys::Start(const SearchPlace& p) {
    view_.Actions().RunItem(p.c, p.g, p.i);
}

void PanelKeys::ItemMenu(ListView& list, int n, POINT screen) {
    SearchPlace p;
    if (!ItemOf(list, n, &p))
        return;
    const std::optional<ItemRecord> opened = data_.Item(p.c, p.g, p.i);
    ListView* grid = view_.Grid(p.c, p.g);
    if (!opened || !grid)
        return;
    // The command acts on the item the menu opened for, through its own
    // group's grid, as the mouse's menu does; a grid that changed meanwhile
    // finds another item there and nothing happens.
    ShowPanelMenu(list, view_.Actions().Menu(p.c, p.g, p.i), screen,
                  [this, p, grid, opened](int id) {
                      if (data_.Item(p.c, p.g, p.i) != opened || view_.Grid(p.c, p.g) != grid)
                          return;
                      view_.Actions().RunItemCommand(*grid, p.c, p.g, p.i, id);
                      if (Searching() && id == kItemDelete) {
                          indexStale_ = true;
                          RunQuery();
                      }
                  });
}

void PanelKeys::DeleteItem(const SearchPlace& p) {
    ListView* grid = view_.Grid(p.c, p.g);
    if (!grid)
        return;
    view_.Actions().RunItemCommand(*grid, p.c, p.g, p.i, kItemDelete);
    if (Searching()) {
        indexStale_ = true;
        RunQuery();
    }
}

// ---- search ----------------------------------------------------------------

void PanelKeys::StartSearch(const std::string& text) {
    Window* window = Window::FromHwnd(hwnd_);
    if (!window)
        return;
    HideTooltip();
    if (!Searching()) {
        shownClass_ = data_.CurrentClass();
        shownGroup_ = data_.CurrentGroup();
        DressField(CurrentSkin().background);
        field_->SetVisible(true);
        pages_->SetVisible(false);
        results_->SetVisible(true);
        indexStale_ = indexStale_ || !revision_ || revision_() != indexRevision_;
        field_->SetText("");
    }
    window->SetFocusElement(field_);
    const std::string now = field_->Text() + text;
    field_->SetText(now);
    field_->SetSelection(field_->Length(), field_->Length());
    RunQuery();
}

void PanelKeys::DressField(Color skin) {
    // Dressed as each search opens, for the skin worn then: on a dark skin
    // a white field would glare out of the caption. Its ground is the
    // skin's own a quarter darker, opaque: the rounded look lays the fill
    // over the border colour.
    const bool dark = IsDarkColor(skin);
    const Color ground =
        MakeColor(ColorRed(skin) * 3 / 4, ColorGreen(skin) * 3 / 4, ColorBlue(skin) * 3 / 4);
    StateLook look;
    look.normal = Look::Fill(dark ? ground : kMenuBackgroundColor, Dpi(4));
    look.normal.borderSides = kBorderLeft | kBorderTop | kBorderRight | kBorderBottom;
    look.normal.borderColor = kAccentColor;
    look.normal.borderWidth = 1;
    field_->SetLook(look);
    field_->SetTextColor(dark ? kDarkSkinTextColor : kFieldTextColor);
    field_->SetPlaceholderColor(dark ? kDarkSkinFaintColor : kFieldPlaceholderColor);
}

void PanelKeys::BuildIndex() {
    index_.Clear();
    for (int c = 0; c < data_.ClassCount(); ++c) {
        for (int g = 0; g < data_.GroupCount(c); ++g) {
            for (int i = 0; i < data_.ItemCount(c, g); ++i) {
                if (const auto record = data_.Item(c, g, i))
                    index_.Add(SearchPlace{c, g, i}, record->name, record->path, record->type);
            }
        }
    }
    indexStale_ = false;
    indexRevision_ = revision_ ? revision_() : 0;
}

void PanelKeys::RunQuery() {
    Window* window = Window::FromHwnd(hwnd_);
    if (!window || !Searching())
        return;
    const std::string text = field_->Text();
    if (text.empty()) {
        EndSearch();
        return;
    }
    // The index is built once per search (and again after a delete): a
    // longer query narrows the last hits, any other searches the index.
    if (indexStale_) {
        BuildIndex();
        query_.clear();
    }
    if (!query_.empty() && text.size() > query_.size() && text.starts_with(query_))
        hits_ = index_.Refine(text, hits_);
    else
        hits_ = index_.Find(text);
    query_ = text;
    FillResults();
    window->AdjustLayout();
    window->Redraw();
}

void PanelKeys::FillResults() {
    results_->ClearItems(0);
    for (const SearchHit& hit : hits_) {
        const SearchPlace p = index_.Place(hit.entry);
        const ListView* grid = view_.Grid(p.c, p.g);
        const ListItem* cell = grid ? grid->Item(ListIndex{0, p.i}) : nullptr;
        ListItem copy = cell ? *cell : ListItem{};
        if (!cell) {
            if (const auto record = data_.Item(p.c, p.g, p.i))
                copy.texts["name"] = record->name;
        }
        results_->AddItem(std::move(copy));
    }
    results_->SetScrollY(0);
    results_->SetSelected(hits_.empty() ? ListIndex{} : ListIndex{0, 0}, true);
}

void PanelKeys::EndSearch(bool restore) {
    Window* window = Window::FromHwnd(hwnd_);
    if (restore && shownClass_ >= 0 && data_.CurrentClass() != shownClass_) {
        // As a click on the entry and the tab would: shown and remembered.
        if (Button* entry = view_.ClassEntry(shownClass_))
            entry->SetChecked(true, true);
        if (Button* tab = view_.Tab(shownClass_, shownGroup_); tab && !tab->IsChecked())
            tab->SetChecked(true, true);
    }
    shownClass_ = shownGroup_ = -1;
    HideTooltip();
    hits_.clear();
    query_.clear();
    if (!revision_) {
        index_.Clear();
        indexStale_ = true;
    }
    results_->ClearItems(0);
    results_->SetVisible(false);
    field_->SetVisible(false);
    field_->SetText("");
    pages_->SetVisible(true);
    if (window) {
        // The focus goes back to the group's grid that shows again.
        ListView* grid = view_.Grid(data_.CurrentClass(), data_.CurrentGroup());
        window->SetFocusElement(grid);
        window->AdjustLayout();
        window->Redraw();
    }
}

}  // namespace pt
