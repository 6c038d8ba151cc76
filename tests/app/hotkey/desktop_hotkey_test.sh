#!/usr/bin/env bash
# Runs the tests that need a desktop session (the hot key; the clipboard and the panel icon,
# for DesktopSessionTests) on a virtual display, inside a private session bus when one can be
# started (the portal tests and the Wayland fallback need a bus of their own, with no real
# portal on it; the panel icon meets a stand-in StatusNotifierWatcher there).
# Usage: desktop_hotkey_test.sh TEST_PROGRAM [GTEST ARGUMENTS...]. Exits 77 (skipped) without
# xvfb-run or xdotool.
set -euo pipefail

program=${1:?usage: x11_hotkey_test.sh TEST_PROGRAM}
shift
for tool in xvfb-run xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
source "$(dirname "$0")/../../support/neutral-desktop.sh"
bus=()
command -v dbus-run-session >/dev/null && bus=(dbus-run-session --config-file="$test_bus_config" --)
export QT_QPA_PLATFORM=xcb
exec timeout -k 5 100 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "${bus[@]}" "$program" "$@"
