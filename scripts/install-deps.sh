#!/usr/bin/env bash
# Installs what building and testing need on Debian 12; quick when all is present.
set -euo pipefail
cd "$(dirname "$0")/.."

native=(cmake g++ make libgtest-dev libbenchmark-dev clang-14 libclang-rt-14-dev libgmp-dev
        clang-format python3 dpkg-dev file groff-base man-db lintian)
windows=(g++-mingw-w64-i686 wine wine32:i386 fonts-wine xvfb xdotool x11-utils imagemagick
         fonts-dejavu-core python3-fonttools)
# The browser edition: Debian's emscripten and the Chromium its tests drive.
web=(emscripten chromium)
command -v node >/dev/null || web+=(nodejs npm)

missing=()
for pkg in "${native[@]}" "${windows[@]}" "${web[@]}"; do
    dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The npm tools at the versions package-lock.json pins: terser, which the web
# build makes the site's scripts small with; playwright-core, which drives the
# system's Chromium and downloads no browser; axe-core, which the page tests
# run in it to find accessibility faults; and prettier.
if ! node -e '
    const packages = require("./package-lock.json").packages;
    for (const [path, entry] of Object.entries(packages)) {
        if (path && require(`./${path}/package.json`).version !== entry.version) process.exit(1);
    }' 2>/dev/null; then
    echo "Installing the npm tools of package-lock.json"
    npm ci --no-audit --no-fund --loglevel=error
fi
