#!/usr/bin/env bash
# The desktop window under a real window manager (openbox) on a virtual display, driven as a
# user drives it with the mouse and keys: its title, dragging it by its background and edges
# (it moves or resizes and stays shown), pinning it (above, on every workspace, also after
# hiding and showing it), a large append (the view ends at the caret), and quitting or closing
# while the settings window is open.
# Usage: window_manager_test.sh QUIBSUM_PROGRAM. Exits 77 (skipped) without the tools.
set -euo pipefail

program=${1:?usage: window_manager_test.sh QUIBSUM_PROGRAM}

if [ "${QUIBSUM_IN_DISPLAY:-}" != 1 ]; then
    for tool in xvfb-run xdotool xclip xprop xwininfo openbox wmctrl dbus-run-session; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
    source "$(dirname "$0")/../support/neutral-desktop.sh"
    QUIBSUM_IN_DISPLAY=1 exec timeout -k 5 110 \
        xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" \
        dbus-run-session --config-file="$test_bus_config" "$0" "$program"
fi

work=$(mktemp -d)
pid=""
wm=""
cleanup() {
    if [ -n "$pid" ]; then kill -9 "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    if [ -n "$wm" ]; then kill "$wm" 2>/dev/null || true; wait "$wm" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$0")/../support/desktop-session.sh"

# openbox with two workspaces and its defaults otherwise, whatever the machine's configuration.
cat >"$work/rc.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy></placement>
  <desktops><number>2</number><firstdesk>1</firstdesk></desktops>
</openbox_config>
EOF
openbox --sm-disable --config-file "$work/rc.xml" >"$work/openbox.log" 2>&1 &
wm=$!
wait_for 10 wmctrl -m >/dev/null 2>&1 || fail "openbox did not start: $(cat "$work/openbox.log")"

viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
unmapped() { ! viewable "$1"; }
exited() { [ ! -e "/proc/$pid" ] || grep -q '^State:[[:space:]]*Z' "/proc/$pid/status" 2>/dev/null; }
property() { xprop -id "$window" "$1" 2>/dev/null; }
geometry() { xwininfo -id "$window" | awk '/Absolute upper-left|Width:|Height:/ { printf "%s ", $NF }'; }

start() {
    "$program" >"$work/quibsum.log" 2>&1 &
    pid=$!
    window=$(timeout 20 xdotool search --all --sync --onlyvisible --pid "$pid" --name "Quib Sum" | head -n 1) ||
        fail "no window appeared; log: $(cat "$work/quibsum.log")"
    xdotool windowfocus --sync "$window"
    eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y, WIDTH, HEIGHT
}

# Quits with Ctrl+Q sent to the window given, and expects the program to end well.
quit_from() {
    xdotool windowfocus --sync "$1" key ctrl+q
    wait_for 10 exited || fail "Ctrl+Q in $2 did not quit"
    local status=0
    wait "$pid" || status=$?
    pid=""
    [ "$status" -eq 0 ] || fail "quitting from $2 ended with status $status"
}

start

# ---- The title names the sheet once ----------------------------------------------------
xdotool key ctrl+n
named() { [ "$(xdotool getwindowname "$window")" = "Quib Sum — Sheet 1" ]; }
wait_for 5 named || fail "the new sheet's window is titled [$(xdotool getwindowname "$window")]"
xdotool key ctrl+bracketleft
quick_title() { [ "$(xdotool getwindowname "$window")" = "Quib Sum" ]; }
wait_for 5 quick_title || fail "the quick sheet's window is titled [$(xdotool getwindowname "$window")]"

