#!/usr/bin/env bash
# Builds every tree (native, native with ASan+UBSan, 64- and 32-bit Windows, the fuzz
# targets) and runs every suite. The Windows suites and the packages' install test run under
# Wine on a virtual display, for each Windows architecture that this host can run: both trees
# are always built, so neither rots where its programs cannot run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
echo "== format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "== layers"
python3 scripts/check_layers.py
jobs=$(nproc)
for preset in native asan win64 win32; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
echo "== test native"
ctest --preset native -j "$jobs"
echo "== test asan"
ctest --preset asan -j "$jobs"

echo "== which Windows programs run here"
runnable=$(bash scripts/wine-arches.sh)
if [ -z "$runnable" ]; then
  echo "this host runs neither 64- nor 32-bit Windows programs under Wine: cannot test" >&2
  exit 1
fi
runs() { grep -qx "$1" <<<"$runnable"; }
for arch in win64 win32; do
  if runs "$arch"; then
    echo "== test $arch (Wine)"
    xvfb-run -a ctest --preset "$arch"
    echo "== print $arch through CUPS (Wine)"
    xvfb-run -a bash tests/print/run_print_tests.sh "$arch"
  else
    echo "this host runs no ${arch#win}-bit Windows programs: $arch built, its Wine tests skipped"
  fi
done
echo "== packages: build, install, uninstall, run (Wine)"
bash scripts/package.sh
for arch in win64 win32; do
  if runs "$arch"; then
    xvfb-run -a bash tests/install/test_packages.sh "$arch"
  else
    echo "this host runs no ${arch#win}-bit Windows programs: the $arch packages built, not installed"
  fi
done

# A short libFuzzer run of each scanner from its seed corpus; any finding fails the run.
echo "== fuzz (${ZELK_FUZZ_SECONDS:=30} s a target)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs" --target fuzz_dsc fuzz_pdf fuzz_tiff fuzz_preflight
for target in dsc pdf tiff preflight; do
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
