#!/usr/bin/env bash
# Runs Zelk on a job (the bundled sample when none is given). With a display it opens the
# window; without one it runs under Xvfb, saves a PNG of the window when the scan has
# ended (out/zelk-window.png) and prints the report.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
job=$(realpath "${1:-$root/samples/sample.ps}")
if [ ! -x "$root/build/win32/src/Zelk.exe" ] || [ -n "$(find "$root/src" "$root/resources" -newer "$root/build/win32/src/Zelk.exe" -print -quit)" ]; then
  cmake --preset win32 -S "$root" >/dev/null
  cmake --build "$root/build/win32" --target Zelk >/dev/null
fi
wine_run="$root/cmake/wine-run.sh"
exe="$root/build/win32/src/Zelk.exe"
winjob=$("$wine_run" winepath -w "$job" 2>/dev/null)
if [ -n "${DISPLAY:-}" ]; then
  exec "$wine_run" "$exe" "$winjob"
fi
mkdir -p "$root/out"
png="$root/out/zelk-window.png"
rm -f "$png"
# Xvfb's shutdown makes Wine's X11 driver complain on the way out; that line is noise.
xvfb-run -a "$wine_run" "$exe" "$winjob" --snapshot "$("$wine_run" winepath -w "$png" 2>/dev/null)" \
  2> >(grep -v '^X connection to' >&2) | tr -d '\r'
[ -s "$png" ] || { echo "run: no picture of the window was saved" >&2; exit 1; }
echo "Picture of the window: $png"
