#!/usr/bin/env bash
# The data shops really have, timed: a products export of a million rows
# joined with a sales report of a million rows (in another order) and a
# purchases report, over their periods; and the what-if options against the
# plain run of the same file. Each is the best of three runs, file to file,
# one process, with its peak memory.
# Usage: bench/kemcalc_report_bench.sh [KEMCALC] [ROWS]
set -euo pipefail

kemcalc=${1:-build/native/cli/kemcalc}
rows=${2:-1000000}
[ -x "$kemcalc" ] || { echo "error: no kemcalc at $kemcalc (build it first)" >&2; exit 2; }

work=$(mktemp -d /tmp/kemcalc-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

source "$(dirname "$0")/common.sh"

# Goals: the join of a million products with a million sales rows in under
# 2 seconds on one core; --adjust keeping 90% of the plain rows a second.
readonly join_goal_s=2
readonly adjust_goal=0.90

# The products (SKU, title, category, price, cost), the sales report over 90
# days (SKU and units, the rows in reverse order, the keys in lower case for
# a tenth of them so some rows match nothing) and the purchases over 6 months.
generate_items "$rows" | awk -F'\t' -v products="$work/products.csv" \
    -v sales="$work/sales.csv" -v purchases="$work/purchases.csv" 'BEGIN {
        print "SKU,Title,Category,Price,Cost" > products
        print "Item,Received" > purchases
    }
    {
        sku = sprintf("SKU-%07d", NR - 1)
        printf "%s,\"Item %d, size M\",Category %d,%s,%s\n", sku, NR, NR % 17, $1, $2 > products
        sold[NR] = (NR % 10 == 0 ? tolower(sku) : sku) "," $4 * 3
        printf "%s,%d\n", sku, $3 * 6 > purchases
    }
    END {
        print "sku,units" > sales
        for (i = NR; i >= 1; i--) print sold[i] > sales
    }'

# The notes on unmatched keys go to standard error; the timing needs none.
best_time() {
    best_time_of "$kemcalc" "$@" 2> /dev/null
}

peak_kib() {
    if [ -x /usr/bin/time ]; then
        /usr/bin/time -f %M "$kemcalc" "$@" 2>&1 > /dev/null | tail -1
    else
        echo "?"
    fi
}

join_args=(--csv --join "$work/sales.csv" --on SKU=sku --join "$work/purchases.csv" --on SKU=Item
           --columns Price,Cost,Received,units --sold-months 3 --bought-months 6 "$work/products.csv")
echo "kemcalc on $rows products, $rows sales rows and $rows purchases rows ($(cat "$work"/*.csv | wc -c) bytes)"
join_ns=$(best_time "${join_args[@]}")
[ "$(wc -l < "$work/out")" -eq $((rows + 1)) ] || { echo "error: row count differs" >&2; exit 1; }
report_rate "products + sales + purchases, joined" "$join_ns" "$rows" rows
awk -v ns="$join_ns" -v goal="$join_goal_s" 'BEGIN {
    verdict = (ns / 1e9 < goal) ? "met" : "missed"
    printf "  %.2f s for the join, goal under %d s: %s\n", ns / 1e9, goal, verdict
}'
one_ns=$(best_time --csv --join "$work/sales.csv" --on SKU=sku --columns Price,Cost,units,units \
    --sold-months 3 "$work/products.csv")
report_rate "products + sales alone" "$one_ns" "$rows" rows
echo "  peak memory of the join: $(peak_kib "${join_args[@]}") KiB"

# What if, on the plain export: the same file with and without the changes.
generate_items "$rows" | tr '\t' ',' | sed '1i price,cost,bought,sold' > "$work/plain.csv"
plain_ns=$(best_time --csv "$work/plain.csv")
report_rate "plain --csv (baseline, same run)" "$plain_ns" "$rows" rows
adjust_ns=$(best_time --csv --adjust price=+5% --adjust bought=-20% "$work/plain.csv")
report_rate "--adjust price=+5% --adjust bought=-20%" "$adjust_ns" "$rows" rows
target_ns=$(best_time --csv --adjust price=+5% --target-return 300 "$work/plain.csv")
report_rate "--adjust price=+5% --target-return 300" "$target_ns" "$rows" rows
awk -v plain="$plain_ns" -v adjust="$adjust_ns" -v goal="$adjust_goal" 'BEGIN {
    ratio = plain / adjust
    verdict = (ratio >= goal) ? "met" : "missed"
    printf "  --adjust keeps %.0f%% of the plain rows a second, goal %.0f%%: %s\n", 100 * ratio,
        100 * goal, verdict
}'
