// The list view: a grid of cells drawn from an item template (see
// item_template.h), in one or more groups, scrolled vertically with the
// wheel and a thin scroll bar. Each item carries texts, images and
// background colours by template part name, a text colour and user data.
// Only the cells inside the visible band are painted, and a cell's place is
// arithmetic (list_layout.h), so 10,000 items scroll as smoothly as 10 and
// inserting, removing, moving or updating one item touches only that item.
//
// Events, fired on the list view with the item in the arguments (wParam:
// item index, -1 for none; lParam: group index; point: the mouse in the
// list view's coordinates; read them back with ListView::EventIndex):
//   kListItemClick        left press and release on the same cell, no drag
//   kListItemDoubleClick
//   kListItemRButtonUp    right button released (also on a gap: item -1)
//   kListHoverRest        the mouse came to rest on a cell (for a tooltip)
//   kListHoverEnd         it left that cell again (hide the tooltip)
//   kListDragStart        the mouse moved past the drag threshold while
//                         pressed on a cell (the program starts its drag)
//   kListSelectionChanged a press selected a cell or, on a gap, none
// The program's own handlers of kLButtonDown etc. run first; marking the
// press handled keeps the selection as it is. A kPaint handler draws over
// the cells (the drag marker).
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/element.h"
#include "toolkit/item_template.h"
#include "toolkit/list_layout.h"
#include "toolkit/render_cache.h"

namespace pt {

class ScrollBar;

inline constexpr ElementEvent kListItemClick = ElementEvent::kListItemClick;
inline constexpr ElementEvent kListItemDoubleClick = ElementEvent::kListItemDoubleClick;
inline constexpr ElementEvent kListItemRButtonUp = ElementEvent::kListItemRButtonUp;
inline constexpr ElementEvent kListHoverRest = ElementEvent::kListHoverRest;
inline constexpr ElementEvent kListHoverEnd = ElementEvent::kListHoverEnd;
inline constexpr ElementEvent kListDragStart = ElementEvent::kListDragStart;
inline constexpr ElementEvent kListSelectionChanged = ElementEvent::kListSelectionChanged;

struct ListItem {
    std::map<std::string, std::string, std::less<>> texts;  // by part name
    std::map<std::string, std::shared_ptr<Image>, std::less<>> images;
    std::map<std::string, Color, std::less<>> colors;  // part backgrounds
    std::optional<Color> textColor;                    // over the template's colour
    intptr_t userData = 0;
};

class ListView : public Element {
  public:
    ListView();
    ~ListView() override;

    // ---- template and geometry
    // Reads the template from the resource archive, its sizes multiplied by
    // the display factor. False (the template unchanged) when the entry is
    // missing or not a template.
    bool LoadTemplate(std::string_view entryName);
    void SetTemplate(ItemTemplate itemTemplate);
    const ItemTemplate& Template() const { return template_; }
    // The cell size; by default the template's.
    void SetItemSize(int width, int height);
    Size ItemSize() const { return geometry_.item; }
    void SetSpacing(int horizontal, int vertical);
    void SetGroupHeaderHeight(int height);
    void SetFont(std::shared_ptr<Font> font);

    // ---- groups and items
    int GroupCount() const { return static_cast<int>(groups_.size()); }
    // A new group at the end; the list starts with one group (0).
    int AddGroup(std::string_view title = {});
    int ItemCount(int group = 0) const;
    // Returns the new item's index, or -1 for a group that does not exist.
    int AddItem(ListItem item, int group = 0);
    int InsertItem(ListIndex at, ListItem item);  // at.item past the end appends
    bool RemoveItem(ListIndex index);
    bool MoveItem(int group, int from, int to);
    void ClearItems(int group);
    const ListItem* Item(ListIndex index) const;
    bool UpdateItem(ListIndex index, ListItem item);
    bool SetItemText(ListIndex index, std::string_view part, std::string_view text);
    std::string ItemText(ListIndex index, std::string_view part) const;
    bool SetItemImage(ListIndex index, std::string_view part, std::shared_ptr<Image> image);
    bool SetItemColor(ListIndex index, std::string_view part, Color color);
    bool SetItemTextColor(ListIndex index, std::optional<Color> color);
    bool SetItemUserData(ListIndex index, intptr_t data);
    intptr_t ItemUserData(ListIndex index) const;

