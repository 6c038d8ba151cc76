#!/usr/bin/env bash
# Times the window's launch on a virtual display (Xvfb): from starting `quibsum` on a stored
# 2,000-line sheet to the first painted window (Qt's first flush of the window to the display,
# from its qt.widgets.painting log), best and median of RUNS (default 7). Then the resident
# memory (VmRSS, and its peak VmHWM) with a 10,000-line sheet open, and with a 20-line one.
# Builds `quibsum` and PrintSheet first (default preset).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${QUIBSUM_IN_DISPLAY:-}" != 1 ]; then
    cmake --preset default >/dev/null
    cmake --build --preset default --target quibsum PrintSheet >/dev/null
    QUIBSUM_IN_DISPLAY=1 exec timeout -k 5 300 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" "$0"
fi

program=build/default/QuibSum/quibsum
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

use_sheet() {
    rm -rf "$QUIBSUM_DATA_DIR" "$QUIBSUM_CONFIG_DIR"
    build/default/bench/PrintSheet "$1" | "$program" append >/dev/null
}
now() { python3 -c 'import time; print(time.monotonic())'; }  # the clock of Qt's %{time boot}

stop() { kill "$pid"; wait "$pid" 2>/dev/null || true; pid=""; }

use_sheet 2000
times=()
for ((run = 0; run < ${RUNS:-7}; run++)); do
    rm -rf "$QUIBSUM_CONFIG_DIR"
    start=$(now)
    QT_LOGGING_RULES="qt.widgets.painting=true" QT_MESSAGE_PATTERN='%{time boot} %{category} %{message}' \
        "$program" 2>"$work/paint.log" &
    pid=$!
    for ((i = 0; i < 200; i++)); do
        grep -q 'qt.widgets.painting Flushing' "$work/paint.log" && break
        sleep 0.05
    done
    painted=$(awk '/qt.widgets.painting Flushing/ { print $1; exit }' "$work/paint.log")
    [ -n "$painted" ] || { echo "the window was never painted" >&2; exit 1; }
    times+=("$(python3 -c "print(round(($painted - $start) * 1000))")")
    stop
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
echo "launch to first painted window, 2,000 lines (ms): ${times[*]}"
echo "  best $(head -n 1 <<<"$sorted"), median $(sed -n "$(((${#times[@]} + 1) / 2))p" <<<"$sorted")"

for lines in 10000 20; do
    use_sheet "$lines"
    "$program" &
    pid=$!
    xdotool search --sync --onlyvisible --pid "$pid" --name "Quib Sum" >/dev/null
    sleep 3  # the background evaluation of a long sheet, and the rate refresh giving up
    echo "resident memory, $lines lines: $(grep -E '^Vm(RSS|HWM)' "/proc/$pid/status" | tr -s ' \t' ' ' | paste -sd ' ')"
    stop
done
