// Where the program lives: the folder of the exe, which holds data\ and the
// plugin folder and is made the working directory at start.
#pragma once

#include <string>

namespace pt {

// Full path of the running exe (any length), UTF-8.
std::string ExePath();
// The exe's folder without a trailing backslash.
std::string ExeDirectory();
// Makes the exe's folder the working directory; false when that fails.
bool EnterExeDirectory();

}  // namespace pt
