# Shared by the end-to-end scripts: runs the built kem.exe under Wine and
# watches it with kemprobe from a separate process.
# Needs: KEM_EXE, KEM_PROBE, KEM_LAUNCHER_DIR (the folder of the stand-in
# "start" program, made the working directory of kem.exe).

kem_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# Under scripts/test.sh the display and the Wine prefix are ready; run alone,
# make private ones (removed again on exit) rather than use the desktop.
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
    # shellcheck source=../../scripts/wine-env.sh
    source "$kem_root/scripts/wine-env.sh"
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

kem_scratch=$(mktemp -d /tmp/kem-e2e.XXXXXX)
kem_pid=""
failures=0

e2e_cleanup() {
    if [ -n "$kem_pid" ] && kill -0 "$kem_pid" 2>/dev/null; then
        kill "$kem_pid" 2>/dev/null || true
    fi
    rm -rf "$kem_scratch"
}
trap 'e2e_cleanup; kem_wine_cleanup 2>/dev/null || true' EXIT

# What the probe reads from a window with empty fields: the start-up texts.
zero_state="110 
111 
112 
113 
1008 \$0.00  
1009 \$0.00  
1010 0.00%
1011 0.00  
1012 \$0.00  
1013 0.00%"

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The Windows view of a path: Wine maps drive Z: to the root.
windows_path() {
    local p=${1//\//\\}
    echo "Z:$p"
}

export KEM_START_RECORD
KEM_START_RECORD=$(windows_path "$kem_scratch/launches.txt")

probe() {
    wine "$KEM_PROBE" "$@" | tr -d '\r'
}

# Starts kem.exe with the given arguments and waits until it shows its window.
start_kem() {
    (cd "$KEM_LAUNCHER_DIR" && exec wine "$KEM_EXE" "$@") &
    kem_pid=$!
    if ! probe wait 30000 >/dev/null; then
        fail "kem.exe did not show its window"
        return 1
    fi
}

# Waits (bounded) for kem.exe to end and checks its exit code.
expect_exit_zero() {
    local what=$1 i
    for i in $(seq 1 300); do
        kill -0 "$kem_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$kem_pid" 2>/dev/null; then
        fail "$what: kem.exe still running"
        kill "$kem_pid" 2>/dev/null || true
        wait "$kem_pid" 2>/dev/null || true
        kem_pid=""
        return
    fi
    local rc=0
    wait "$kem_pid" || rc=$?
    kem_pid=""
    [ "$rc" -eq 0 ] || fail "$what: exit code $rc, expected 0"
}

# Compares the probe's "<id> <text>" lines with the expected ones.
expect_texts() {
    local what=$1 expected=$2 actual
    actual=$(probe texts)
    if [ "$actual" != "$expected" ]; then
        fail "$what: texts differ"
        diff <(echo "$expected") <(echo "$actual") >&2 || true
    fi
}

expect_focus() {
    local what=$1 expected=$2 actual
    actual=$(probe focus)
    [ "$actual" = "$expected" ] || fail "$what: focus on $actual, expected $expected"
}

# A real mouse click (X events through Wine) on the centre of a control.
click_control() {
    local xy
    xy=$(probe rect "$1")
    # shellcheck disable=SC2086
    xdotool mousemove --sync $xy click 1
}

# Waits (bounded) for the stand-in "start" program to record one launch.
expect_launch() {
    local what=$1 expected=$2 file="$kem_scratch/launches.txt" i
    for i in $(seq 1 150); do
        [ -s "$file" ] && [ "$(tail -c1 "$file" | od -An -c | tr -d ' ')" = '\n' ] && break
        sleep 0.1
    done
    local actual
    actual=$(tr -d '\r' < "$file" 2>/dev/null || true)
    rm -f "$file"
    [ "$actual" = "$expected" ] || fail "$what: launched '$actual', expected '$expected'"
}

finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "all checks passed"
}

# Polls (bounded) until `probe $1` prints $2; sets $polled to the last reading.
poll_probe() {
    local query=$1 expected=$2 i
    for i in $(seq 1 100); do
        polled=$(probe "$query")
        [ "$polled" = "$expected" ] && return 0
        sleep 0.1
    done
    return 1
}

# Polls (bounded) until the probe's texts are the expected ones.
wait_for_texts() {
    poll_probe texts "$2" && return 0
    fail "$1: texts differ"
    diff <(echo "$2") <(echo "$polled") >&2 || true
}

# Polls (bounded) until the focus is on control id $2.
wait_for_focus() {
    poll_probe focus "$2" && return 0
    fail "$1: focus on $polled, expected $2"
}

# Gives the X keyboard focus to the calculator's window, so that xdotool's
# key events (real X input, through Wine) reach it.
focus_kem_window() {
    local wid="" i
    for i in $(seq 1 100); do
        wid=$(xdotool search --name '^KEM Calculator - Varnok$' 2>/dev/null | head -1 || true)
        [ -n "$wid" ] && break
        sleep 0.1
    done
    if [ -z "$wid" ]; then
        fail "no X window for the calculator"
        return 1
    fi
    xdotool windowfocus --sync "$wid"
}
