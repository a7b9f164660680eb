#!/usr/bin/env bash
# The window soak: the built kem.exe under Wine on a virtual display, typed at
# and clicked by xdotool with random but repeatable input, and checked after
# every batch from a separate process (kemsoakprobe):
#   - the calculator is still running and answers messages;
#   - the six result texts are exactly kemcalc's answer for the four field
#     texts (each batch ends with a recalculation and nothing typed after it);
#   - no result text is longer than 79 characters;
#   - the focus is where the keys and clicks put it;
#   - every page launch reached the stand-in "start" program;
#   - opening and closing the About box changes no text and keeps the focus.
# At the end Escape must end kem.exe with exit code 0. Every wait polls with
# a bound, so a stuck calculator fails the test rather than hanging it.
#
# Usage: soak.sh kem.exe kemsoakprobe.exe kemcalc[.exe] launcher-dir
# KEM_SOAK_SEED and KEM_SOAK_BATCHES give another run than the fixed one;
# KEM_SOAK_VERBOSE=1 prints the texts of every check.
set -euo pipefail
KEM_EXE=$1 SOAK_PROBE=$2 KEMCALC=$3 LAUNCHER_DIR=$4
seed=${KEM_SOAK_SEED:-1955}
batches=${KEM_SOAK_BATCHES:-40}

root=$(cd "$(dirname "$0")/../.." && pwd)
# Under scripts/test.sh the display and the Wine prefix are ready; run alone,
# make private ones (removed again on exit) rather than use the desktop.
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
    # shellcheck source=../../scripts/wine-env.sh
    source "$root/scripts/wine-env.sh"
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

scratch=$(mktemp -d /tmp/kem-soak.XXXXXX)
launch_file=$scratch/launches.txt
actions=$scratch/actions.log
kem_pid=""
batch=0

soak_cleanup() {
    # A Shift left down would reach every later program on this display.
    timeout 5 xdotool keyup shift >/dev/null 2>&1 || true
    if [ -n "$kem_pid" ] && kill -0 "$kem_pid" 2>/dev/null; then
        kill "$kem_pid" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap 'soak_cleanup; kem_wine_cleanup 2>/dev/null || true' EXIT

die() {
    echo "FAIL (seed $seed, batch $batch): $*" >&2
    echo "last actions:" >&2
    tail -n 25 "$actions" >&2 || true
    exit 1
}

note() {
    echo "$batch: $*" >>"$actions"
}

# --- Repeatable random choices -----------------------------------------------
# A 31-bit linear congruential generator rather than $RANDOM, whose sequence
# for a given seed differs between bash versions.
rng=$((seed & 0x7fffffff))

# roll N: sets r to a number from 0 to N-1 (from the generator's high bits).
roll() {
    rng=$(((rng * 1103515245 + 12345) & 0x7fffffff))
    r=$(((rng >> 12) % $1))
}

# pick WORD...: sets p to one of the words.
pick() {
    local words=("$@")
    roll ${#words[@]}
    p=${words[$r]}
}

# --- Talking to the calculator -------------------------------------------------
probe() {
    timeout 60 wine "$SOAK_PROBE" "$@"
}

kemcalc_tsv() {
    case $KEMCALC in
        *.exe) timeout 60 wine "$KEMCALC" --tsv ;;
        *) timeout 60 "$KEMCALC" --tsv ;;
    esac
}

events=0

xdo() {
    timeout 30 xdotool "$@" || die "xdotool $* failed"
}

press() {
    note "key $*"
    events=$((events + $#))
    xdo key --delay 8 "$@"
}

type_text() {
    note "type '$1'"
    events=$((events + ${#1}))
    xdo type --delay 6 -- "$1"
}

# A second click within a few pixels of the first and within the double-click
# time is a double click, which does not move the focus into an edit field;
# a click on the same place as the one before goes 10 pixels to the side.
last_click=""
click_offset=0
click_at() {
    if [ "$1" = "$last_click" ]; then
        click_offset=$((10 - click_offset))
    else
        click_offset=0
    fi
    last_click=$1
    note "click $1"
    events=$((events + 1))
    xdo mousemove $(($2 + click_offset)) "$3" click 1
}

# Where each control is on the screen, from the probe: place_<name>="x y".
read_places() {
    local name x y
    while read -r name x y; do
        printf -v "place_$name" '%s %s' "$x" "$y"
    done < <(probe places)
    [ -n "${place_clear:-}" ] || die "the probe found no places to click"
}

click_place() {
    local var="place_$1"
    # shellcheck disable=SC2086
    click_at "$1" ${!var}
}

# --- The model of what the window does with each action ------------------------
# Only the focus is modelled; the field texts are whatever the edit controls
# made of the typing, and the probe reads them back.
focus=110
website_launches=0
help_launches=0
website_line="start http://www.varnok.example/kem.htm"
help_line="start http://www.varnok.example/kemhelp.htm"

next_in_ring() {
    case $1 in
        110) n=111 ;; 111) n=112 ;; 112) n=113 ;; 113) n=1000 ;;
        1000) n=1015 ;; 1015) n=1 ;; 1) n=110 ;;
    esac
}

