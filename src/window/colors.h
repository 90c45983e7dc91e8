// The program's colours by what they are for: the accent, the greys of text
// and frames, the fills of hovered and pressed entries, the message icons.
// Windows, dialogs and the panel take them from here rather than writing the
// numbers where they draw. (The skin frame's own tables are in
// skin_rules.h.) Pure.
#pragma once

#include "toolkit/color.h"

namespace pt {

// The accent: checked entries and tabs, enciphered item names, the question
// and information icons.
inline constexpr Color kAccentColor = MakeColor(0, 136, 255);
// Message icons.
inline constexpr Color kErrorColor = MakeColor(242, 82, 44);
inline constexpr Color kWarningColor = MakeColor(250, 160, 20);
inline constexpr Color kSuccessColor = MakeColor(44, 180, 69);

// Text, darkest first.
inline constexpr Color kEntryTextColor = MakeColor(70, 70, 70);      // sidebar entries, tabs
inline constexpr Color kBodyTextColor = MakeColor(80, 80, 80);       // messages, the date footer
inline constexpr Color kEditorTextColor = MakeColor(100, 100, 100);  // the inline editor
inline constexpr Color kButtonTextColor = MakeColor(120, 120, 120);  // dialog buttons
inline constexpr Color kHintTextColor = MakeColor(150, 150, 150);    // hints, placeholders, glyphs
// An edit field's text and placeholder on a light skin (the toolkit's own).
inline constexpr Color kFieldTextColor = MakeColor(60, 60, 60);
inline constexpr Color kFieldPlaceholderColor = MakeColor(170, 170, 170);
// Missing items' names, menu frames, the drag marker, disabled menu text.
inline constexpr Color kFaintColor = MakeColor(192, 192, 192);

// Fills.
inline constexpr Color kMenuBackgroundColor = MakeColor(255, 255, 255);
inline constexpr Color kMenuSelectedColor = MakeColor(240, 240, 240);
inline constexpr Color kMenuSeparatorColor = MakeColor(225, 225, 225);
inline constexpr Color kMenuTextColor = MakeColor(96, 96, 96);
inline constexpr Color kEntryHoverColor = MakeColor(240, 240, 240);
inline constexpr Color kEntryPressedColor = MakeColor(232, 232, 232);
inline constexpr Color kEntryCheckedColor = MakeColor(232, 240, 250);
inline constexpr Color kTabHoverColor = MakeColor(243, 243, 243);
inline constexpr Color kTabPressedColor = MakeColor(236, 236, 236);

// On a dark skin (the dark colour test): light texts, and white laid thinly
// over the skin for lines and for hover, press and selection fills, so they
// suit whatever dark colour the skin has.
inline constexpr Color kDarkSkinTextColor = MakeColor(232, 232, 232);      // entries, tabs, cells
inline constexpr Color kDarkSkinBodyTextColor = MakeColor(210, 210, 210);  // the date footer
inline constexpr Color kDarkSkinFaintColor = MakeColor(140, 146, 158);     // missing items' names
inline constexpr Color kDarkSkinLineColor = MakeColor(255, 255, 255, 36);
inline constexpr Color kDarkSkinHoverColor = MakeColor(255, 255, 255, 20);
inline constexpr Color kDarkSkinPressedColor = MakeColor(255, 255, 255, 32);
inline constexpr Color kDarkSkinCheckedColor = MakeColor(255, 255, 255, 26);

}  // namespace pt
