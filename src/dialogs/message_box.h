// The program's own message box: every notice, error and question reaches
// the user here, drawn in the program's look. Its interface mirrors the
// system one (text, title, MB_ flags for the buttons and the icon; see
// message_box_rules.h for the returned values). Modal to its owner.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "dialogs/message_box_rules.h"

namespace pt {

// Shows the box and returns the value of the button that ended it. `owner`
// is the calling window; it owns the box (and is disabled meanwhile) only
// when it is a live toolkit window. `title` empty gives "提示". Callable
// from any thread: the box always runs on the UI thread, and a caller on
// another thread waits for the answer.
int ShowMessageBox(HWND owner, std::string_view text, std::string_view title = {},
                   unsigned flags = 0);

}  // namespace pt
