#!/usr/bin/env bash
# The window soak: the built kem.exe under Wine on a virtual display, typed at
# and clicked by xdotool with random but repeatable input, and checked after
# every batch from a separate process (kemprobe):
#   - the calculator is still running and answers messages;
#   - the six result texts are exactly kemcalc's answer for the four field
#     texts (each batch ends with a recalculation and nothing typed after it);
#   - no result text is longer than 79 characters;
#   - the focus is where the keys and clicks put it;
#   - every page launch reached the stand-in "start" program;
#   - opening and closing the About box changes no text and keeps the focus.
# At the end Escape must end kem.exe with exit code 0.
#
# The steps come from `kemprobe plan SEED BATCHES`, made from the program's
# own key tables, focus ring, captions and page addresses; this script only
# replays them and checks.
#
# Usage: soak.sh kem.exe kemprobe.exe launcher-dir kemcalc[.exe]
# KEM_SOAK_SEED and KEM_SOAK_BATCHES give another run than the fixed one;
# KEM_SOAK_VERBOSE=1 prints the texts of every check.
set -euo pipefail
KEM_EXE=$1 KEM_PROBE=$2 KEM_LAUNCHER_DIR=$3 KEMCALC=$4
seed=${KEM_SOAK_SEED:-1955}
batches=${KEM_SOAK_BATCHES:-40}
source "$(dirname "$0")/../window/e2e-lib.sh"

plan=$kem_scratch/plan.txt
actions=$kem_scratch/actions.log
batch=0

# The soak stops at its first failure, with the steps that led to it.
die() {
    echo "FAIL (seed $seed, batch $batch): $*" >&2
    echo "last steps:" >&2
    tail -n 25 "$actions" >&2 || true
    exit 1
}
fail() {
    die "$@"
}

kemcalc_tsv() {
    case $KEMCALC in
        *.exe) timeout 60 wine "$KEMCALC" --tsv ;;
        *) timeout 60 "$KEMCALC" --tsv ;;
    esac
}

xdo() {
    timeout 30 xdotool "$@" || die "xdotool $* failed"
}

# Where to click, by the plan's names: "<name> <x> <y>" lines of the probe.
declare -A place
read_places() {
    local name x y lines
    lines=$(probe "$@" 2>&1) || die "probe $1: $lines"
    while read -r name x y; do
        place[$name]="$x $y"
    done <<<"$lines"
}

events=0
click() {
    local name=$1 dx=$2 x y
    [ -n "${place[$name]:-}" ] || die "no place named $name"
    read -r x y <<<"${place[$name]}"
    events=$((events + 1))
    xdo mousemove $((x + dx)) "$y" click 1
}

# --- Checks --------------------------------------------------------------------
count_lines() {
    if [ -f "$1" ]; then tr -cd '\n' <"$1" | wc -c; else echo 0; fi
}

launches_reached() {
    [ "$(count_lines "$launch_file")" -ge "$1" ]
}

# Waits until the stand-in "start" has recorded every launch so far. The
# launches are carried out in turn with the keys and clicks before them, so
# this is also the sign that the calculator has caught up with the batch.
check_launches() {
    local website_launches=$1 help_launches=$2 website help
    poll_until 20 launches_reached $((website_launches + help_launches)) || true
    website=$(grep -cxF "$website_line" "$launch_file" || true)
    help=$(grep -cxF "$help_line" "$launch_file" || true)
    if [ "$(count_lines "$launch_file")" -ne $((website_launches + help_launches)) ] ||
        [ "$website" -ne "$website_launches" ] || [ "$help" -ne "$help_launches" ]; then
        die "launches: $website website and $help help of $website_launches and" \
            "$help_launches expected; recorded:$(echo; tr -d '\r' <"$launch_file")"
    fi
}

# Reads fields, results and focus into the variables of those names.
take_snapshot() {
    kill -0 "$kem_pid" 2>/dev/null || die "kem.exe is no longer running"
    probe snapshot >"$kem_scratch/snapshot" 2>"$kem_scratch/snapshot.err" ||
        die "probe: $(cat "$kem_scratch/snapshot.err")"
    { IFS= read -r fields && IFS= read -r results && IFS= read -r shown_focus; } \
        <"$kem_scratch/snapshot" || die "probe gave a short snapshot"
}

checks=0

check_results() {
    local focus=$1 expected longest
    take_snapshot
    expected=$(printf '%s\n' "$fields" | kemcalc_tsv) || die "kemcalc failed on '$fields'"
    [ "$results" = "$expected" ] ||
        die "results differ from kemcalc's for the fields '$fields':" \
            "$(echo; echo "window:  $results"; echo "kemcalc: $expected")"
    longest=$(awk -F'\t' '{ n = 0; for (i = 1; i <= NF; ++i) if (length($i) > n) n = length($i);
                            print NF == 6 ? n : -1 }' <<<"$results")
    [ "$longest" -ge 0 ] || die "not six result texts: '$results'"
    [ "$longest" -le 79 ] || die "a result text of $longest characters: '$results'"
    [ "$shown_focus" = "$focus" ] || die "focus on $shown_focus, expected $focus"
    checks=$((checks + 1))
    [ -z "${KEM_SOAK_VERBOSE:-}" ] || printf '%s: %s | %s\n' "$batch" "$fields" "$results"
}

# After the About box: the texts of the last check, the focus kept.
check_same() {
    local focus=$1 before_fields=$fields before_results=$results
    probe wait-focus "$focus" 10000 >/dev/null 2>&1 || true
    take_snapshot
    if [ "$fields" != "$before_fields" ] || [ "$results" != "$before_results" ]; then
        die "the About box changed the texts"
    fi
    [ "$shown_focus" = "$focus" ] || die "focus on $shown_focus after the About box, expected $focus"
    checks=$((checks + 1))
}

# --- The replay -----------------------------------------------------------------
replay() {
    local line=$1 verb args why words
    verb=${line%% *}
    args=${line#"$verb"}
    args=${args# }
    echo "$batch: $line" >>"$actions"
    case $verb in
        batch) batch=$args ;;
        key)
            read -r -a words <<<"$args"
            events=$((events + ${#words[@]}))
            xdo key --delay 8 "${words[@]}"
            ;;
        type)
            events=$((events + ${#args}))
            xdo type --delay 6 -- "$args"
            ;;
        keydown)
            events=$((events + 1))
            xdo keydown "$args"
            ;;
        keyup) xdo keyup "$args" ;;
        # shellcheck disable=SC2086
        click) click $args ;;
        selected) why=$(probe wait-selected "$args" 10000 2>&1) || die "$why" ;;
        popup) read_places popup 10000 ;;
        about) read_places about 10000 ;;
        no-about) why=$(probe no-about 10000 2>&1) || die "closing the About box: $why" ;;
        check)
            read -r -a words <<<"$args"
            check_launches "${words[0]}" "${words[1]}"
            check_results "${words[2]}"
            ;;
        same) check_same "$args" ;;
        quit) expect_exit_zero "Escape at the end" ;;
        *) die "unknown step: $line" ;;
    esac
}

started=$SECONDS
probe plan "$seed" "$batches" >"$plan" || die "no plan"
website_line=$(probe page website)
help_line=$(probe page help)
start_kem || die "kem.exe did not show its window"
focus_kem_window || die "no X window for the calculator"
read_places places

echo "soak: seed $seed, $batches batches"
while IFS= read -r step; do
    replay "$step"
done <"$plan"
batch=end
echo "soak passed: $events input events, $checks checks," \
    "$(count_lines "$launch_file") page launches in $((SECONDS - started)) s"
