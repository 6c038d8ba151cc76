#!/usr/bin/env bash
# Sets up, builds `quibsum` in the default preset and runs it: on a desktop (a display is
# set) it opens the Quib Sum window on your stored sheets; without a display it shows the
# command line at work on the two example sheets, one in English (en number style) and one in
# Vietnamese (vi number style), with the exchange rates that ship with the program.
# With arguments, runs `quibsum` with them instead: scripts/run.sh calc 20% of 1,250
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target quibsum
quibsum=build/default/QuibSum/quibsum

if [ $# -gt 0 ]; then
    exec "$quibsum" "$@"
fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$quibsum"
fi

seed=QuibSumRates/resources/rates-seed.json
echo "== examples/trip-en.txt (quibsum sheet --style en)"
"$quibsum" sheet --style en --rates "$seed" examples/trip-en.txt
echo
echo "== examples/lam-banh-vi.txt (quibsum sheet --style vi)"
"$quibsum" sheet --style vi --rates "$seed" examples/lam-banh-vi.txt
echo
echo "== quibsum calc --rates $seed 100 USD to EUR"
"$quibsum" calc --rates "$seed" 100 USD to EUR
