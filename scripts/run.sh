#!/usr/bin/env bash
# The main job: installs what is missing, builds the calculator and opens its
# window under Wine on this display. Ends when the calculator is closed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target kem

if [ -z "${DISPLAY:-}" ]; then
    cat >&2 <<'MSG'
Built build/windows/kem.exe, but there is no display to open its window on
(DISPLAY is not set). Either log in with X forwarding (ssh -X) and run this
again, or run it on a virtual display, where it works unseen:

    xvfb-run -a scripts/run.sh

To see the window from such a machine, scripts/screenshot.sh starts it on a
virtual display and writes a picture of it to docs/screenshot.png.
MSG
    exit 1
fi

export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompts on a first start: the calculator needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -d "${WINEPREFIX:-$HOME/.wine}" ]; then
    echo "First start: Wine sets up ${WINEPREFIX:-$HOME/.wine} (about 15 seconds)."
    wineboot -i >/dev/null 2>&1 || true
fi
# Without it the result fields cut off the bottom of their texts.
scripts/wine-fonts.sh
exec wine build/windows/kem.exe
