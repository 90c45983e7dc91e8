// Tooltip windows: one small toolkit window at a time that shows a text
// next to a rectangle, never taking the activation. An element with tooltip
// text gets one when the mouse rests on it; controls with parts of their own
// (a list view's cells) show one for a part's rectangle with ShowTooltip and
// hide it themselves. Either way it goes when the mouse leaves the element
// it belongs to or presses a button in that element's window.
#pragma once

#include <windows.h>

#include <string_view>

#include "toolkit/geometry.h"

namespace pt {

class Element;
class Window;

// Its own class: the program counts and restyles its "Pinatrove" windows,
// and a tooltip is none of them.
inline constexpr wchar_t kTooltipWindowClass[] = L"PinatroveTip";

// Shows `text` (lines separated by "\r\n" or "\n") in the tooltip window,
// below `anchor` (screen coordinates) or above it when there is no room,
// inside the work area of the monitor the anchor is on. It replaces any
// tooltip shown. `source` is the element it belongs to (none: it stays until
// HideTooltip or the next tooltip). Null for an empty text or without the
// toolkit.
Window* ShowTooltip(std::string_view text, const Rect& anchor, Element* source = nullptr);
void HideTooltip();
// The tooltip window while one is shown, else null.
Window* CurrentTooltip();
// How long the mouse rests on an element before its tooltip shows.
void SetTooltipDelay(unsigned ms);
unsigned TooltipDelay();

namespace detail {
// Called by windows when the element under the mouse changes and when a
// mouse button goes down in them.
void TooltipHoverChanged(Window& window, Element* element);
void TooltipMouseDown(Window& window);
}  // namespace detail

}  // namespace pt
