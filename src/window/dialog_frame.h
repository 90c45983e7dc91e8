// The frame every secondary window of the program shares (settings, skins,
// hotkey conflict, properties, the message box): a 35-pixel caption band
// with the title in the caption font and, where the window has one, a close
// button, published under the role names the skin frame paints.
#pragma once

#include <memory>
#include <string_view>

#include "toolkit/graphics.h"
#include "toolkit/window.h"

namespace pt {

inline constexpr int kDialogCaptionHeight = 35;  // design pixels, scaled

// The caption font of dialog titles (start-up sets the shared one).
void SetDialogCaptionFont(std::shared_ptr<Font> font);
std::shared_ptr<Font> DialogCaptionFont();

// The window recipe: per-pixel alpha 254, layout over the border, children
// stacked vertically, no resizing, the caption band as the top border.
void ApplyDialogRecipe(Window& window);

// Places a secondary window of its current size on its owner's monitor: no
// larger than that monitor's work area, centred over the owner when the
// owner is shown, else centred in the work area (the primary one's without
// an owner), and inside it.
void PlaceSecondaryWindow(Window& window, HWND owner);

// After a drag: back inside the work area of the monitor under the window.
void KeepSecondaryOnScreen(Window& window);

// Adds the caption row ("titbar" with "title" and, with `closeButton`, a
// "close" button that sends the window WM_CLOSE) as the root's first child.
Element* BuildDialogCaption(Window& window, std::string_view title, bool closeButton);

}  // namespace pt
