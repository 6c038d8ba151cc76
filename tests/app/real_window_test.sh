#!/usr/bin/env bash
# The desktop window as a user meets it, on a virtual display: type a few lines, find them in
# the saved sheet, click a result and read the clipboard, then kill the program hard right
# after the delayed save and start it again: everything typed is still there.
# Usage: real_window_test.sh QUIBSUM_PROGRAM. Exits 77 (skipped) without xvfb-run, xdotool or xclip.
set -euo pipefail

program=${1:?usage: real_window_test.sh QUIBSUM_PROGRAM}

if [ "${QUIBSUM_IN_DISPLAY:-}" != 1 ]; then
    for tool in xvfb-run xdotool xclip; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
    source "$(dirname "$0")/../support/neutral-desktop.sh"
    QUIBSUM_IN_DISPLAY=1 exec timeout -k 5 90 \
        xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" "$0" "$program"
fi

work=$(mktemp -d)
pid=""
cleanup() {
    if [ -n "$pid" ]; then kill -9 "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$0")/../support/desktop-session.sh"


start() {
    "$program" >"$work/quibsum.log" 2>&1 &
    pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" --name "Quib Sum" | head -n 1) ||
        fail "no window appeared; log: $(cat "$work/quibsum.log")"
    xdotool windowfocus --sync "$window"
    eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y, WIDTH, HEIGHT
}

# Types text as keys; each "\n" is the Return key (xdotool types it as Linefeed, which no
# editor takes as a new line).
type_text() {
    local first=1 line
    while IFS= read -r line; do
        [ $first = 1 ] || xdotool key Return
        first=0
        [ -z "$line" ] || xdotool type --delay 20 "$line"
    done <<<"$1"
}

# The whole text the window shows, through its own copy command.
window_text() {
    xdotool windowfocus --sync "$window" key ctrl+a ctrl+c
    clipboard
}

start
typed=$'x = 5\nx * 2 km\n100 USD in VND'
type_text "$typed"
wait_for 5 file_is "$typed" || fail "saved sheet holds [$(cat "$quick" 2>/dev/null)], not [$typed]"

# The results column is at the window's right, inside the scroll bar; its rows are level with
# the lines. Walk down it until the second line's result is copied: the first line's result
# must come first, above it.
column_x=$((WIDTH - 40))
seen_first=""
copied=""
for ((y = 4; y < 160; y += 3)); do
    xdotool mousemove --window "$window" "$column_x" "$y" click 1
    copied=$(clipboard)
    [ "$copied" = 5 ] && seen_first=$y
    [ "$copied" = "10 km" ] && break
done
[ "$copied" = "10 km" ] || fail "no result row copied \"10 km\" (last clipboard: [$copied])"
[ -n "$seen_first" ] || fail "the row of \"x = 5\" copied nothing before the row of line 2"

# A line typed just before a hard kill, after the delayed save's pause, is kept.
xdotool windowfocus --sync "$window" key ctrl+End
type_text $'\n3 * x'
sleep 0.7
kill -9 "$pid"
wait "$pid" 2>/dev/null || true
pid=""
all="$typed"$'\n3 * x'
file_is "$all" || fail "after kill -9 the saved sheet holds [$(cat "$quick")], not [$all]"

start
shows_all() { [ "$(window_text)" = "$all" ]; }
wait_for 5 shows_all || fail "the reopened window shows [$(window_text)], not [$all]"

# Ctrl+Q saves and quits.
exited() { [ ! -e "/proc/$pid" ] || grep -q '^State:[[:space:]]*Z' "/proc/$pid/status"; }
xdotool windowfocus --sync "$window" key ctrl+q
wait_for 5 exited || fail "Ctrl+Q did not quit"
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || fail "quitting ended with status $status"
file_is "$all" || fail "quitting changed the saved sheet to [$(cat "$quick")]"
echo "PASS"
