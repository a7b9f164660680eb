#!/usr/bin/env bash
# Builds the browser edition into build/web/ and serves it on 127.0.0.1,
# printing the address to open; Ctrl+C stops the server.
# Usage: scripts/serve-web.sh [PORT]   (default 8080)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset web >/dev/null
cmake --build --preset web -j "$(nproc)" >/dev/null
exec node web/tools/serve.mjs build/web "${1:-8080}"
