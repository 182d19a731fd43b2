#!/usr/bin/env bash
# Runs a Windows program under Wine quietly, in the project's own Wine prefix, so tests
# neither depend on nor disturb the user's ~/.wine.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d"}
export WINEPREFIX=${WINEPREFIX:-"$(cd "$(dirname "$0")/.." && pwd)/build/wineprefix"}
exec wine "$@"
