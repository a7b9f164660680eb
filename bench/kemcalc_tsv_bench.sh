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

source "$(dirname "$0")/common.sh"

generate_items "$lines" > "$work/catalogue.tsv"
{ echo "price,cost,bought,sold"; tr '\t' ',' < "$work/catalogue.tsv"; } > "$work/catalogue.csv"

best_time() {
    best_time_of "$kemcalc" "$@"
}

# The baseline run beside it: the same six figures from the same file with
# awk's plain double arithmetic and printf("%.2f"), as a script would do it
# without the calculator's rounding rules, zero cases or texts.
baseline_awk() {
    awk -F'\t' '{
        sales = ($4 * $1) * 12; profit = sales - ($2 * $4) * 12; average = ($3 * $2) * 0.5
        printf "$%.2f  \t$%.2f  \t%.2f%%\t%.2f  \t$%.2f  \t%16.2f%%\n", sales, profit,
            sales != 0 ? profit / sales * 100 : 0, $4 != 0 ? $3 / $4 : 0, average,
            average != 0 ? profit / average * 100 : 0
    }' "$work/catalogue.tsv"
}

# --tsv has a speed goal: 3,000,000 items a second on one core.
readonly tsv_goal=3000000

report() {
    report_rate "$1" "$2" "$lines" items "${3:-0}"
}

echo "kemcalc on $lines generated items ($(wc -c < "$work/catalogue.tsv") bytes of TSV)"
tsv_ns=$(best_time --tsv "$work/catalogue.tsv")
report "--tsv" "$tsv_ns" "$tsv_goal"
# The rows must still all be there: a fast wrong answer is no answer.
[ "$(wc -l < "$work/out")" -eq "$lines" ] || { echo "error: row count differs" >&2; exit 1; }
report "--tsv --echo-parsed --totals" "$(best_time --tsv --echo-parsed --totals "$work/catalogue.tsv")"
report "--csv" "$(best_time --csv "$work/catalogue.csv")"
awk_ns=$(best_time_of baseline_awk)
report "baseline: awk with printf(\"%.2f\")" "$awk_ns"
awk -v ours="$tsv_ns" -v base="$awk_ns" 'BEGIN {
    printf "  ratio kemcalc --tsv / awk baseline: %.2f (time per item; below 1.0 means kemcalc is faster)\n", ours / base
}'
