// The date footer; see date_footer.h.
#include "panel/date_footer.h"

#include <windows.h>

#include <memory>

#include "toolkit/dpi.h"
#include "toolkit/window.h"
#include "window/colors.h"

namespace pt {

CivilDate LocalToday() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return CivilDate{now.wYear, now.wMonth, now.wDay};
}

Element* BuildDateFooter(Element& parent, DateSource today) {
    if (!today)
        today = &LocalToday;
    auto* footer = parent.Add<Element>();
    footer->SetName("footer");
    footer->SetHorizontal(true);
    footer->SetWidth(SizeSpec::Fill());
    footer->SetHeight(SizeSpec::Fixed(40));
    footer->SetPadding(10, 0, 15, 0);
    footer->SetAlign(Align::kStart, Align::kCenter);
    footer->SetLookName("border.top");

    auto* date = footer->Add<Button>();
    date->SetName("date");
    date->SetTransparent(true);
    date->SetMouseThrough(true);
    date->SetTextColor(kBodyTextColor);
    const CivilDate first = today();
    date->SetText(FooterDateText(first));

    auto shown = std::make_shared<CivilDate>(first);
    date->On(ElementEvent::kTimer,
             [today, shown](Element& e, const ElementEventArgs& args, bool& handled) {
                 if (args.wParam != kFooterTimerId)
                     return;
                 handled = true;
                 const CivilDate now = today();
                 if (now.year == shown->year && now.month == shown->month && now.day == shown->day)
                     return;
                 *shown = now;
                 static_cast<Button&>(e).SetText(FooterDateText(now));
                 // The text's width changed: the button fits its content.
                 if (Window* window = e.OwnerWindow()) {
                     window->AdjustLayout();
                     window->Redraw();
                 }
             });
    date->SetTimer(kFooterTimerId, kFooterTimerMs);
    return footer;
}

}  // namespace pt