previous_in_ring() {
    case $1 in
        110) n=1 ;; 111) n=110 ;; 112) n=111 ;; 113) n=112 ;;
        1000) n=113 ;; 1015) n=1000 ;; 1) n=1015 ;;
    esac
}

is_field() {
    [ "$1" -ge 110 ] && [ "$1" -le 113 ]
}

# Waits until the focus is on $1 with the whole text selected, as a focus
# move of the program leaves it.
expect_selected() {
    local why
    why=$(probe selected "$1" 10000 2>&1) || die "after $2: $why"
}

# --- Texts to type ----------------------------------------------------------------
# g collects the text being made.
add_digits() {
    roll "$1"
    local count=$((r + 1)) i
    for ((i = 0; i < count; ++i)); do
        roll 10
        g+=$r
    done
}

add_number() {
    roll 5
    [ "$r" -ne 0 ] || g+='$'
    roll 4
    case $r in 0) g+='-' ;; 1) g+='+' ;; esac
    roll 5
    if [ "$r" -eq 0 ]; then
        g+='.'
        add_digits 4
    else
        add_digits 7
        roll 3
        if [ "$r" -eq 0 ]; then
            g+='.'
            add_digits 3
        fi
    fi
    roll 3
    if [ "$r" -eq 0 ]; then
        pick e E d D
        g+=$p
        roll 3
        case $r in 0) g+='-' ;; 1) g+='+' ;; esac
        add_digits 3
    fi
}

add_junk() {
    pick abc x inf nan NaN '#' , % 0x1f E e- '$$' .. -- '+-' Q z
    g+=$p
}

# Sets g to a text: a figure, a figure with letters after it, letters alone,
# a figure after blanks, or a long run of all of these.
make_text() {
    g=""
    roll 10
    case $r in
        0 | 1 | 2 | 3) add_number ;;
        4 | 5) add_number; add_junk ;;
        6) add_junk ;;
        7) g+='  '; add_number ;;
        8 | 9)
            roll 80
            local length=$((r + 30))
            while [ ${#g} -lt "$length" ]; do
                roll 3
                if [ "$r" -eq 0 ]; then add_junk; else add_number; fi
            done
            ;;
    esac
    # A blank on a focused button presses it; only fields get blanks.
    is_field "$focus" || g=${g// /}
}

# --- Actions --------------------------------------------------------------------
do_tab() {
    next_in_ring "$focus"
    focus=$n
    press Tab
    # Waiting here also keeps the next Shift (of a "$" or a capital) from
    # turning this Tab into Shift+Tab: the program reads Shift's state when it
    # handles the key, not when the key was pressed.
    expect_selected "$focus" "Tab"
}

do_shift_tab() {
    previous_in_ring "$focus"
    focus=$n
    note "key shift+Tab"
    events=$((events + 2))
    xdo keydown shift
    xdo key Tab
    expect_selected "$focus" "Shift+Tab"
    xdo keyup shift
}

# do_alt_field_to LETTER:ID
do_alt_field_to() {
    focus=${1#*:}
    press "alt+${1%:*}"
    expect_selected "$focus" "Alt+${1%:*}"
}

do_alt_field() {
    pick p:110 c:111 b:112 s:113
    do_alt_field_to "$p"
}

click_field() {
    pick price:110 cost:111 buy:112 sell:113
    focus=${p#*:}
    click_place "${p%:*}"
}

do_edit_keys() {
    roll 4
    local count=$((r + 1)) keys=() i
    for ((i = 0; i < count; ++i)); do
        pick BackSpace BackSpace Delete Home End Left Right
        keys+=("$p")
    done
    press "${keys[@]}"
}

do_type() {
    # Half the time into a field chosen first, its old text selected and so
    # replaced: a field fills up otherwise, since it takes no more than it shows.
    roll 2
    [ "$r" -ne 0 ] || do_alt_field
    make_text
    [ -z "$g" ] || type_text "$g"
}

# The recalculation ways: each leaves the focus in the price field.
recalculate() {
    roll 10
    case $r in
        0 | 1 | 2) press Return ;;
        3 | 4) press alt+r ;;
        5 | 6) click_place recalculate ;;
        7) press alt+f ;;
        8) click_place clear ;;
        9) press_space_on_recalculate ;;
    esac
    focus=110
}

