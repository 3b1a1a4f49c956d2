#!/usr/bin/env bash
# Runs a 32-bit Windows program under 32-bit Wine, headless and quiet, in the
# 32-bit build's own Wine prefix (build/windows-x86/wine unless WINEPREFIX is
# set). CTest runs the 32-bit Windows tests through it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$root/build/windows-x86/wine}"
export WINEARCH=win32
export WINEDEBUG=-all
# No prompts to install Wine's .NET and HTML engines; nothing here uses them.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
exec /usr/lib/wine/wine "$@"
