# Sourced with the session folder as $1 and the Wine architecture (win32 or
# win64) as $2: the environment every Wine process of a test session shares
# (one prefix, one wineserver, code page 936 unless PT_LOCALE says otherwise).
export WINEPREFIX="$1/prefix"
export WINEARCH="${2:-win32}"
export WINEDEBUG="${PT_WINEDEBUG:--all}"
# No Mono/Gecko installs, no desktop entries from saved shortcuts.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME="$1/home"
# Wine takes its ANSI code page from the locale name; the locale need not be
# generated on the host.
export LC_ALL="${PT_LOCALE:-zh_CN.UTF-8}"
unset WAYLAND_DISPLAY
if [ "$WINEARCH" = win64 ]; then
  PT_WINE=/usr/lib/wine/wine64; PT_WINESERVER=/usr/lib/wine/wineserver64
else
  PT_WINE=/usr/lib/wine/wine; PT_WINESERVER=/usr/lib/wine/wineserver32
fi
[ -x "$PT_WINESERVER" ] || PT_WINESERVER=wineserver
export WINESERVER="$PT_WINESERVER"
