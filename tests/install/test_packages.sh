#!/usr/bin/env bash
# Installs what a user installs, under Wine in the project's prefix, and checks it: the
# installer silently into a folder of its own (files, shortcuts, the uninstaller's entry, a
# run of the installed program), its silent uninstall (program gone, the user's changed
# PreZelk.INI kept), and the portable zip unpacked elsewhere and run from there.
# Run it on a display (xvfb-run -a); it expects dist/ from scripts/package.sh.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
wine_run="$root/cmake/wine-run.sh"
export WINEPREFIX=${WINEPREFIX:-"$root/build/wineprefix"}
installer=$(ls "$root"/dist/Zelk-*-win32.exe) zip=$(ls "$root"/dist/Zelk-*-win32.zip)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
windows() { printf 'Z:%s' "${1//\//\\}"; }
passed=0 failed=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what" >&2; fi
}
contains() { grep -qaF "$2" "$1"; }
# A run of the program to its snapshot, as the README's run command does it.
snapshot() {  # snapshot EXE PNG
  rm -f "$2"
  "$wine_run" "$(windows "$1")" "$(windows "$root/samples/separated.ps")" \
    --snapshot "$(windows "$2")" >"$work/report.txt" 2>/dev/null
  [ -s "$2" ] && contains "$work/report.txt" "Zelk in separated.ps"
}

# (/D= takes the rest of the command line as the folder; Wine would quote a path with blanks.)
target="$work/ZelkInstalled"
"$wine_run" "$installer" /S "/D=$(windows "$target")" 2>/dev/null
wineserver -w
for f in Zelk.exe Kestrin.exe zelk-inspect.exe Uninstall.exe LICENSE.txt README.txt \
         ZelkHelp/Zelk_Help_index.htm ZelkHelp/Zelk_menu.htm ZelkHelp/window.png; do
  check "installed $f" test -s "$target/$f"
done
check "no settings file shipped" test ! -e "$target/PreZelk.INI"
for exe in Zelk.exe Kestrin.exe; do  # run as the user who starts them
  check "$exe carries its manifest" contains "$target/$exe" 'requestedExecutionLevel level="asInvoker"'
done
check "the installed program runs" snapshot "$target/Zelk.exe" "$work/installed.png"

user_dir=$(ls -d "$WINEPREFIX"/drive_c/users/*/ | grep -v Public | head -n 1)
start="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Zelk/Zelk.lnk"
sendto="$user_dir/AppData/Roaming/Microsoft/Windows/SendTo/Zelk.lnk"
for link in "$start" "$sendto"; do
  check "shortcut $(basename "$(dirname "$link")")" test -s "$link"
  check "it starts the installed program" contains "$link" "ZelkInstalled\\Zelk.exe"
done
"$wine_run" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zelk' \
  /v UninstallString >"$work/reg.txt" 2>/dev/null
check "registered for Add/Remove Programs" contains "$work/reg.txt" "Uninstall.exe"

printf '[Init]\r\nUnits=pt\r\n' >"$target/PreZelk.INI"
"$wine_run" "$(windows "$target/Uninstall.exe")" /S 2>/dev/null
# The uninstaller runs from a copy of itself in the temporary folder and returns at once.
for _ in $(seq 1 120); do [ -e "$target/Zelk.exe" ] || break; sleep 0.5; done
wineserver -w
for f in Zelk.exe Kestrin.exe zelk-inspect.exe ZelkHelp README.txt; do
  check "uninstalled $f" test ! -e "$target/$f"
done
check "the user's settings kept" contains "$target/PreZelk.INI" "Units=pt"
check "Start menu entry removed" test ! -e "$start"
check "Send To entry removed" test ! -e "$sendto"

unzip -q "$zip" -d "$work/stick"
portable=$(ls -d "$work"/stick/Zelk-*-win32)
check "the portable program runs" snapshot "$portable/Zelk.exe" "$work/portable.png"

echo "install: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
