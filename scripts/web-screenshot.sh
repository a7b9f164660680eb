#!/usr/bin/env bash
# Takes docs/web-screenshot.png: the browser edition in headless Chromium,
# with the same item typed in and recalculated as in docs/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset web >/dev/null
cmake --build --preset web -j "$(nproc)" >/dev/null
node scripts/web-screenshot.mjs build/web docs/web-screenshot.png
