# Sourced by the tests that drive the program on a virtual display, once on it, with `work`
# set to the test's scratch folder: a runtime, data and settings folder of the test's own, rate
# feeds that never answer (the program runs on its built-in rates), the X11 platform; and the
# helpers those tests share.
mkdir -m 0700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
export QUIBSUM_DATA_DIR="$work/data" QUIBSUM_CONFIG_DIR="$work/config"
export QUIBSUM_ERAPI_URL=http://127.0.0.1:9/ QUIBSUM_VCB_URL=http://127.0.0.1:9/
export QT_QPA_PLATFORM=xcb
quick="$QUIBSUM_DATA_DIR/Sheets/00000000-0000-0000-0000-000000000001.txt"

fail() { echo "FAIL: $*" >&2; exit 1; }

# wait_for SECONDS COMMAND...: polls the command every 0.1 s until it succeeds.
wait_for() {
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# The quick sheet on disk is exactly the text given.
file_is() { [ -f "$quick" ] && [ "$(cat "$quick"; echo .)" = "$1." ]; }
clipboard() { timeout 2 xclip -o -selection clipboard 2>/dev/null || true; }
