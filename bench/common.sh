# Shared by the kemcalc benchmark scripts, which source it: the generated
# items, best-of-three timing and the rate lines they print. Needs $work (the
# scratch folder).

# N items as tab-separated lines price, cost, bought, sold: prices and costs
# with cents, whole counts, from a fixed Park-Miller sequence (every product
# stays below 2^53, so awk computes it exactly): the same items on every
# machine.
generate_items() {
    awk -v n="$1" 'BEGIN {
        x = 42
        for (i = 0; i < n; i++) {
            x = (x * 16807) % 2147483647; price = x % 1000000 + 1
            x = (x * 16807) % 2147483647; cost = x % 1000000 + 1
            x = (x * 16807) % 2147483647; bought = x % 100000
            x = (x * 16807) % 2147483647; sold = x % 100000
            printf "%d.%02d\t%d.%02d\t%d\t%d\n", price / 100, price % 100, cost / 100, cost % 100, bought, sold
        }
    }'
}

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
