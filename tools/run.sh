#!/bin/bash
# Builds the program and starts it under Wine, from a fresh Debian 12 machine:
#   bash tools/run.sh
# Uses the current X display when there is one, else a virtual one (Xvfb).
# The program keeps its data\ folder beside the exe in the build folder.
# The release exe is 32-bit (build/win32/Pinatrove.exe); where this kernel
# cannot run 32-bit code, the 64-bit build of the same sources is started.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh

if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  build=build/win32; toolchain=cmake/toolchain-mingw-i686.cmake
else
  build=build/win64; toolchain=cmake/toolchain-mingw-x86_64.cmake
  echo "run: 32-bit Wine does not run here (not installed, or a kernel without 32-bit code); starting the x86_64 build"
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
cmake --build "$build" --target Pinatrove

if [ -n "${DISPLAY:-}" ]; then
  PT_USE_DISPLAY=1 tools/wine-session up "$build"
else
  tools/wine-session up "$build"
  echo "run: no display; the program runs on the virtual display $(cat "$build/wine/display")"
  echo "     (screenshot: DISPLAY=$(cat "$build/wine/display") import -window root shot.png)"
fi
trap 'tools/wine-session down "$build"' EXIT
"$build/wine-exec" "$build/Pinatrove.exe"
