#!/usr/bin/env bash
# Takes docs/catalogue-screenshot.png: the catalogue view in headless
# Chromium with a small shop export, totals per category and the chart.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset web >/dev/null
cmake --build --preset web -j "$(nproc)" >/dev/null
node scripts/catalogue-screenshot.mjs build/web docs/catalogue-screenshot.png