# ---- Dragging its background or edges moves or resizes it and never hides it ---------------
# Each drag is held longer than the moment after which Qt takes a keyboard grab for lost
# focus; afterwards a key typed must reach the sheet, so the window is shown and has it.
typed=""
drag() {  # NAME X Y DX DY
    local name=$1 before
    before=$(geometry)
    xdotool mousemove --window "$window" "$2" "$3" mousedown 1
    xdotool mousemove_relative -- "$4" "$5"
    # The window manager follows the pointer once it has the request: keep moving it a little.
    changed() { xdotool mousemove_relative -- 1 1; [ "$(geometry)" != "$before" ]; }
    wait_for 5 changed || { xdotool mouseup 1; fail "dragging the $name neither moved nor resized the window"; }
    sleep 0.6  # the user holds the button a moment
    xdotool mousemove_relative -- 3 3 mouseup 1
    viewable "$window" || fail "dragging the $name hid the window"
    local digit=${#typed}
    typed+=$digit
    xdotool type "$digit"
    wait_for 5 file_is "$typed" ||
        fail "after dragging the $name, typing reached no sheet (saved: [$(cat "$quick" 2>/dev/null)])"
    viewable "$window" || fail "after dragging the $name the window is hidden"
    eval "$(xdotool getwindowgeometry --shell "$window")"
}
drag "title line" $((WIDTH / 4)) 12 40 30
drag "footer" $((WIDTH / 2)) $((HEIGHT - 22)) -30 -20
drag "left edge" 2 $((HEIGHT / 2)) -25 0
drag "bottom edge" $((WIDTH / 2)) $((HEIGHT - 2)) 0 30
drag "right edge" $((WIDTH - 2)) $((HEIGHT / 3)) 30 0
drag "top left corner" 1 1 -20 -20

# ---- Pinned: above other windows and on every workspace ------------------------------------
states() { property _NET_WM_STATE; }
has_state() { states | grep -q "$1"; }
lacks_state() { ! has_state "$1"; }
on_desktop() { property _NET_WM_DESKTOP | grep -q "= $1\$"; }
desktop_in_view() { xprop -root _NET_CURRENT_DESKTOP | grep -q "= $1\$"; }
pin_button() { xdotool mousemove --window "$window" $((WIDTH - 55)) $((HEIGHT - 23)) click 1; }

# openbox knows no sticky state (every workspace is desktop 0xFFFFFFFF there); where the window
# manager supports it, it must be set too.
sticky=_NET_WM_STATE_STICKY
xprop -root _NET_SUPPORTED | grep -q "$sticky" || sticky=_NET_WM_STATE_ABOVE

pin_button
pinned() { has_state "$sticky" && has_state _NET_WM_STATE_ABOVE && on_desktop 4294967295; }
wait_for 5 pinned || fail "pinning a shown window left state [$(states)], $(property _NET_WM_DESKTOP)"
viewable "$window" || fail "pinning hid the window"
wmctrl -s 1
wait_for 5 desktop_in_view 1 || fail "openbox did not switch to workspace 1"
viewable "$window" || fail "the pinned window is not on workspace 1"
# Hidden and shown again (the hot key's way): still pinned for the window manager.
"$program" toggle
wait_for 5 unmapped "$window" || fail "quibsum toggle did not hide the window"
"$program" toggle
# (Qt makes a new native window when the stays-on-top hint changed while it was hidden.)
window=$(timeout 5 xdotool search --all --sync --onlyvisible --pid "$pid" --name "Quib Sum" | head -n 1) ||
    fail "quibsum toggle did not show the window again"
wait_for 5 pinned || fail "shown again, the pinned window has state [$(states)], $(property _NET_WM_DESKTOP)"
xdotool windowfocus --sync "$window"
pin_button
unpinned() { lacks_state "$sticky" && lacks_state _NET_WM_STATE_ABOVE && on_desktop 1; }
wait_for 5 unpinned || fail "unpinning left state [$(states)], $(property _NET_WM_DESKTOP)"
viewable "$window" || fail "unpinning hid the window"

# ---- A large append ends with the caret's line in view ---------------------------------------
# Appended while the window is hidden, as from another program; the window shows itself.
numbered() { seq "$1" "$2" | sed 's/$/ * 1 + 0 * 1000/'; }  # 2,500 of them: more than goes into the view at once
"$program" append "$(numbered 1 1799)" >/dev/null
"$program" hide
wait_for 5 unmapped "$window" || fail "quibsum hide did not hide the window"
"$program" append "$(numbered 1800 4299)" >/dev/null
appended() { [ "$(wc -l <"$quick")" -ge 4298 ]; }
wait_for 10 appended || fail "the appended lines were not saved"
window=$(timeout 5 xdotool search --all --sync --onlyvisible --pid "$pid" --name "Quib Sum" | head -n 1) ||
    fail "appending did not show the window"
xdotool windowfocus --sync "$window"
eval "$(xdotool getwindowgeometry --shell "$window")"
# The lowest row of the results column in view: copied by a click, read back.
lowest=""
ends_in_view() {
    local y copied
    for ((y = HEIGHT - 45; y > HEIGHT - 120; y -= 4)); do
        printf 'none' | xclip -selection clipboard
        xdotool mousemove --window "$window" $((WIDTH - 40)) "$y" click 1
        copied=$(clipboard)
        copied=${copied//,/}
        if [[ "$copied" =~ ^[0-9]+$ ]]; then
            lowest=$copied
            [ "$copied" -ge 4297 ]
            return
        fi
    done
    return 1
}
wait_for 10 ends_in_view || fail "after appending 2,500 lines the lowest line in view is [$lowest], not near 4,299"

# ---- The settings window: Escape and Ctrl+W close it, Ctrl+Q quits from it -----------------------
settings=""
open_settings() {
    xdotool windowfocus --sync "$window" key ctrl+comma
    settings=$(timeout 10 xdotool search --all --sync --onlyvisible --pid "$pid" --name "^Settings" | head -n 1) ||
        fail "Ctrl+, opened no settings window"
}
open_settings
xdotool windowfocus --sync "$settings" key Escape
wait_for 5 unmapped "$settings" || fail "Escape did not close the settings window"
open_settings
xdotool windowfocus --sync "$settings" key ctrl+w
wait_for 5 unmapped "$settings" || fail "Ctrl+W did not close the settings window"
open_settings
quit_from "$settings" "the settings window"
[ "$(wc -l <"$quick")" -ge 4298 ] || fail "quitting lost the sheet"

# Ctrl+Q in the sheet window while the settings window is open, a few times over.
for run in 1 2 3; do
    start
    open_settings
    quit_from "$window" "the sheet window with the settings open (run $run)"
done
echo "PASS"
