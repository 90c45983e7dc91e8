// The gallery's demos: single scenes put on screen for a look (and a
// screenshot), each run for `seconds` after the toolkit and the resources
// are up.
#pragma once

namespace pt {

int RunFramesDemo(int seconds);
int RunListsDemo(int seconds);
int RunMessageBoxDemo(int seconds, unsigned flags, bool dark);

// Runs the message loop for `seconds` without waiting on anything.
void PumpForSeconds(int seconds);

}  // namespace pt
