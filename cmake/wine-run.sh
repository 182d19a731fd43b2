#!/usr/bin/env bash
# Runs a Windows program under Wine quietly, in the project's own Wine prefix, so tests
# neither depend on nor disturb the user's ~/.wine.
#
# Each Windows architecture has its own prefix and loader: build/wineprefix-win64 with
# Wine's 64-bit loader, build/wineprefix-win32 with the 32-bit one. The architecture is
# ZELK_WINE_ARCH (win64 or win32) when set, else read from the program's own PE header,
# else win64. The loader is named directly: Debian's `wine` command picks the 32-bit loader
# whenever wine32 is installed, even on a kernel that cannot run it.
#
# The prefix is made once, with what makes the window look as designed: the design's face
# "MS Sans Serif" mapped to DejaVu Sans Condensed (the closest widths Debian has; Wine's
# bitmap sserife.fon lacks the large bold sizes), and Marlett for the title-bar buttons. It
# is left to settle before the program starts, so the program never joins a Wine session
# that was begun without a display. A prefix whose loader cannot run is never marked made.
set -uo pipefail

# The machine field of a PE file: 8664 for x64, 014c for x86; nothing for other files.
pe_machine() {
  [ -f "$1" ] || return 0
  local at
  at=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$at" ] || return 0
  [ "$(od -An -c -j "$at" -N 2 "$1" 2>/dev/null | tr -d ' ')" = "PE" ] || return 0
  od -An -t x2 -j $((at + 4)) -N 2 "$1" 2>/dev/null | tr -d ' '
}

arch=${ZELK_WINE_ARCH:-}
if [ -z "$arch" ]; then
  case "$(pe_machine "${1:-}")" in
    014c) arch=win32 ;;
    *) arch=win64 ;;
  esac
fi
case "$arch" in
  win64) loader=/usr/lib/wine/wine64 ;;
  win32) loader=/usr/lib/wine/wine ;;
  *) echo "wine-run: unknown architecture '$arch' (win64 or win32)" >&2; exit 2 ;;
esac
if [ ! -x "$loader" ]; then
  echo "wine-run: $loader is missing: Wine for $arch is not installed" >&2
  exit 126
fi
export WINELOADER=$loader WINEARCH=$arch
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d"}
export WINEPREFIX=${WINEPREFIX:-"$(cd "$(dirname "$0")/.." && pwd)/build/wineprefix-$arch"}
ready="$WINEPREFIX/.zelk-ready"
if [ ! -e "$ready" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -e "$ready" ]; then
      "$loader" wineboot -i >/dev/null 2>&1 || exit 126
      "$loader" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v 'MS Sans Serif' /d 'DejaVu Sans Condensed' /f >/dev/null 2>&1 || exit 126
      fonts="$WINEPREFIX/drive_c/windows/Fonts"
      mkdir -p "$fonts"
      [ -f /usr/share/wine/fonts/marlett.ttf ] && cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
      wineserver -w
      touch "$ready"
    fi
  ) 9>"$WINEPREFIX.lock" || {
    echo "wine-run: Wine's $arch loader cannot run here; the prefix $WINEPREFIX was not made" >&2
    exit 126
  }
fi
exec "$loader" "$@"
