#!/usr/bin/env bash
# Builds the Windows .zip from a configured Windows build and checks that it
# holds the two programs, as Windows programs, and the README.
# Usage: tests/package/zip-contents.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/kem-zip.XXXXXX)
trap 'rm -rf "$work"' EXIT

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G ZIP -B "$work/out" > "$work/cpack.log") ||
    { cat "$work/cpack.log"; exit 1; }
zip=$(ls "$work"/out/kem-calculator-*-win32.zip)
mkdir "$work/unpacked"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$work/unpacked"
for file in kem.exe kemcalc.exe README.md; do
    [ -f "$work/unpacked/$file" ] || { echo "zip-contents: no $file in $(ls -R "$work/unpacked")"; exit 1; }
done
for program in kem.exe kemcalc.exe; do
    file "$work/unpacked/$program" | grep -q 'PE32 executable' ||
        { echo "zip-contents: $program is not a 32-bit Windows program"; exit 1; }
done
echo "zip-contents: $(basename "$zip") holds kem.exe, kemcalc.exe and README.md"
