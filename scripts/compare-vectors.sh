#!/usr/bin/env bash
# compare-vectors.sh NATIVE_TOOL RUNNER WINDOWS_TOOL: both tools must print the
# same bytes. Exits 77 (skipped) when the native tool has not been built.
set -euo pipefail
native=$1
shift
if [ ! -x "$native" ]; then
    echo "no native build at $native: build the native preset first"
    exit 77
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$native" > "$tmp/native.txt"
"$@" | tr -d '\r' > "$tmp/windows.txt"
if ! cmp -s "$tmp/native.txt" "$tmp/windows.txt"; then
    echo "native and Windows builds differ; first differences:"
    diff "$tmp/native.txt" "$tmp/windows.txt" | head -20
    exit 1
fi
echo "identical: $(wc -l < "$tmp/native.txt") lines"
