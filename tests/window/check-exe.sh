#!/usr/bin/env bash
# kem.exe is a stripped 32-bit GUI program of at most 48 KB that needs only
# system DLLs: KERNEL32, USER32 and SHELL32, and msvcrt, the C runtime every
# Windows has.
# Usage: check-exe.sh kem.exe
set -euo pipefail
exe=$1
objdump=i686-w64-mingw32-objdump
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

headers=$($objdump -p "$exe")
grep -q 'file format pei-i386' <<<"$headers" || fail "not a 32-bit Windows executable"
grep -qE 'Subsystem[[:space:]]+00000002' <<<"$headers" || fail "not a GUI program"

allowed="KERNEL32.dll USER32.dll SHELL32.dll msvcrt.dll"
dlls=$(awk '/DLL Name:/ {print $3}' <<<"$headers" | sort)
[ -n "$dlls" ] || fail "no imported DLLs found"
for dll in $dlls; do
    grep -qiw -- "$dll" <<<"$allowed" || fail "imports $dll"
done
echo "imports: $(echo $dlls)"

# Stripped: no symbol table and no debugging sections.
symbols=$($objdump -t "$exe")
sections=$($objdump -h "$exe")
grep -q '^\[' <<<"$symbols" && fail "symbols left in the executable"
grep -q '\.debug' <<<"$sections" && fail "debugging sections left in the executable"

# One file a shop owner copies: a few hundred lines of program over the C
# runtime, built for size (see kem_build_for_size in CMakeLists.txt).
max_bytes=49152
bytes=$(stat -c %s "$exe")
[ "$bytes" -le "$max_bytes" ] || fail "$bytes bytes, more than $max_bytes"
echo "size: $bytes bytes (at most $max_bytes)"

[ "$failures" -eq 0 ] || exit 1
echo "kem.exe checks passed"
