#!/usr/bin/env bash
# Times the ways into a running Quib Sum on a virtual display (Xvfb) and a private session
# bus: `quibsum toggle` from start to exit (a whole command, its bus call included), a second
# `quibsum` handing over to the first, and a cold start to a window that xdotool sees mapped;
# then the idle application's resident memory (VmRSS). Median and best of RUNS (default 15).
# Builds `quibsum` first (default preset).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${QUIBSUM_IN_DISPLAY:-}" != 1 ]; then
    cmake --preset default >/dev/null
    cmake --build --preset default --target quibsum >/dev/null
    QUIBSUM_IN_DISPLAY=1 exec timeout -k 5 300 dbus-run-session -- \
        xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" "$0"
fi

program=$PWD/build/default/QuibSum/quibsum
runs=${RUNS:-15}
work=$(mktemp -d)
pid=""
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 0700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb
export QUIBSUM_DATA_DIR="$work/data" QUIBSUM_CONFIG_DIR="$work/config"
export QUIBSUM_ERAPI_URL=http://127.0.0.1:9/ QUIBSUM_VCB_URL=http://127.0.0.1:9/

now() { date +%s%N; }
# summary NAME MILLISECOND-LIST...: the median and the best.
summary() {
    local name=$1; shift
    printf '%s\n' "$@" | sort -n | awk -v name="$name" '{ a[NR] = $1 } END {
        printf "%-34s median %6.1f ms   best %6.1f ms   (%d runs)\n", name, a[int((NR + 1) / 2)], a[1], NR }'
}
elapsed() { echo "scale=1; ($2 - $1) / 1000000" | bc; }

cold=()
for ((i = 0; i < runs; i++)); do
    start=$(now)
    "$program" >/dev/null 2>&1 &
    pid=$!
    timeout 20 xdotool search --sync --onlyvisible --pid "$pid" --name "Quib Sum" >/dev/null
    cold+=("$(elapsed "$start" "$(now)")")
    if [ $i -lt $((runs - 1)) ]; then
        kill "$pid"
        wait "$pid" 2>/dev/null || true
        pid=""
    fi
done
summary "cold start to a mapped window" "${cold[@]}"

sleep 2  # idle: the first refresh (to nowhere) is over
echo "idle resident memory: $(awk '/^VmRSS/ { print $2, $3 }' "/proc/$pid/status")"

toggles=()
for ((i = 0; i < runs; i++)); do
    start=$(now)
    "$program" toggle
    toggles+=("$(elapsed "$start" "$(now)")")
done
summary "quibsum toggle round trip" "${toggles[@]}"

seconds=()
for ((i = 0; i < runs; i++)); do
    start=$(now)
    "$program"
    seconds+=("$(elapsed "$start" "$(now)")")
done
summary "second quibsum (shows the first)" "${seconds[@]}"
