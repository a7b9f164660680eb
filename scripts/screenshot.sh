#!/usr/bin/env bash
# Takes docs/screenshot.png: the real kem.exe under Wine on a private virtual
# display, with one item's figures typed in and recalculated.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target kem kemprobe

source scripts/wine-env.sh
# No window manager runs on the virtual display, so nothing would draw the
# title bar; inside a Wine desktop window Wine draws it itself.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 640x480 /f >/dev/null 2>&1
# The title bar's buttons are drawn with Wine's Marlett font, which this Wine
# build does not find in its own data folder.
if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi
# The settings are read when the desktop starts: restart the Wine server.
wineserver -k
wineserver -w
wineserver -p >/dev/null 2>&1 || true

probe() {
    wine build/windows/tests/window/kemprobe.exe "$@"
}

wine build/windows/kem.exe &
kem_pid=$!
probe shown 30000
probe settext 110 '$10'
probe settext 111 '$8'
probe settext 112 50
probe settext 113 5
probe command 1000
read -r x y w h < <(probe window)

# The picture is taken once two captures in a row agree, so the window has
# finished painting (at most five seconds).
shot=$(mktemp /tmp/kem-shot.XXXXXX.png)
previous=""
for _ in $(seq 1 50); do
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shot"
    current=$(md5sum < "$shot")
    [ "$current" = "$previous" ] && break
    previous=$current
    sleep 0.1
done
mkdir -p docs
mv "$shot" docs/screenshot.png

probe command 2
wait "$kem_pid"
echo "Wrote docs/screenshot.png (${w}x${h})"
