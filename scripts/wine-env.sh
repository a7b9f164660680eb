# Sourced by scripts that run Windows programs: starts a private Xvfb display
# and boots a private Wine prefix, both removed again on exit.
# After sourcing: DISPLAY, WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES are exported.

kem_wine_cleanup() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        wineserver -k >/dev/null 2>&1 || true
        rm -rf "$KEM_WINE_TMP"
    fi
    [ -n "${KEM_XVFB_PID:-}" ] && kill "$KEM_XVFB_PID" >/dev/null 2>&1 || true
}

kem_start_xvfb() {
    local n
    for n in $(seq 90 190); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        KEM_XVFB_PID=$!
        local i
        for i in $(seq 1 100); do
            if xdpyinfo -display ":$n" >/dev/null 2>&1; then
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$KEM_XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$KEM_XVFB_PID" >/dev/null 2>&1 || true
    done
    echo "error: could not start a virtual X display (Xvfb)" >&2
    return 1
}

kem_boot_wine() {
    KEM_WINE_TMP=$(mktemp -d /tmp/kem-wine.XXXXXX)
    export WINEPREFIX="$KEM_WINE_TMP/prefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win32
    echo "Booting a Wine prefix in $WINEPREFIX ..."
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
    # A persistent server keeps each test's start-up short.
    wineserver -p >/dev/null 2>&1 || true
    # The first program after a boot starts Wine's services, which inherit its
    # output; start them here, detached, so no test's output pipe is held open.
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    # The dialog font the result fields are laid out for.
    "$(dirname "${BASH_SOURCE[0]}")/wine-fonts.sh"
}

trap kem_wine_cleanup EXIT
kem_start_xvfb
kem_boot_wine