    // ---- selection and hover
    ListIndex Selected() const { return selected_; }
    // An invalid index clears the selection; `notify` fires
    // kListSelectionChanged when it changed.
    void SetSelected(ListIndex index, bool notify = false);
    ListIndex Hovered() const { return hover_; }

    // ---- geometry (list view coordinates: its top-left is 0, 0)
    ListIndex HitTest(Point point) const;
    // The name of the template part under the point in the cell there
    // (empty when none), e.g. a "more" button in a cell.
    std::string HitPart(Point point) const;
    Rect ItemRect(ListIndex index) const;  // scrolled; empty for no item
    Rect ItemWindowRect(ListIndex index) const;
    Rect ItemScreenRect(ListIndex index) const;
    static ListIndex EventIndex(const ElementEventArgs& args);

    // ---- scrolling
    int ScrollY() const { return scrollY_; }
    int MaxScrollY() const;
    int ContentHeight() const;
    void SetScrollY(int offset);
    void EnsureVisible(ListIndex index);
    // Pixels per wheel notch; 0: one row.
    void SetWheelStep(int pixels) { wheelStep_ = pixels; }
    ScrollBar* Bar() const { return bar_; }

    // ---- drag and hover rest
    void SetDragThreshold(int pixels) { dragThreshold_ = pixels; }
    void SetHoverTime(UINT ms) { hoverMs_ = ms; }

    // Cells painted by the last paint (only the visible ones are).
    int PaintedCellCount() const { return painted_; }

    void LayoutChildren() override;
    bool IsInteractive() const override { return true; }
    bool OnPress() override;
    void OnCaptureLost() override;
    void PaintContent(Canvas& canvas, const Rect& box) override;

  protected:
    bool DefaultAction(const ElementEventArgs& args) override;

  private:
    struct Group {
        std::string title;
        std::vector<ListItem> items;
    };
    ListItem* MutableItem(ListIndex index);
    const ListLayout& Layout() const;
    void Relayout();
    void SetHover(ListIndex index);
    void FireItem(ElementEvent event, ListIndex index, Point point);
    void PaintCell(Canvas& canvas, const Rect& cell, const ListItem& item, ListIndex index);
    std::shared_ptr<Image> TemplateImage(size_t part);
    const Font* PartFont(const TemplatePart& part);
    bool PartShown(const TemplatePart& part, ListIndex index) const;
    void ItemChanged(ListIndex index);

    ItemTemplate template_;
    std::vector<std::shared_ptr<Image>> templateImages_;  // per part; loaded on first use
    std::vector<bool> templateImagesTried_;
    ListGeometry geometry_;
    bool itemSizeSet_ = false;
    std::vector<Group> groups_;
    mutable std::optional<ListLayout> layout_;
    std::shared_ptr<Font> font_;
    std::map<float, std::shared_ptr<Font>> partFonts_;
    RenderCache renderCache_;

    ScrollBar* bar_ = nullptr;
    int scrollY_ = 0;
    int wheelStep_ = 0;

    ListIndex selected_;
    ListIndex hover_;
    bool restFired_ = false;
    UINT hoverMs_ = 500;
    bool mouseInside_ = false;
    Point lastMouse_;

    ListIndex pressed_;
    Point pressPoint_;
    bool dragStarted_ = false;
    bool afterDoubleClick_ = false;
    int dragThreshold_ = -1;  // -1: the system's

    int painted_ = 0;
};

}  // namespace pt
