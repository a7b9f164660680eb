#!/usr/bin/env bash
# Builds the .deb from a configured native build, has lintian check it,
# unpacks it into a temporary root as dpkg would install it, and runs the
# kemcalc inside it.
# Usage: tests/package/deb-install.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/kemcalc-deb.XXXXXX)
trap 'rm -rf "$work"' EXIT

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" > "$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/kemcalc_*.deb)
root="$work/root"
dpkg-deb -x "$deb" "$root"

fail() { echo "deb-install: $*"; exit 1; }
# Debian's own checks: a copyright file, a changelog, compressed manual pages,
# a maintainer with an address, a description that fits a terminal.
command -v lintian > /dev/null || fail "lintian is missing; scripts/install-deps.sh installs it"
lintian --fail-on error,warning "$deb" > "$work/lintian.log" 2>&1 ||
    fail "lintian finds errors or warnings:
$(cat "$work/lintian.log")"

[ "$(dpkg-deb -f "$deb" Package)" = kemcalc ] || fail "package name"
dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "no dependency on libc6"
[ -x "$root/usr/bin/kemcalc" ] || fail "no usr/bin/kemcalc in $(dpkg-deb -c "$deb")"
man_page="$root/usr/share/man/man1/kemcalc.1.gz"
[ -f "$man_page" ] || fail "no compressed manual page in $(dpkg-deb -c "$deb")"
# The changelog's newest entry is the version being packaged.
version=$(dpkg-deb -f "$deb" Version)
newest=$(gzip -dc "$root/usr/share/doc/kemcalc/changelog.gz" | head -n 1)
[[ "$newest" == "kemcalc ($version) "* ]] || fail "changelog starts with '$newest', not version $version"
# kemcalc reads no JSON: each sentence of the description that names JSON
# is about what it writes.
while IFS= read -r sentence || [ -n "$sentence" ]; do
    if [[ "$sentence" == *JSON* && ! "$sentence" =~ writ|output ]]; then
        fail "the description reads as if kemcalc took JSON in: $sentence"
    fi
done < <(dpkg-deb -f "$deb" Description | tr '\n' ' ' | sed 's/\. /.\n/g')

expected='Annual Sales:            $600.00  
Gross Profit:            $120.00  
Gross Profit Percentage: 20.00%
Months Supply:           10.00  
Average Inventory:       $200.00  
Return on Inventory:                60.00%'
[ "$("$root/usr/bin/kemcalc" '$10' '$8' 50 5)" = "$expected" ] || fail "wrong results"
out=$(printf 'sku,Price,cost,bought,sold\nA1,2,1,3,2\n' | "$root/usr/bin/kemcalc" --csv --numbers)
[ "$out" = "$(printf 'sku,Price,cost,bought,sold,Annual Sales,Gross Profit,Gross Profit Percentage,Months Supply,Average Inventory,Return on Inventory\r\nA1,2,1,3,2,48.00,24.00,50.00,1.50,1.50,1600.00\r')" ] ||
    fail "wrong catalogue: $out"
if command -v man > /dev/null; then
    man -l "$man_page" 2>/dev/null | grep -q -- '--group-by' || fail "manual page"
fi
echo "deb-install: $(basename "$deb") installs a working kemcalc"
