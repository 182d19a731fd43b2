#!/usr/bin/env bash
# Prints through a real spooler under Wine, for one Windows architecture (win64 or win32):
# starts CUPS if it is not running, adds a queue whose backend (zelkcapture beside this
# script) writes each job to a file, makes it the default printer of this run alone (PRINTER
# and LPDEST, in a Wine prefix of its own), runs the Print tests of the Windows suite, checks
# that the spooler printed each job once, and removes the queue and the backend again. Run it
# on a display (xvfb-run -a) after the ARCH tree is built.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
arch=${1:?usage: run_print_tests.sh win64|win32}
# lpstat -r exits 0 either way; only its words tell whether the scheduler runs.
scheduler_runs() { [ "$(lpstat -r 2>/dev/null)" = "scheduler is running" ]; }
started_cupsd=false
if ! scheduler_runs; then
  /usr/sbin/cupsd
  started_cupsd=true
  for _ in $(seq 1 100); do scheduler_runs && break; sleep 0.2; done
fi
scheduler_runs || { echo "print: the CUPS scheduler does not run" >&2; exit 1; }
backend=/usr/lib/cups/backend/zelkcapture
queue="ZelkCapture$$"
capture=$(mktemp -d)
chmod 0777 "$capture"  # the backend runs as the spooler's user
cleanup() {
  lpadmin -x "$queue" 2>/dev/null || true
  rm -f "$backend"
  rm -rf "$capture"
  if $started_cupsd; then pkill -x cupsd || true; fi  # a scheduler this run started goes too
}
trap cleanup EXIT
install -m 0700 "$root/tests/print/zelkcapture" "$backend"
# CUPS calls a queue without a driver "raw" and warns that such queues are deprecated.
if ! out=$(lpadmin -p "$queue" -E -v "zelkcapture:$capture" -m raw 2>&1); then
  echo "print: could not add the capture queue: $out" >&2
  exit 1
fi
export PRINTER=$queue LPDEST=$queue ZELK_PRINT_CAPTURE=$capture ZELK_WINE_ARCH=$arch
export WINEPREFIX="$root/build/wineprefix-print-$arch"
tests="$root/build/$arch/tests/win32/zelk_win32_tests.exe"
"$root/cmake/wine-run.sh" "$tests" --gtest_filter='Print.*' --gtest_brief=1
# The suite printed four jobs; none may have gone through twice or still be waiting.
for _ in $(seq 1 100); do [ -z "$(lpstat -o "$queue" 2>/dev/null)" ] && break; sleep 0.2; done
jobs=$(find "$capture" -maxdepth 1 -name 'job-*' ! -name '*.*' | wc -l)
if [ -n "$(lpstat -o "$queue" 2>/dev/null)" ] || [ "$jobs" -ne 4 ]; then
  echo "print $arch: the spooler holds or printed $jobs jobs, not the 4 the tests sent" >&2
  exit 1
fi
echo "print $arch: 4 jobs printed once each"
