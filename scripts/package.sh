#!/usr/bin/env bash
# Builds the packages into build/packages/: a .deb of kemcalc, its manual
# page, copyright file and changelog (native build), checked with lintian,
# and a Windows .zip of kem.exe, kemcalc.exe, the README and the docs it links,
# all in one folder (MinGW build). Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
out="$PWD/build/packages"
mkdir -p "$out"

cmake --preset native > /dev/null
cmake --build --preset native -j "$jobs" --target kemcalc kemcalc_package_docs
(cd build/native && cpack -G DEB -B "$out")
lintian --fail-on error,warning "$out"/kemcalc_*.deb

cmake --preset windows > /dev/null
cmake --build --preset windows -j "$jobs" --target kem kemcalc
(cd build/windows && cpack -G ZIP -B "$out")

# CPack's staging folder is of no use once the packages are made.
rm -rf "$out/_CPack_Packages"
echo "Packages:"
ls -l "$out"/*.deb "$out"/*.zip
