#!/usr/bin/env bash
# Builds what a user installs, for 64-bit and for 32-bit Windows, into dist/: the per-user
# installer and the portable zip of each, named with the program's version and architecture
# (Zelk-VERSION-win64.exe, ...-win64.zip, ...-win32.exe, ...-win32.zip). The packaged
# programs are stripped; their unstripped twins go beside them as ...-symbols.zip, so an
# address from a user's crash can still be resolved.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
mkdir -p dist
for arch in win64 win32; do
  cmake --preset "$arch" >/dev/null
  cmake --build --preset "$arch" -j "$(nproc)" --target Zelk Kestrin zelk-inspect ZelkHelp
  (cd "build/$arch" && cpack -G "ZIP;NSIS" -B "$root/dist" >/dev/null)
  name=$(basename "$(ls dist/Zelk-*-"$arch".zip)" .zip)
  rm -f "dist/$name-symbols.zip"
  (cd "build/$arch" && cmake -E tar cf "$root/dist/$name-symbols.zip" --format=zip \
    src/Zelk.exe src/Kestrin.exe cli/zelk-inspect.exe)
done
rm -rf dist/_CPack_Packages
ls dist/*.exe dist/*.zip
