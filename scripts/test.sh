#!/usr/bin/env bash
# Sets up, checks the formatting, builds everything in the default preset with warnings as
# errors and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/format.sh --check
cmake --preset default -DQUIBSUM_WERROR=ON >/dev/null
cmake --build --preset default
ctest --preset default -j2 "$@"
