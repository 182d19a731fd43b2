#!/usr/bin/env bash
# Runs a Windows program under Wine quietly, in the project's own Wine prefix, so tests
# neither depend on nor disturb the user's ~/.wine.
#
# The prefix is made once, with what makes the window look as designed: the design's face
# "MS Sans Serif" mapped to DejaVu Sans Condensed (the closest widths Debian has; Wine's
# bitmap sserife.fon lacks the large bold sizes), and Marlett for the title-bar buttons. It
# is left to settle before the program starts, so the program never joins a Wine session
# that was begun without a display.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d"}
export WINEPREFIX=${WINEPREFIX:-"$(cd "$(dirname "$0")/.." && pwd)/build/wineprefix"}
ready="$WINEPREFIX/.zelk-ready"
if [ ! -e "$ready" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -e "$ready" ]; then
      wineboot -i >/dev/null 2>&1
      wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v 'MS Sans Serif' /d 'DejaVu Sans Condensed' /f >/dev/null 2>&1
      fonts="$WINEPREFIX/drive_c/windows/Fonts"
      mkdir -p "$fonts"
      [ -f /usr/share/wine/fonts/marlett.ttf ] && cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
      wineserver -w
      touch "$ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