# Space presses the focused button, reached here with Shift+Tab from the
# price field (Quit) and Shift+Tab again (Website) or twice (Recalculate).
press_space_on_recalculate() {
    [ "$focus" = 110 ] || do_alt_field_to p:110
    do_shift_tab
    do_shift_tab
    do_shift_tab
    press space
}

press_space_on_website() {
    [ "$focus" = 110 ] || do_alt_field_to p:110
    do_shift_tab
    do_shift_tab
    press space
}

open_website() {
    roll 5
    case $r in
        0 | 1) press alt+w ;;
        2 | 3) click_place website; focus=1015 ;;
        4) press_space_on_website ;;
    esac
    website_launches=$((website_launches + 1))
}

# The Help menu, opened from the keyboard or with the mouse; prints nothing,
# leaves the pop-up open.
help_x=""
open_help_menu() {
    local rect
    roll 2
    if [ "$r" -eq 0 ] || [ -z "$help_x" ]; then
        press alt+h
    else
        click_at "Help" "$help_x" "${place_clear#* }"
    fi
    rect=$(probe popup 10000 2>&1) || die "Help menu: $rect"
    # shellcheck disable=SC2086
    set -- $rect
    popup_left=$1 popup_top=$2 popup_right=$3 popup_bottom=$4
    # The pop-up opens under its entry on the menu bar.
    help_x=$((popup_left + 12))
}

# Online Help: the first entry of the Help menu.
open_online_help() {
    open_help_menu
    roll 2
    if [ "$r" -eq 0 ]; then
        press h
    else
        click_at "Online Help" $(((popup_left + popup_right) / 2)) $((popup_top + 11))
    fi
    help_launches=$((help_launches + 1))
}

# One random action in the middle of a batch.
random_action() {
    roll 100
    if [ "$r" -lt 44 ]; then
        do_type
    elif [ "$r" -lt 50 ]; then
        do_edit_keys
    elif [ "$r" -lt 61 ]; then
        do_tab
    elif [ "$r" -lt 67 ]; then
        do_shift_tab
    elif [ "$r" -lt 76 ]; then
        do_alt_field
    elif [ "$r" -lt 83 ]; then
        click_field
    elif [ "$r" -lt 90 ]; then
        recalculate
    elif [ "$r" -lt 95 ]; then
        open_website
    else
        # Enter wherever the focus is, on a button too, recalculates.
        press Return
        focus=110
    fi
}

# --- Checks -------------------------------------------------------------------
count_lines() {
    if [ -f "$1" ]; then tr -cd '\n' <"$1" | wc -c; else echo 0; fi
}

# Waits until the stand-in "start" has recorded every launch so far. The
# launches are carried out in turn with the keys and clicks before them, so
# this is also the sign that the calculator has caught up with the batch.
wait_for_launches() {
    local expected=$((website_launches + help_launches)) i
    for ((i = 0; i < 1000; ++i)); do
        [ "$(count_lines "$launch_file")" -ge "$expected" ] && break
        sleep 0.02
    done
    local website help
    website=$(grep -cxF "$website_line" "$launch_file" || true)
    help=$(grep -cxF "$help_line" "$launch_file" || true)
    if [ "$(count_lines "$launch_file")" -ne "$expected" ] ||
        [ "$website" -ne "$website_launches" ] || [ "$help" -ne "$help_launches" ]; then
        die "launches: $website website and $help help of $website_launches and" \
            "$help_launches expected; recorded:$(echo; tr -d '\r' <"$launch_file")"
    fi
}

