#!/usr/bin/env bash
# Prints the Windows architectures (win64, win32) whose programs run under Wine on this host,
# one a line, best first. It asks by running a tiny program of each architecture in that
# architecture's prefix: package names say nothing of a kernel that runs no 32-bit code.
# Says on standard error why an architecture is left out.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
probe_dir="$root/build/probe"
mkdir -p "$probe_dir"
printf '#include <stdio.h>\nint main(void) { puts("zelk-probe-ok"); return 0; }\n' >"$probe_dir/probe.c"
for arch in win64 win32; do
  case "$arch" in
    win64) triple=x86_64-w64-mingw32 bits=64 ;;
    win32) triple=i686-w64-mingw32 bits=32 ;;
  esac
  exe="$probe_dir/probe-$arch.exe"
  if ! "$triple-gcc" -o "$exe" "$probe_dir/probe.c" 2>"$probe_dir/$arch.log"; then
    echo "this host cannot build $bits-bit Windows programs ($triple-gcc failed): $arch skipped" >&2
    continue
  fi
  if ZELK_WINE_ARCH=$arch timeout 300 "$root/cmake/wine-run.sh" "$exe" 2>>"$probe_dir/$arch.log" |
      tr -d '\r' | grep -qx zelk-probe-ok; then
    echo "$arch"
  else
    echo "this host runs no $bits-bit Windows programs under Wine ($(tail -n 1 "$probe_dir/$arch.log"))" >&2
  fi
done
