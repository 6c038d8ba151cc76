# Sourced by the test scripts that start programs on a virtual display: whatever the machine
# or the developer's session has (a language, an input method, a platform theme, a Wayland or
# KDE session), the programs under test see the same plain desktop. Tests that need a language
# or a session kind set it themselves.
export LC_ALL=C.UTF-8
unset LANGUAGE LC_MESSAGES QT_IM_MODULE XMODIFIERS GTK_IM_MODULE QT_QPA_PLATFORMTHEME \
    QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR \
    XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP XDG_SESSION_TYPE WAYLAND_DISPLAY
# A session bus for tests, started with `dbus-run-session --config-file="$test_bus_config"`:
# no service folders, so no service of the machine's (a portal above all) starts on it.
test_bus_config="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/session-bus.conf"
