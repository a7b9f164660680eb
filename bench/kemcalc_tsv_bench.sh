#!/usr/bin/env bash
# Items per second of kemcalc on a generated catalogue (a million lines by
# default): --tsv, --tsv with --echo-parsed and --totals, and --csv. Each is
# the best of three runs, reading a file and writing a file, one process.
# Usage: bench/kemcalc_tsv_bench.sh [KEMCALC] [LINES]
set -euo pipefail

kemcalc=${1:-build/native/cli/kemcalc}
lines=${2:-1000000}
[ -x "$kemcalc" ] || { echo "error: no kemcalc at $kemcalc (build it first)" >&2; exit 2; }

work=$(mktemp -d /tmp/kemcalc-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Prices and costs with cents, whole counts, from a fixed Park-Miller sequence
# (every product stays below 2^53, so awk computes it exactly): the same file
# on every machine.
awk -v n="$lines" 'BEGIN {
    x = 42
    for (i = 0; i < n; i++) {
        x = (x * 16807) % 2147483647; price = x % 1000000 + 1
        x = (x * 16807) % 2147483647; cost = x % 1000000 + 1
        x = (x * 16807) % 2147483647; bought = x % 100000
        x = (x * 16807) % 2147483647; sold = x % 100000
        printf "%d.%02d\t%d.%02d\t%d\t%d\n", price / 100, price % 100, cost / 100, cost % 100, bought, sold
    }
}' > "$work/catalogue.tsv"
{ echo "price,cost,bought,sold"; tr '\t' ',' < "$work/catalogue.tsv"; } > "$work/catalogue.csv"

# Best wall time of three runs, in nanoseconds.
best_time() {
    local best="" start end elapsed run
    for run in 1 2 3; do
        start=$(date +%s%N)
        "$kemcalc" "$@" > "$work/out" 
        end=$(date +%s%N)
        elapsed=$((end - start))
        if [ -z "$best" ] || [ "$elapsed" -lt "$best" ]; then
            best=$elapsed
        fi
    done
    echo "$best"
}

report() {
    local label=$1 ns=$2
    awk -v label="$label" -v ns="$ns" -v n="$lines" 'BEGIN {
        rate = n / (ns / 1e9)
        printf "  %-34s %10.0f items/s  %6.2f x the 500000 items/s target  (%.3f s)\n", label, rate, rate / 500000, ns / 1e9
    }'
}

echo "kemcalc on $lines generated items ($(wc -c < "$work/catalogue.tsv") bytes of TSV)"
report "--tsv" "$(best_time --tsv "$work/catalogue.tsv")"
# The rows must still all be there: a fast wrong answer is no answer.
[ "$(wc -l < "$work/out")" -eq "$lines" ] || { echo "error: row count differs" >&2; exit 1; }
report "--tsv --echo-parsed --totals" "$(best_time --tsv --echo-parsed --totals "$work/catalogue.tsv")"
report "--csv" "$(best_time --csv "$work/catalogue.csv")"
