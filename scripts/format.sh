#!/usr/bin/env bash
# Formats the C++ sources of QuibSumCore, QuibSumRates, QuibSumFiles, QuibSum, tests, bench and fuzz with
# .clang-format, using clang-format 16 (scripts/setup.sh installs it) so that every machine
# formats alike. With --check, changes nothing and fails listing the files that differ.
set -euo pipefail
cd "$(dirname "$0")/.."

check=0
case "${1:-}" in
    --check) check=1 ;;
    "") ;;
    *) echo "usage: scripts/format.sh [--check]" >&2; exit 2 ;;
esac

formatter=${CLANG_FORMAT:-clang-format-16}
if ! command -v "$formatter" >/dev/null 2>&1; then
    echo "format.sh: $formatter is missing; scripts/setup.sh installs it" >&2
    exit 2
fi

mapfile -t files < <(git ls-files --cached --others --exclude-standard -- \
    'QuibSumCore/*.cpp' 'QuibSumCore/*.h' 'QuibSumRates/*.cpp' 'QuibSumRates/*.h' 'QuibSumFiles/*.cpp' 'QuibSumFiles/*.h' 'QuibSum/*.cpp' 'QuibSum/*.h' \
    'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h')

if [ "$check" = 0 ]; then
    "$formatter" -i --style=file "${files[@]}"
    exit 0
fi
differ=()
for f in "${files[@]}"; do
    if ! "$formatter" --style=file "$f" | cmp -s - "$f"; then
        differ+=("$f")
    fi
done
if [ ${#differ[@]} -gt 0 ]; then
    echo "These files are not formatted (scripts/format.sh formats them):" >&2
    printf '    %s\n' "${differ[@]}" >&2
    exit 1
fi
