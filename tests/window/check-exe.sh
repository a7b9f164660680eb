#!/usr/bin/env bash
# kem.exe is a stripped 32-bit GUI program that needs only system DLLs:
# KERNEL32, USER32 and SHELL32, and msvcrt, the C runtime every Windows has.
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

[ "$failures" -eq 0 ] || exit 1
echo "kem.exe checks passed"
