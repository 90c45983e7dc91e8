// The skin frame: paints the title bar and the system buttons of a program
// window in the current skin. A window takes part by publishing its frame
// pieces under their role names ("titbar", "title", "line", "skin", "menu",
// "mini", "close") in the window property table; a missing piece is simply
// skipped, so a dialog with only a title and a close button wears the same
// frame as the panel.
#pragma once

#include <windows.h>

#include <string_view>

#include "window/skin_rules.h"
#include "toolkit/window.h"

namespace pt {

// Records `element` as the window's frame piece `role`.
void PublishFramePart(Window& window, std::string_view role, Element* element);
// The piece, or null when the window has none (or it was destroyed).
Element* FramePart(HWND window, std::string_view role);

// A window whose whole body takes the skin colour (the panel), rather than
// only its title bar (the dialogs).
inline constexpr char kSkinBodyProperty[] = "bSkinBody";

class SettingsStore;
// The skin the settings describe (Skin.*).
Skin SkinFromSettings(const SettingsStore& settings);

// The skin in use, which windows built later put on. UI thread.
void SetCurrentSkin(const Skin& skin);
const Skin& CurrentSkin();

void ApplySkinFrame(Window& window, const Skin& skin);
// Every live toolkit window of class "Pinatrove" of this thread.
void ApplySkinFrameToAll(const Skin& skin);

}  // namespace pt
