#!/usr/bin/env bash
# Runs a 64-bit Windows program under Wine, headless and quiet, in the
# build's own Wine prefix (build/windows/wine unless WINEPREFIX is set).
# CTest runs the Windows tests through it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$root/build/windows/wine}"
export WINEDEBUG=-all
# No prompts to install Wine's .NET and HTML engines; nothing here uses them.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
exec /usr/lib/wine/wine64 "$@"
