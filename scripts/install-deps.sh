#!/usr/bin/env bash
# Installs what building and testing need on Debian 12; quick when all is present.
set -euo pipefail

native=(cmake g++ make libgtest-dev libbenchmark-dev clang-14 libclang-rt-14-dev libgmp-dev
        clang-format)
windows=(g++-mingw-w64-i686 wine wine32:i386 fonts-wine xvfb xdotool x11-utils imagemagick
         fonts-dejavu-core python3-fonttools)

missing=()
for pkg in "${native[@]}" "${windows[@]}"; do
    dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
