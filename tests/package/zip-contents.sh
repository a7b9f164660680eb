#!/usr/bin/env bash
# Builds the Windows .zip from a configured Windows build and checks it as a
# user unpacks it: one folder named after the zip, holding the two programs,
# as Windows programs, and the README, with every page and picture that the
# README and the pages in the zip link or show.
# Usage: tests/package/zip-contents.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/kem-zip.XXXXXX)
trap 'rm -rf "$work"' EXIT

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G ZIP -B "$work/out" > "$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; exit 1; }
zip=$(ls "$work"/out/kem-calculator-*-win32.zip)
folder=$(basename "$zip" .zip)

fail() { echo "zip-contents: $*"; exit 1; }
# Everything under the one folder: unpacked into Downloads, nothing else
# lands beside it.
python3 - "$zip" "$folder" << 'EOF' || exit 1
import sys, zipfile
zip_path, folder = sys.argv[1], sys.argv[2]
stray = [name for name in zipfile.ZipFile(zip_path).namelist()
         if not name.startswith(folder + "/")]
if stray:
    sys.exit(f"zip-contents: not inside {folder}/: {', '.join(stray)}")
EOF

mkdir "$work/unpacked"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$work/unpacked"
top="$work/unpacked/$folder"
for file in kem.exe kemcalc.exe README.md; do
    [ -f "$top/$file" ] || fail "no $folder/$file in $(cd "$work/unpacked" && find . -type f)"
done
for program in kem.exe kemcalc.exe; do
    file "$top/$program" | grep -q 'PE32 executable' || fail "$program is not a 32-bit Windows program"
done

# Markdown links and pictures, [text](target) and ![text](target), that
# point at a file: the target must be in the folder, under the same path.
python3 - "$top" << 'EOF' || exit 1
import pathlib, re, sys
top = pathlib.Path(sys.argv[1]).resolve()
broken = []
for page in sorted(top.rglob("*.md")):
    for target in re.findall(r"\]\(([^)\s]+)", page.read_text(encoding="utf-8")):
        path = target.split("#", 1)[0]
        if not path or re.match(r"[a-z]+:", path):
            continue
        linked = (page.parent / path).resolve()
        if not linked.is_file() or top not in linked.parents:
            broken.append(f"{page.relative_to(top)} links {target}")
if broken:
    sys.exit("zip-contents: links to files not in the zip: " + "; ".join(broken))
EOF
pages=$(cd "$top" && find . -name '*.md' | wc -l)
echo "zip-contents: $(basename "$zip") holds $folder/ with kem.exe, kemcalc.exe, README.md and the" \
    "$((pages - 1)) pages it links, every link whole"
