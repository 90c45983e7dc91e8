// The shared menu look; see menu_look.h.
#include "window/menu_look.h"

#include "toolkit/dpi.h"
#include "toolkit/graphics.h"
#include "toolkit/window.h"
#include "window/colors.h"

namespace pt {

void DressMenuWindow(Window& w, bool roundCorners) {
    w.SetTransparentType(2);
    w.SetShadow(ShadowParams{Dpi(5), 150, 3, !roundCorners, 0});
    w.SetTransparentAlpha(250);
}

void DrawMenuItem(const MenuDrawInfo& info) {
    if (!info.canvas)
        return;
    Canvas& canvas = *info.canvas;
    const Rect r = info.rect;
    const int midY = (r.top + r.bottom) / 2;
    if (info.state & kMenuItemSeparator) {
        canvas.DrawLine(r.left + 40, midY, r.right - Dpi(8), midY, kMenuSeparatorColor);
        return;
    }
    if (info.state & kMenuItemSelected)
        canvas.FillRect(r, kMenuSelectedColor);
    const bool disabled = (info.state & kMenuItemDisabled) != 0;
    const Color ink = disabled ? kFaintColor : kMenuTextColor;
    if (info.state & kMenuItemPopup) {
        const float x = static_cast<float>(r.right - Dpi(12));
        const float y = static_cast<float>(midY);
        const float half = static_cast<float>(Dpi(6)) / 2;
        const float tall = static_cast<float>(Dpi(12)) / 2;
        canvas.DrawPolyline({{x - half, y - tall}, {x + half, y}, {x - half, y + tall}}, ink, 1.5f);
    }
    if (info.state & kMenuItemChecked)
        canvas.FillEllipse(Rect::FromSize(r.left + 20, midY - Dpi(5), Dpi(10), Dpi(10)), ink);
    if (auto font = DefaultFont())
        canvas.DrawText(info.text, *font, ink, Rect{r.left + 35, r.top, r.right - 5, r.bottom},
                        TextFormat{});
}

}  // namespace pt
