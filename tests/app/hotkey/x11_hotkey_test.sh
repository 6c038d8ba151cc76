#!/usr/bin/env bash
# Runs the X11 hot key tests on a virtual display, inside a private session bus when one can
# be started (the Wayland fallback test needs a bus without a portal).
# Usage: x11_hotkey_test.sh TEST_PROGRAM [GTEST ARGUMENTS...]. Exits 77 (skipped) without
# xvfb-run or xdotool.
set -euo pipefail

program=${1:?usage: x11_hotkey_test.sh TEST_PROGRAM}
shift
for tool in xvfb-run xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
bus=()
command -v dbus-run-session >/dev/null && bus=(dbus-run-session --)
export QT_QPA_PLATFORM=xcb
unset XDG_SESSION_TYPE WAYLAND_DISPLAY
exec timeout -k 5 100 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "${bus[@]}" "$program" "$@"
