// The input method (IME) of toolkit windows: switched off and on per window
// (a window whose keys must arrive as they are pressed, like the settings
// window with its hotkey boxes, has none), and its composition and
// candidate windows placed at an edit's caret rather than in a corner.
#pragma once

#include <windows.h>

namespace pt {

// Off detaches the window's input context; on gives it back the thread's
// default one. True when the window then has the wanted state.
bool SetWindowImeEnabled(HWND hwnd, bool on);
bool WindowImeEnabled(HWND hwnd);

// Places the composition window at `caret` (client coordinates of `hwnd`,
// the top of a line `lineHeight` high) and the candidate list under that
// line, in `font` when given. Nothing happens without an input context.
void PlaceImeWindows(HWND hwnd, POINT caret, int lineHeight, const LOGFONTW* font);

}  // namespace pt
