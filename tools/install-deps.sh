#!/bin/bash
# Installs what building, running and testing need on Debian 12, as root.
# Quick when nothing is missing: only absent packages are fetched.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev python3 python3-fonttools
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
  binutils-mingw-w64-x86-64 libz-mingw-w64-dev zlib1g-dev googletest
  rapidjson-dev nlohmann-json3-dev unicode-data
  locales wine wine64 xvfb xdotool x11-utils imagemagick fonts-wqy-microhei fonts-wine
)
# 32-bit Wine runs the i686 build's tests where the kernel runs 32-bit code.
i386=(wine32:i386)

missing=()
for p in "${packages[@]}" "${i386[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# Wine names Unix files in the locale's character set: without these
# locales, file names outside ASCII cannot be created in the test prefix.
need_locales() { ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8' || ! locale -a 2>/dev/null | grep -qix 'en_US.utf8'; }
if [ ${#missing[@]} -eq 0 ] && ! need_locales; then
  exit 0
fi
if [ "$(id -u)" != 0 ]; then
  echo "install-deps: missing packages: ${missing[*]} (run as root)" >&2
  exit 1
fi
[ ${#missing[@]} -eq 0 ] || echo "install-deps: installing ${missing[*]}"
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
# A mirror in mid-sync fails one index now and then; the others still load,
# so the update is tried again and the install goes ahead on what it has.
if [ ${#missing[@]} -ne 0 ]; then
  for try in 1 2 3; do
    apt-get update -q >/dev/null && break
    echo "install-deps: package index update failed (try $try of 3)" >&2
    sleep $((try * 5))
  done
  installed=0
  for try in 1 2; do
    apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null && { installed=1; break; }
    apt-get update -q >/dev/null || true
  done
  # When only the i386 index failed, its packages no longer match the
  # amd64 ones they must equal; everything else is still worth having, and
  # the tests then build the i686 release without running its tests.
  if [ $installed = 0 ]; then
    rest=()
    for p in "${missing[@]}"; do [[ "$p" == *:i386 ]] || rest+=("$p"); done
    if [ ${#rest[@]} -ne ${#missing[@]} ] &&
       apt-get install -y -q --no-install-recommends "${rest[@]}" >/dev/null; then
      echo "install-deps: WARNING: 32-bit Wine could not be installed; the i686 tests will not run" >&2
      installed=1
    fi
  fi
  [ $installed = 1 ] || { echo "install-deps: could not install ${missing[*]}" >&2; exit 1; }
fi

if need_locales; then
  sed -i -E 's/^# *(zh_CN.UTF-8 UTF-8|en_US.UTF-8 UTF-8)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  grep -q '^en_US.UTF-8 UTF-8' /etc/locale.gen || echo 'en_US.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
