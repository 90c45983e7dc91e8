#!/bin/bash
# Runs the screens check (CHECK_EXE) on a desktop of its own, so the shared
# test session's display and DPI stay as they are:
#   run.sh BUILD CHECK_EXE
# The desktop: a 1366 x 768 primary screen with a 40-pixel taskbar at the
# bottom, at 120 DPI (125 %), and a 1280 x 1024 screen below it. One Xvfb
# screen carries both; a stand-in Xinerama library tells Wine where each
# monitor lies (Xvfb's own Xinerama stacks every screen at 0,0), and the root
# window's _NET_WORKAREA gives the primary its taskbar. The screens are
# stacked rather than side by side because Wine's DESKTOPHORZRES is the width
# of the whole desktop, which a wider desktop would turn into a scale factor.
# Wine keeps its monitor list per prefix: the prefix is a copy of the
# session's (hard links for the big system binaries), with its own
# wineserver, removed at the end.
set -euo pipefail
build="$(cd "${1:?build folder}" && pwd)"
check="${2:?check exe}"
here="$(cd "$(dirname "$0")" && pwd)"
tools="$here/../../../tools"
session="$build/wine"
if [ ! -f "$session/prefix.ready" ]; then
  echo "screens: no test session; run: tools/wine-session up $build" >&2
  exit 1
fi
arch="$(cat "$build/wine-arch" 2>/dev/null || echo win32)"
root="$(mktemp -d "${TMPDIR:-/tmp}/pt-screens.XXXXXX")"
xvfb=""
cleanup() {
  [ -n "${WINESERVER:-}" ] && "$WINESERVER" -k 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT

cp -al "$session/prefix" "$root/prefix"
# Everything outside the system binaries and fonts gets its own copy: Wine
# rewrites some files in place, which through a link would reach the
# session's prefix.
find "$root/prefix" -type f ! -path '*/system32/*' ! -path '*/syswow64/*' ! -path '*/Fonts/*' \
  -print0 | while IFS= read -r -d '' f; do cp -p "$f" "$f.copy" && mv -f "$f.copy" "$f"; done
mkdir -p "$root/home/Desktop" "$root/lib"
cc -shared -fPIC -O2 -o "$root/lib/libXinerama.so.1" "$here/fake_xinerama.c"

for n in $(seq 150 199); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -noreset -extension RANDR -screen 0 1366x1792x24 -nolisten tcp >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
    xvfb=$pid
    export DISPLAY=":$n"
    break
  fi
done
[ -n "$xvfb" ] || { echo "screens: could not start Xvfb" >&2; exit 1; }
xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA 0,0,1366,728

source "$tools/wine-env.sh" "$root" "$arch"
export LD_LIBRARY_PATH="$root/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
export PT_SCREENS="0,0,1366,768;0,768,1280,1024"
("$WINESERVER" -p >/dev/null 2>&1 &)
"$PT_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 120 /f \
  </dev/null >/dev/null 2>&1
# As wine-exec: helper processes Wine starts keep the output handles they
# inherit, so the check writes to a file that is shown once it is done.
out="$root/out.txt"
rc=0
"$PT_WINE" "$check" "${@:3}" </dev/null >"$out" 2>&1 || rc=$?
cat "$out"
exit $rc
