#!/usr/bin/env bash
# Runs a Windows program under Wine: the emulator CMake puts before every
# cross-built test. scripts/test.sh exports WINEPREFIX and DISPLAY for a whole
# run; without them a private prefix is made next to this script's caller.
set -euo pipefail

export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompts: nothing here needs them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ -z "${WINEPREFIX:-}" ]; then
    export WINEPREFIX="$PWD/wineprefix"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
fi
"$(dirname "$0")/wine-fonts.sh"
exec wine "$@"
