#!/usr/bin/env bash
# Writes pictures of each settings pane and of the currency guide, light and dark, to
# docs/settings-<pane>-<appearance>.png and docs/currency-guide-<appearance>.png, and the same
# in Vietnamese (names ending in -vi). Drawn on
# Qt's offscreen platform, so no display is needed. Builds the drawing program first unless
# QUIBSUM_SETTINGS_SCREENSHOTS names one.
set -euo pipefail
cd "$(dirname "$0")/.."

program=${QUIBSUM_SETTINGS_SCREENSHOTS:-}
if [ -z "$program" ]; then
    cmake --preset default >/dev/null
    cmake --build --preset default --target SettingsScreenshots
    program=$PWD/build/default/tests/app/SettingsScreenshots
fi
mkdir -p docs
"$program" docs
"$program" docs vi
