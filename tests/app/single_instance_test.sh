#!/usr/bin/env bash
# One running Quib Sum per session, reached by later commands, on a virtual display and a
# private session bus: a second start shows the first window; hide, toggle and the hot key; the primary
# selection appended to the quick sheet; 20 concurrent appends all kept; a killed instance
# never blocks the next start; append-selection starts the application when none runs.
# Usage: single_instance_test.sh QUIBSUM_PROGRAM. Exits 77 (skipped) without the tools.
set -euo pipefail

program=${1:?usage: single_instance_test.sh QUIBSUM_PROGRAM}

if [ "${QUIBSUM_IN_DISPLAY:-}" != 1 ]; then
    for tool in xvfb-run xdotool xclip dbus-run-session; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
    source "$(dirname "$0")/../support/neutral-desktop.sh"
    QUIBSUM_IN_DISPLAY=1 exec timeout -k 5 90 dbus-run-session --config-file="$test_bus_config" -- \
        xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" "$0" "$program"
fi

work=$(mktemp -d)
pid=""
# The instance is also started by commands, detached: find it by its data folder.
instances() { pgrep -f -- "^$program( --hidden)?\$" || true; }
cleanup() {
    local p
    for p in $(instances); do
        grep -qs "QUIBSUM_DATA_DIR=$work/data" "/proc/$p/environ" && kill -9 "$p" 2>/dev/null || true
    done
    if [ -n "$pid" ]; then kill -9 "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$0")/../support/desktop-session.sh"

visible() { xdotool search --onlyvisible --name "^Quib Sum" >/dev/null 2>&1; }
hidden() { ! visible; }
windows() { xdotool search --onlyvisible --name "^Quib Sum" 2>/dev/null | wc -l; }

start() {
    "$program" >"$work/quibsum.log" 2>&1 &
    pid=$!
    timeout 20 xdotool search --sync --onlyvisible --pid "$pid" --name "Quib Sum" >/dev/null ||
        fail "no window appeared; log: $(cat "$work/quibsum.log")"
}

start

# A second start hands over to the first and ends at once, leaving one window shown.
"$program" hide
wait_for 5 hidden || fail "quibsum hide left the window shown"
second=0
timeout 10 "$program" >"$work/second.log" 2>&1 || second=$?
[ "$second" -eq 0 ] || fail "a second quibsum ended with $second: $(cat "$work/second.log")"
wait_for 5 visible || fail "a second quibsum did not show the running window"
[ "$(windows)" -eq 1 ] || fail "$(windows) windows are shown, not 1"
kill -0 "$pid" || fail "the first instance ended"

# Toggle: the window in front hides; a hidden one shows.
"$program" toggle
wait_for 5 hidden || fail "quibsum toggle did not hide the window in front"
"$program" toggle
wait_for 5 visible || fail "quibsum toggle did not show the hidden window"

# The global hot key (Ctrl+Alt+Space unless the settings hold another) does the same.
xdotool key ctrl+alt+space
wait_for 5 hidden || fail "the hot key did not hide the window"
xdotool key ctrl+alt+space
wait_for 5 visible || fail "the hot key did not show the window"

# The primary selection lands in the quick sheet, which the window then shows.
"$program" hide
wait_for 5 hidden || fail "quibsum hide left the window shown"
printf '%s' "2+3" | xclip -selection primary
"$program" append-selection || fail "append-selection failed"
sleep 0.7
[ "$(tail -n 1 "$quick")" = "2+3" ] || fail "the quick sheet ends with [$(tail -n 1 "$quick")], not [2+3]"
wait_for 5 visible || fail "append-selection did not show the window"

# Twenty appends at once, while the instance runs: every line kept, each once.
appends=()
for n in $(seq 1 20); do
    "$program" append "line$n = $n" >/dev/null 2>"$work/append$n.log" &
    appends+=($!)
done
for p in "${appends[@]}"; do wait "$p" || fail "an append failed: $(cat "$work"/append*.log)"; done
for n in $(seq 1 20); do
    [ "$(grep -cx "line$n = $n" "$quick")" -eq 1 ] ||
        fail "line$n is in the quick sheet $(grep -cx "line$n = $n" "$quick") times; $(cat "$work/append$n.log")"
done

# A crash: the name dies with the process; the next start owns it and shows its window.
kill -9 "$pid"
wait "$pid" 2>/dev/null || true
pid=""
wait_for 5 hidden || fail "the killed instance's window is still shown"
start
[ "$(grep -c . "$quick")" -ge 21 ] || fail "the restarted instance lost lines"
"$program" hide
wait_for 5 hidden || fail "the restarted instance does not answer on the bus"

# With nothing running, append-selection starts the application and shows the quick sheet.
kill -9 "$pid"
wait "$pid" 2>/dev/null || true
pid=""
printf '%s' "7*6" | xclip -selection primary
"$program" append-selection || fail "append-selection without an instance failed"
[ "$(tail -n 1 "$quick")" = "7*6" ] || fail "the quick sheet ends with [$(tail -n 1 "$quick")], not [7*6]"
wait_for 10 visible || fail "append-selection did not start Quib Sum with its window shown"
"$program" hide
wait_for 5 hidden || fail "the instance append-selection started does not answer"
echo "PASS"
