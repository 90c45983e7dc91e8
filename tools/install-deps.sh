#!/bin/bash
# Installs what building, running and testing need on Debian 12, as root.
# Quick when nothing is missing: only absent packages are fetched.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev python3 python3-fonttools
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
  binutils-mingw-w64-x86-64 libz-mingw-w64-dev zlib1g-dev googletest
  rapidjson-dev nlohmann-json3-dev
  wine wine64 xvfb xdotool x11-utils imagemagick fonts-wqy-microhei fonts-wine
)
# 32-bit Wine runs the i686 build's tests where the kernel runs 32-bit code.
i386=(wine32:i386)

missing=()
for p in "${packages[@]}" "${i386[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" != 0 ]; then
  echo "install-deps: missing packages: ${missing[*]} (run as root)" >&2
  exit 1
fi
echo "install-deps: installing ${missing[*]}"
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
apt-get update -q >/dev/null
apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
