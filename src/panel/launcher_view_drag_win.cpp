// The item grids' input: tooltips, clicks passed to the item code, and the
// drag that reorders items within a grid, with its drop marker.
#include "panel/launcher_view.h"

#include "panel/launcher_view_detail.h"
#include "settings/settings_store.h"
#include "toolkit/dpi.h"
#include "toolkit/graphics.h"
#include "toolkit/tooltip.h"
#include "toolkit/window.h"
#include "window/colors.h"

namespace pt {
namespace {

constexpr Color kMarker = kFaintColor;

}  // namespace

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
