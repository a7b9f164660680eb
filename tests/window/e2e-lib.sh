# Shared by the end-to-end scripts and the soak: runs the built kem.exe under
# Wine on a virtual display and watches it with kemprobe from a separate
# process. Every wait goes through poll_until or is one of kemprobe's own
# bounded waits, so a stuck calculator fails a test instead of hanging it.
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
    # A Shift left down would reach every later program on this display.
    timeout 5 xdotool keyup shift >/dev/null 2>&1 || true
    if [ -n "$kem_pid" ] && kill -0 "$kem_pid" 2>/dev/null; then
        kill "$kem_pid" 2>/dev/null || true
    fi
    rm -rf "$kem_scratch"
}
trap 'e2e_cleanup; kem_wine_cleanup 2>/dev/null || true' EXIT

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "all checks passed"
}

# poll_until SECONDS COMMAND...: runs COMMAND until it succeeds, for at most
# SECONDS; fails when it never did.
poll_until() {
    local seconds=$1 now deadline
    shift
    now=${EPOCHREALTIME/[.,]/}
    deadline=$((now + seconds * 1000000))
    until "$@"; do
        now=${EPOCHREALTIME/[.,]/}
        [ "$now" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

probe() {
    timeout 60 wine "$KEM_PROBE" "$@"
}

# The Windows view of a path: Wine maps drive Z: to the root.
windows_path() {
    local p=${1//\//\\}
    echo "Z:$p"
}

# Where the stand-in "start" program records each launch, one line each.
launch_file=$kem_scratch/launches.txt
export KEM_START_RECORD
KEM_START_RECORD=$(windows_path "$launch_file")

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

# Starts kem.exe with the given arguments and waits until it shows its
# window with the focus in the price field.
start_kem() {
    (cd "$KEM_LAUNCHER_DIR" && exec wine "$KEM_EXE" "$@") &
    kem_pid=$!
    if ! probe shown 30000; then
        fail "kem.exe did not show its window"
        return 1
    fi
}

# Starts kem.exe the way a shortcut set to "Run: Minimized" does, and waits
# until its window is there, minimized. With /wait, Wine's "start" ends with
# the program's exit code; it is named by its path, since the stand-in in
# the working directory would be found first.
start_kem_minimized() {
    (cd "$KEM_LAUNCHER_DIR" &&
        exec wine 'C:\windows\system32\start.exe' /wait /min /unix "$KEM_EXE") &
    kem_pid=$!
    if ! probe minimized 30000; then
        fail "kem.exe did not start minimized"
        return 1
    fi
}

kem_ended() {
    ! kill -0 "$kem_pid" 2>/dev/null
}

# Waits for kem.exe to end and checks its exit code.
expect_exit_zero() {
    local what=$1 rc=0
    if ! poll_until 30 kem_ended; then
        fail "$what: kem.exe still running"
        kill "$kem_pid" 2>/dev/null || true
        wait "$kem_pid" 2>/dev/null || true
        kem_pid=""
        return
    fi
    wait "$kem_pid" || rc=$?
    kem_pid=""
    [ "$rc" -eq 0 ] || fail "$what: exit code $rc, expected 0"
}

# Sets $polled to the probe's "<id> <text>" lines; true when they are $1.
texts_are() {
    polled=$(probe texts)
    [ "$polled" = "$1" ]
}

wait_for_texts() {
    poll_until 15 texts_are "$2" && return 0
    fail "$1: texts differ"
    diff <(echo "$2") <(echo "$polled") >&2 || true
}

# Sets $polled to the focus the probe reads; true when it is $1.
focus_is() {
    polled=$(probe focus)
    [ "$polled" = "$1" ]
}

wait_for_focus() {
    poll_until 15 focus_is "$2" || fail "$1: focus on $polled, expected $2"
}

# A real mouse click (X events through Wine) on the centre of a control.
click_control() {
    local xy
    xy=$(probe centre "$1")
    # shellcheck disable=SC2086
    xdotool mousemove --sync $xy click 1
}

# True once the stand-in "start" has written a whole line.
launch_recorded() {
    [ -s "$launch_file" ] && [ "$(tail -c1 "$launch_file" | od -An -c | tr -d ' ')" = '\n' ]
}

# Waits for one launch and compares it with the page's command line.
expect_launch() {
    local what=$1 page=$2 expected actual
    expected=$(probe page "$page")
    poll_until 15 launch_recorded || true
    actual=$(tr -d '\r' <"$launch_file" 2>/dev/null || true)
    rm -f "$launch_file"
    [ "$actual" = "$expected" ] || fail "$what: launched '$actual', expected '$expected'"
}

# Sets $kem_wid to the X window of the calculator, found by its caption.
find_x_window() {
    local title
    title=$(probe title | sed 's/[][\.*^$+?(){}|]/\\&/g')
    kem_wid=$(xdotool search --name "^$title\$" 2>/dev/null | head -1 || true)
    [ -n "$kem_wid" ]
}

# Gives the X keyboard focus to the calculator's window, so that xdotool's
# key events (real X input, through Wine) reach it.
focus_kem_window() {
    if ! poll_until 15 find_x_window; then
        fail "no X window for the calculator"
        return 1
    fi
    xdotool windowfocus --sync "$kem_wid"
}
