#!/usr/bin/env bash
# Runs Zelk on a job (the bundled sample when none is given). With a display it opens the
# window; without one it runs under Xvfb, saves a PNG of the window when the scan has
# ended (out/zelk-window.png) and prints the report.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
job=$(realpath "${1:-$root/samples/sample.ps}")
# The 64-bit program wherever it runs; the 32-bit one where only that runs.
arch=$(bash "$root/scripts/wine-arches.sh" | head -n 1)
if [ -z "$arch" ]; then
  echo "run: this host runs neither 64- nor 32-bit Windows programs under Wine" >&2
  exit 1
fi
exe="$root/build/$arch/src/Zelk.exe"
if [ ! -x "$exe" ] || [ -n "$(find "$root/src" "$root/resources" -newer "$exe" -print -quit)" ]; then
  cmake --preset "$arch" -S "$root" >/dev/null
  cmake --build "$root/build/$arch" --target Zelk >/dev/null
fi
wine_run="$root/cmake/wine-run.sh"
# Wine sees the Unix root as drive Z:; no Wine call is needed to say so.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
if [ -n "${DISPLAY:-}" ]; then
  exec "$wine_run" "$exe" "$(windows_path "$job")"
fi
mkdir -p "$root/out"
png="$root/out/zelk-window.png"
rm -f "$png"
# Xvfb's shutdown makes Wine's X11 driver complain on the way out; that line is noise.
set +e
xvfb-run -a "$wine_run" "$exe" "$(windows_path "$job")" --snapshot "$(windows_path "$png")" \
  2> >(grep -v '^X connection to' >&2) | tr -d '\r'
status=${PIPESTATUS[0]}
set -e
if [ "$status" -ne 0 ] || [ ! -s "$png" ]; then
  echo "run: Zelk.exe ended with status $status and saved no picture of the window" >&2
  exit 1
fi
echo "Picture of the window: $png"
