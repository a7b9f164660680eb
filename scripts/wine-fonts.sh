#!/usr/bin/env bash
# Gives the Wine prefix in WINEPREFIX (default ~/.wine) the "System" font the
# calculator's result fields need to show their texts whole (see
# make-dialog-font.py). Quick when the font is already there. Wine reads its
# Fonts folder whenever a program starts, so no restart is needed.
set -euo pipefail

prefix=${WINEPREFIX:-$HOME/.wine}
source_font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
fonts="$prefix/drive_c/windows/Fonts"
font="$fonts/kem-system.ttf"

[ -f "$font" ] && exit 0
mkdir -p "$fonts"
# Written outside the Fonts folder and moved in, so a program starting
# meanwhile never reads half a font.
/usr/bin/python3 "$(dirname "$0")/make-dialog-font.py" "$source_font" "$prefix/kem-system.part"
mv "$prefix/kem-system.part" "$font"
