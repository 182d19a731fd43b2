#!/usr/bin/env bash
# Builds every tree (native, native with ASan+UBSan, 32-bit Windows) and runs every suite;
# the Windows suites run under Wine on a virtual display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
echo "== format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
jobs=$(nproc)
for preset in native asan win32; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
echo "== test native"
ctest --preset native -j "$jobs"
echo "== test asan"
ctest --preset asan -j "$jobs"
echo "== test win32 (Wine)"
xvfb-run -a ctest --preset win32
