#!/usr/bin/env bash
# Makes the help's picture of the window from the program's own snapshot (the way
# scripts/run.sh shows a job without a display); the labels are laid over it by the page.
# Run it after a change to the window; its output is committed beside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/run.sh" "$root/samples/separated.ps" >/dev/null
cp "$root/out/zelk-window.png" "$root/help/window.png"
echo "help/window.png"
