#!/usr/bin/env bash
# Installs what building and testing Zelk needs on a Debian machine, as root.
# Safe to run again: it only installs what is missing. The 32-bit Wine is installed on every
# x86_64 host; where the kernel runs no 32-bit code it installs but does not run, and the
# scripts then use the 64-bit programs alone (scripts/wine-arches.sh finds out).
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

packages=(cmake ninja-build g++ clang clang-format libclang-rt-14-dev libgtest-dev nlohmann-json3-dev
          zlib1g-dev libz-mingw-w64-dev
          g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev
          g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
          wine wine64 wine32:i386 xvfb xauth xdotool python3 time fonts-dejavu-extra fonts-wine nsis
          unzip cups libcups2:i386)
for p in "${packages[@]}"; do have "$p" || need+=("$p"); done
[ ${#need[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${need[@]}"
