#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds every preset and runs
# every test, native and under Wine on a private virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
run_preset() {
    echo "=== $1 ==="
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1" -j "$jobs"
    ctest --preset "$1" "${@:2}"
}

run_preset native
# The browser edition; its module is checked against the native kemcalc above.
run_preset web
run_preset native-asan
# 30 seconds of each fuzz target against the exact reference, under the sanitizers,
# the number text targets once for each build of the model; the targets run two
# at a time, one on each core.
run_preset fuzz

# Windows: one Xvfb display and one Wine prefix for the whole run.
source scripts/wine-env.sh
run_preset windows --timeout 600
echo "All test suites passed."