# Reads fields, results and focus into the variables of those names.
take_snapshot() {
    kill -0 "$kem_pid" 2>/dev/null || die "kem.exe is no longer running"
    probe snapshot >"$scratch/snapshot" 2>"$scratch/snapshot.err" ||
        die "probe: $(cat "$scratch/snapshot.err")"
    { IFS= read -r fields && IFS= read -r results && IFS= read -r shown_focus; } \
        <"$scratch/snapshot" || die "probe gave a short snapshot"
}

checks=0

check_results() {
    take_snapshot
    local expected
    expected=$(printf '%s\n' "$fields" | kemcalc_tsv) || die "kemcalc failed on '$fields'"
    [ "$results" = "$expected" ] ||
        die "results differ from kemcalc's for the fields '$fields':" \
            "$(echo; echo "window:  $results"; echo "kemcalc: $expected")"
    local longest
    longest=$(awk -F'\t' '{ n = 0; for (i = 1; i <= NF; ++i) if (length($i) > n) n = length($i);
                            print NF == 6 ? n : -1 }' <<<"$results")
    [ "$longest" -ge 0 ] || die "not six result texts: '$results'"
    [ "$longest" -le 79 ] || die "a result text of $longest characters: '$results'"
    [ "$shown_focus" = "$focus" ] || die "focus on $shown_focus, expected $focus"
    checks=$((checks + 1))
    [ -z "${KEM_SOAK_VERBOSE:-}" ] || printf '%s: %s | %s\n' "$batch" "$fields" "$results"
}

# Opens the About box one way and closes it another; the texts and the focus
# must be as they were.
about_episode() {
    local before_fields=$fields before_results=$results ok
    open_help_menu
    roll 2
    if [ "$r" -eq 0 ]; then
        press a
    else
        click_at "About KEM..." $(((popup_left + popup_right) / 2)) $((popup_bottom - 11))
    fi
    ok=$(probe about 10000 2>&1) || die "About box: $ok"
    local ok_x ok_y
    read -r _ ok_x ok_y <<<"$ok"
    pick Return Escape ok
    case $p in
        ok) click_at "OK" "$ok_x" "$ok_y" ;;
        *) press "$p" ;;
    esac
    local why
    why=$(probe no-about 10000 2>&1) || die "closing the About box with $p: $why"
    probe focus "$focus" 10000 >/dev/null 2>&1 || true
    take_snapshot
    if [ "$fields" != "$before_fields" ] || [ "$results" != "$before_results" ]; then
        die "the About box changed the texts"
    fi
    [ "$shown_focus" = "$focus" ] || die "focus on $shown_focus after the About box, expected $focus"
    checks=$((checks + 1))
}

run_batch() {
    roll 12
    local count=$((r + 8)) i
    for ((i = 0; i < count; ++i)); do
        random_action
    done
    # Recalculate, then launch a page: once the launch is recorded, the
    # window has handled everything before it.
    recalculate
    roll 3
    if [ "$r" -eq 0 ]; then open_online_help; else open_website; fi
    wait_for_launches
    check_results
    roll 4
    [ "$r" -ne 0 ] || about_episode
}

# --- The run -----------------------------------------------------------------------
started=$SECONDS
export KEM_START_RECORD
KEM_START_RECORD="Z:${launch_file//\//\\}"
# The stand-in "start" lives in the launcher folder: as the working
# directory, it is found before any other.
(cd "$LAUNCHER_DIR" && exec wine "$KEM_EXE") &
kem_pid=$!
probe shown 30000 >/dev/null || die "kem.exe did not show its window"
wid=""
for ((i = 0; i < 100; ++i)); do
    wid=$(xdotool search --name '^KEM Calculator - Varnok$' 2>/dev/null | head -1 || true)
    [ -z "$wid" ] || break
    sleep 0.1
done
[ -n "$wid" ] || die "no X window for the calculator"
xdo windowfocus --sync "$wid"
read_places

echo "soak: seed $seed, $batches batches"
for ((batch = 1; batch <= batches; ++batch)); do
    run_batch
done

batch=end
press Escape
for ((i = 0; i < 300; ++i)); do
    kill -0 "$kem_pid" 2>/dev/null || break
    sleep 0.05
done
kill -0 "$kem_pid" 2>/dev/null && die "kem.exe still running after Escape"
status=0
wait "$kem_pid" || status=$?
kem_pid=""
[ "$status" -eq 0 ] || die "kem.exe ended with exit code $status after Escape"
echo "soak passed: $events input events, $checks checks," \
    "$((website_launches + help_launches)) page launches in $((SECONDS - started)) s"
