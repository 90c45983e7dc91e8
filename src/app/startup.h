// The road from process start to the message loop and back out.
#pragma once

#include <windows.h>

namespace pt {

// Runs the program; the process's exit code.
int RunApplication(HINSTANCE instance);

}  // namespace pt
