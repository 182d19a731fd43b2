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
echo "== packages: build, install, uninstall, run (Wine)"
bash scripts/package.sh
xvfb-run -a bash tests/install/test_packages.sh
# A short libFuzzer run of each scanner from its seed corpus; any finding fails the run.
echo "== fuzz (${ZELK_FUZZ_SECONDS:=60} s a target)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
for target in dsc pdf tiff; do
  work="build/fuzz/corpus-$target"
  mkdir -p "$work"
  set +e
  build/fuzz/fuzz/fuzz_$target -max_total_time="$ZELK_FUZZ_SECONDS" -rss_limit_mb=2048 \
    -artifact_prefix=build/fuzz/ -print_final_stats=1 "$work" "fuzz/corpus/$target" 2>&1 |
    grep -E '^(stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY|artifact_prefix)'
  status=${PIPESTATUS[0]}
  set -e
  [ "$status" -eq 0 ] || { echo "fuzz_$target found a fault (input saved in build/fuzz/)" >&2; exit 1; }
done
