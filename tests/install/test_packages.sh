#!/usr/bin/env bash
# Installs what a user installs, under Wine in the project's prefix, and checks it: the
# installer silently into a folder of its own (files, shortcuts, the uninstaller's entry, a
# run of the installed program), its silent uninstall (program gone, the user's changed
# PreZelk.INI kept), and the portable zip unpacked elsewhere and run from there.
# The programs it finds installed must be stripped and still run.
# Run it on a display (xvfb-run -a) as test_packages.sh ARCH (win64 or win32); it expects
# dist/ from scripts/package.sh.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
arch=${1:-win64}
case "$arch" in
  win64) triple=x86_64-w64-mingw32 ;;
  win32) triple=i686-w64-mingw32 ;;
  *) echo "usage: test_packages.sh win64|win32" >&2; exit 2 ;;
esac
wine_run="$root/cmake/wine-run.sh"
export ZELK_WINE_ARCH=$arch
export WINEPREFIX=${WINEPREFIX:-"$root/build/wineprefix-$arch"}
installer=$(ls "$root"/dist/Zelk-*-"$arch".exe) zip=$(ls "$root"/dist/Zelk-*-"$arch".zip)
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

# Shipped programs carry no debugging sections, and a Zelk.exe of a few megabytes at most.
stripped() { ! "$triple-objdump" -h "$1" | grep -q '\.debug'; }
small() { [ "$(stat -c %s "$1")" -lt $((3 * 1024 * 1024)) ]; }
# Kestrin.exe runs when it delivers a job into a folder with no window at all.
delivers() {  # delivers KESTRIN FOLDER
  mkdir -p "$2"
  "$wine_run" "$(windows "$1")" "$(windows "$root/samples/separated.ps")" "$(windows "$2")\\" \
    "Job" >/dev/null 2>&1 && cmp -s "$root/samples/separated.ps" "$2/separated.ps"
}
runs_inspect() { "$wine_run" "$(windows "$1")" --version 2>/dev/null | grep -q '^zelk-inspect'; }
# Each way of shipping: every program stripped and running.
shipped() {  # shipped FOLDER WHAT
  for exe in Zelk.exe Kestrin.exe zelk-inspect.exe; do
    check "$2 $exe stripped" stripped "$1/$exe"
  done
  check "$2 Zelk.exe under 3 MB" small "$1/Zelk.exe"
  check "$2 Kestrin.exe runs" delivers "$1/Kestrin.exe" "$work/$2-out"
  check "$2 zelk-inspect.exe runs" runs_inspect "$1/zelk-inspect.exe"
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
shipped "$target" installed

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
portable=$(ls -d "$work"/stick/Zelk-*-"$arch")
check "the portable program runs" snapshot "$portable/Zelk.exe" "$work/portable.png"
shipped "$portable" portable

echo "install $arch: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
