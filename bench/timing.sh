# Shared by the kemcalc benchmark scripts, which source it: best-of-three
# timing and the rate lines they print. Needs $work (the scratch folder).

# Best wall time of three runs of a command, in nanoseconds; the last run's
# output is left in $work/out for the caller to check.
best_time_of() {
    local best="" start end elapsed run
    for run in 1 2 3; do
        start=$(date +%s%N)
        "$@" > "$work/out"
        end=$(date +%s%N)
        elapsed=$((end - start))
        if [ -z "$best" ] || [ "$elapsed" -lt "$best" ]; then
            best=$elapsed
        fi
    done
    echo "$best"
}

# Prints one run's rate: LABEL NANOSECONDS COUNT UNIT [GOAL]; with a goal
# (UNIT a second) also the rate against it.
report_rate() {
    local label=$1 ns=$2 count=$3 unit=$4 goal=${5:-0}
    awk -v label="$label" -v ns="$ns" -v n="$count" -v unit="$unit" -v goal="$goal" 'BEGIN {
        rate = n / (ns / 1e9)
        printf "  %-44s %10.0f %s/s  (%.3f s)", label, rate, unit, ns / 1e9
        if (goal > 0) {
            printf "  %.2f x the goal of %d %s/s", rate / goal, goal, unit
        }
        printf "\n"
    }'
}
