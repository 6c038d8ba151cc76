#!/usr/bin/env bash
# Times the desktop's search (GNOME Shell's GetInitialResultSet and KRunner's Match) on a
# virtual display (Xvfb) and a private session bus, with both rate feeds pointing at a server
# that accepts and never answers, and no rates fetched yet: every search finds a refresh due.
# Warm: RUNS calls (default 200) to the running application, median and 95th percentile.
# Cold: the application not running, started by D-Bus activation as GNOME Shell and KRunner
# start it, COLD_RUNS times (default 10). Builds what it runs first (default preset).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${QUIBSUM_IN_DISPLAY:-}" != 1 ]; then
    cmake --preset default >/dev/null
    cmake --build --preset default --target quibsum quibsum-window SearchTime >/dev/null
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$work/services"
    printf '[D-BUS Service]\nName=org.quibsum.QuibSum\nExec=%s --hidden\n' \
        "$PWD/build/default/QuibSum/quibsum" > "$work/services/org.quibsum.QuibSum.service"
    sed "s|</busconfig>|  <servicedir>$work/services</servicedir>\n</busconfig>|" \
        tests/support/session-bus.conf > "$work/bus.conf"
    source tests/support/neutral-desktop.sh
    QUIBSUM_IN_DISPLAY=1 QUIBSUM_BENCH_WORK=$work exec timeout -k 5 600 \
        dbus-run-session --config-file="$work/bus.conf" -- xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" "$0"
fi

work=$QUIBSUM_BENCH_WORK
mkdir -m 0700 -p "$work/runtime"
# The default data folder (under this HOME), so that the instance owns the name GNOME Shell
# and KRunner call.
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb
unset QUIBSUM_DATA_DIR QUIBSUM_CONFIG_DIR XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME
# A feed server that accepts connections and never answers.
python3 -c '
import socket, sys, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(64)
print(s.getsockname()[1], flush=True)
held = []
while True:
    held.append(s.accept()[0])
' > "$work/port" &
silent=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(head -1 "$work/port")
export QUIBSUM_ERAPI_URL=http://127.0.0.1:$port/erapi QUIBSUM_VCB_URL=http://127.0.0.1:$port/vcb
dbus-update-activation-environment HOME XDG_RUNTIME_DIR QT_QPA_PLATFORM QUIBSUM_ERAPI_URL QUIBSUM_VCB_URL DISPLAY XAUTHORITY

times=build/default/bench/SearchTime
bus_call() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / "org.freedesktop.DBus.$1" string:org.quibsum.QuibSum
}
# Ends the running instance (found by its bus name, never by a process name: other programs
# on this machine may be Quib Sums) and waits until the name is free.
stop_instance() {
    local pid
    pid=$(bus_call GetConnectionUnixProcessID 2>/dev/null | awk '/uint32/ { print $2 }') || true
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    while bus_call NameHasOwner 2>/dev/null | grep -q true; do sleep 0.05; done
}
trap 'kill $silent 2>/dev/null || true; stop_instance' EXIT

cold=()
for ((i = 0; i < ${COLD_RUNS:-10}; i++)); do
    stop_instance
    cold+=("$("$times" --once | awk 'NR == 1 { print $(NF - 1) }')")
done
printf '%s\n' "${cold[@]}" | sort -n | awk '{ a[NR] = $1 } END {
    printf "cold GetInitialResultSet (started by D-Bus activation): median %.1f ms   best %.1f ms   (%d runs)\n",
        a[int((NR + 1) / 2)], a[1], NR }'
echo "warm (the application running, a refresh due and stuck on the silent feeds):"
"$times"
