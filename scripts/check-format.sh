#!/usr/bin/env bash
# Fails when a C++ file of the project is not as clang-format lays it out.
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format || command -v clang-format-14 || true)
if [ -z "$format" ]; then
    echo "clang-format is not installed"
    exit 1
fi
bad=0
while IFS= read -r file; do
    if ! "$format" --dry-run -Werror "$file" >/dev/null 2>&1; then
        echo "not clang-format clean: $file"
        bad=1
    fi
done < <(find model catalogue window keyboard resources cli web tests bench fuzz -name '*.cpp' -o -name '*.h' | sort)
# The browser edition's scripts and style sheet, with the prettier that
# package-lock.json pins (scripts/install-deps.sh installs it).
if [ ! -x node_modules/.bin/prettier ]; then
    echo "prettier is not installed: run scripts/install-deps.sh"
    exit 1
fi
node_modules/.bin/prettier --check --log-level warn 'web/**/*.{mjs,js,css,webmanifest}' 'tests/web/*.mjs' 'bench/*.mjs' \
    'scripts/*.mjs' || bad=1
exit $bad
