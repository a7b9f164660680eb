#!/usr/bin/env bash
# Every option that kemcalc --help names is documented in the manual page and
# in docs/kemcalc.md, all three tell Windows users how to type $10, and the
# manual page renders without warnings.
# Usage: tests/cli/check-docs.sh KEMCALC
set -euo pipefail
kemcalc=$1
root="$(dirname "$0")/../.."
man_page="$root/docs/kemcalc.1"
reference="$root/docs/kemcalc.md"

missing=0
options=$("$kemcalc" --help | grep -o -- '--[a-z][a-z-]*' | sort -u)
[ -n "$options" ] || { echo "no options found in --help"; exit 1; }
for option in $options; do
    # roff writes each "-" of an option as "\-".
    if ! grep -qF -- "${option//-/\\-}" "$man_page"; then
        echo "kemcalc.1 does not mention $option"
        missing=1
    fi
    if ! grep -qF -- "\`$option" "$reference"; then
        echo "docs/kemcalc.md does not mention $option"
        missing=1
    fi
done
# How to type $10 differs between a Unix shell, PowerShell and cmd.exe; the
# usage text and both documents say it for each.
help_text=$(mktemp)
trap 'rm -f "$help_text"' EXIT
"$kemcalc" --help > "$help_text"
for shell in PowerShell cmd.exe; do
    for document in "$help_text" "$man_page" "$reference"; do
        if ! grep -qF -- "$shell" "$document"; then
            [ "$document" = "$help_text" ] && document="kemcalc --help"
            echo "$document does not say how to type \$10 in $shell"
            missing=1
        fi
    done
done
if command -v groff > /dev/null; then
    warnings=$(groff -ww -man -z "$man_page" 2>&1)
    if [ -n "$warnings" ]; then
        echo "kemcalc.1: $warnings"
        missing=1
    fi
fi
exit $missing
