#!/usr/bin/env bash
# Builds the two things a user installs, into dist/: the per-user installer and the portable
# zip, both named with the program's version.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$(nproc)" --target Zelk Kestrin zelk-inspect ZelkHelp
mkdir -p dist
(cd build/win32 && cpack -G "ZIP;NSIS" -B "$root/dist" >/dev/null)
rm -rf dist/_CPack_Packages
ls dist/*.exe dist/*.zip
