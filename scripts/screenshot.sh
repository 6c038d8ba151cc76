#!/usr/bin/env bash
# Writes pictures of the sheet window, light and dark, to docs/screenshot-light.png and
# docs/screenshot-dark.png: a sample sheet opened on a virtual display (Xvfb), with the
# built-in exchange rates. Builds `quibsum` first unless QUIBSUM_PROGRAM names one.
# Needs xvfb-run, xdotool and ImageMagick's import (scripts/setup.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${QUIBSUM_IN_DISPLAY:-}" != 1 ]; then
    if [ -z "${QUIBSUM_PROGRAM:-}" ]; then
        scripts/setup.sh
        cmake --preset default >/dev/null
        cmake --build --preset default --target quibsum
        export QUIBSUM_PROGRAM=$PWD/build/default/QuibSum/quibsum
    fi
    QUIBSUM_IN_DISPLAY=1 exec timeout -k 5 120 \
        xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" "$0"
fi

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
mkdir -p "$QUIBSUM_CONFIG_DIR"

# A heading, labels, units, currencies, a variable, a comment, an error, conversions, a block
# sum and the page total.
"$QUIBSUM_PROGRAM" append --style en >/dev/null <<'SHEET'
# Weekend in Da Lat
nights = 2
Hotel: nights * 850,000 VND
Dinner: $45 to VND
Souvenirs: 20 EUR in VND
// fuel for the rented scooter
Fuel: 310 km / 100 km * 2.5 * 23,500 VND
Tip: 10% of 500,000 VND + 3 kg

Coffee: 4 * 35,000 VND
Cake: 2 * 45,000 VND
sum
SHEET

cp -a "$QUIBSUM_DATA_DIR/Sheets" "$work/sheets"

# Opens the window in an appearance, on the sample sheet as written above; with a second argument, types it on a new last line first
# (a name's first letters, so that the suggestions show). Writes docs/screenshot-NAME.png.
picture() {
    local appearance=$1 name=$2 typed=${3:-}
    rm -rf "$QUIBSUM_DATA_DIR/Sheets"
    cp -a "$work/sheets" "$QUIBSUM_DATA_DIR/Sheets"
    printf '[General]\nappearance=%s\n' "$appearance" >"$QUIBSUM_CONFIG_DIR/QuibSum.conf"
    "$QUIBSUM_PROGRAM" >"$work/quibsum.log" 2>&1 &
    pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" --name "Quib Sum" | head -n 1) || {
        cat "$work/quibsum.log" >&2
        exit 1
    }
    sleep 1  # the first paint, and the results of the lines in view
    if [ -n "$typed" ]; then
        xdotool mousemove --window "$window" 200 120 click 1
        xdotool key ctrl+End Return
        xdotool type --delay 40 "$typed"
        sleep 0.5
    fi
    import -window "$window" "docs/screenshot-$name.png"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    pid=""
    echo "docs/screenshot-$name.png"
}

for appearance in light dark; do
    picture "$appearance" "$appearance"
    picture "$appearance" "completion-$appearance" "2 * ni"
done

# The Vietnamese interface and number style on the Vietnamese example sheet, and its footer
# menu open: docs/screenshot-vi-APPEARANCE.png and docs/screenshot-vi-menu-APPEARANCE.png.
rm -rf "$QUIBSUM_DATA_DIR/Sheets"
"$QUIBSUM_PROGRAM" append --style vi <examples/lam-banh-vi.txt >/dev/null
cp -a "$QUIBSUM_DATA_DIR/Sheets" "$work/sheets-vi"
for appearance in light dark; do
    rm -rf "$QUIBSUM_DATA_DIR/Sheets"
    cp -a "$work/sheets-vi" "$QUIBSUM_DATA_DIR/Sheets"
    printf '[General]\nappearance=%s\nnumberStyle=vi\n' "$appearance" >"$QUIBSUM_CONFIG_DIR/QuibSum.conf"
    LANGUAGE=vi "$QUIBSUM_PROGRAM" >"$work/quibsum.log" 2>&1 &
    pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" --name "Quib Sum" | head -n 1) || {
        cat "$work/quibsum.log" >&2
        exit 1
    }
    sleep 1
    import -window "$window" "docs/screenshot-vi-$appearance.png"
    echo "docs/screenshot-vi-$appearance.png"
    eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y, WIDTH, HEIGHT
    xdotool mousemove --window "$window" $((WIDTH - 25)) $((HEIGHT - 23)) click 1
    sleep 0.7
    # The menu is a window of its own: take the screen around the sheet window.
    import -window root -crop "$((WIDTH + 280))x$((HEIGHT + 360))+$((X - 20))+$((Y - 20))" +repage \
        "docs/screenshot-vi-menu-$appearance.png"
    echo "docs/screenshot-vi-menu-$appearance.png"
    xdotool key Escape
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    pid=""
done
