#!/usr/bin/env bash
# The long fuzz run: builds the fuzz targets (clang 14, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each one until it has executed RUNS
# inputs (default 10 million) or MAX_SECONDS have passed (default 3 hours),
# one target at a time, then prints how many inputs each executed.
#
#   scripts/fuzz.sh [RUNS] [target ...]     targets: parse_amount format_fixed inventory catalogue
#                                            parse_amount_for_size format_fixed_for_size
#
# A target named NAME_for_size runs NAME's checks against the model built for
# size (kem.exe's and the browser calculator's), with NAME's seeds and
# dictionary.
#
# BUILD_DIR (default build/fuzz) is configured with the "fuzz" preset unless it
# is already configured. The grown corpora stay in BUILD_DIR/fuzz/corpus, so a
# later run starts where this one stopped; anything found is written to
# BUILD_DIR/fuzz/findings and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-10000000}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] ||
    targets=(parse_amount format_fixed inventory catalogue parse_amount_for_size format_fixed_for_size)
build=${BUILD_DIR:-build/fuzz}
max_seconds=${MAX_SECONDS:-10800}

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset fuzz -B "$build" >/dev/null
fi
cmake --build "$build" -j 2 --target "${targets[@]/%/_fuzzer}"

declare -A max_len=([parse_amount]=4096 [format_fixed]=9 [inventory]=163 [catalogue]=65536)
max_len[parse_amount_for_size]=${max_len[parse_amount]}
max_len[format_fixed_for_size]=${max_len[format_fixed]}
summary=()
status=0
for target in "${targets[@]}"; do
    dir="$build/fuzz"
    log="$dir/$target-long.log"
    name=${target%_for_size}
    extra=()
    [ -f "fuzz/$name.dict" ] && extra+=("-dict=fuzz/$name.dict")
    mkdir -p "$dir/corpus/$target" "$dir/findings"
    echo "=== $target: up to $runs runs or $max_seconds s (log: $log) ==="
    started=$SECONDS
    if "$dir/${target}_fuzzer" -runs="$runs" -max_total_time="$max_seconds" \
        -max_len="${max_len[$target]}" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$dir/findings/$target-" "${extra[@]}" \
        "$dir/corpus/$target" "fuzz/corpus/$name" >"$log" 2>&1; then
        result="no findings"
    else
        result="FINDING (see $log)"
        status=1
    fi
    executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    summary+=("$(printf '%-14s %12s executions %6d s  %s' "$target" "${executed:-?}" \
        $((SECONDS - started)) "$result")")
done

echo "=== summary ==="
printf '%s\n' "${summary[@]}"
exit $status
