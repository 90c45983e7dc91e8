// The panel's footer: a strip at the bottom with today's date in the
// lunar-calendar form. It looks at the clock every second and rewrites the
// text only when the day has changed, so a panel left open over midnight
// shows the new day.
#pragma once

#include <functional>

#include "base/lunar_calendar.h"
#include "toolkit/element.h"

namespace pt {

using DateSource = std::function<CivilDate()>;

// The local date of this machine.
CivilDate LocalToday();

inline constexpr UINT kFooterTimerId = 1;
inline constexpr UINT kFooterTimerMs = 1000;

// Adds the footer ("footer", holding the text button "date") to `parent`.
// `today` is asked on every tick (LocalToday when empty).
Element* BuildDateFooter(Element& parent, DateSource today = {});
// The footer's line and text for a dark skin (light ones) or a light one.
void DressDateFooter(Element& footer, bool dark);

}  // namespace pt
