#!/usr/bin/env bash
# Rows per second of kemcalc --csv on a generated shop export of ten columns
# (a million rows by default): the four figures found by name among the
# others, every other column passed through. Beside it, in the same run, the
# plain four-column catalogue of the same items as the baseline. Each is the
# best of three runs, reading a file and writing a file, one process; the peak
# memory of the ten-column run at a tenth of the rows shows that memory does
# not grow with the catalogue.
# Usage: bench/kemcalc_csv_bench.sh [KEMCALC] [ROWS]
set -euo pipefail

kemcalc=${1:-build/native/cli/kemcalc}
rows=${2:-1000000}
[ -x "$kemcalc" ] || { echo "error: no kemcalc at $kemcalc (build it first)" >&2; exit 2; }

work=$(mktemp -d /tmp/kemcalc-csv-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

source "$(dirname "$0")/common.sh"

# The generated items with the columns of a real export around them.
make_export() {
    generate_items "$1" | awk -F'\t' 'BEGIN {
        print "SKU,Name,Category,Supplier,Price,Cost,Bought,Sold,Barcode,Note"
    }
    {
        i = NR - 1
        printf "SKU%07d,\"Item %d, size M\",Category %d,Supplier %d,%s,%s,%s,%s,%013d,ok\n", \
            i, i, i % 17, i % 101, $1, $2, $3, $4, i * 7919
    }'
}
make_export "$rows" > "$work/export.csv"
# The four figure columns alone, in the same order and with the same texts.
cut -d, -f6-9 "$work/export.csv" | sed '1s/.*/price,cost,bought,sold/' > "$work/plain.csv"

best_time() {
    best_time_of "$kemcalc" "$@"
}

# The ten-column run has a speed goal: 1,500,000 rows a second on one core.
readonly export_goal=1500000

report() {
    report_rate "$1" "$2" "$rows" rows "${3:-0}"
}

echo "kemcalc --csv on $rows generated rows ($(wc -c < "$work/export.csv") bytes of 10-column CSV)"
export_ns=$(best_time --csv "$work/export.csv")
# A fast wrong answer is no answer: every row and the header must be there.
[ "$(wc -l < "$work/out")" -eq $((rows + 1)) ] || { echo "error: row count differs" >&2; exit 1; }
report "10 columns, mapped by name, passed through" "$export_ns" "$export_goal"
plain_ns=$(best_time --csv "$work/plain.csv")
report "baseline: the 4 figure columns alone" "$plain_ns"
awk -v ours="$export_ns" -v base="$plain_ns" 'BEGIN {
    printf "  ratio 10-column / 4-column: %.2f (time per row)\n", ours / base
}'

if [ -x /usr/bin/time ]; then
    make_export $((rows / 10)) > "$work/small.csv"
    small_kb=$(/usr/bin/time -f %M "$kemcalc" --csv "$work/small.csv" 2>&1 > /dev/null | tail -1)
    large_kb=$(/usr/bin/time -f %M "$kemcalc" --csv "$work/export.csv" 2>&1 > /dev/null | tail -1)
    echo "  peak memory: $small_kb KiB for $((rows / 10)) rows, $large_kb KiB for $rows rows"
fi
