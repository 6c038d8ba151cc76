#include "QuibSum/shell/DisplayAccess.h"

#include <xcb/xcb.h>

#include <QFileInfo>
#include <QString>

namespace quibsum::DisplayAccess {

namespace {

bool waylandReachable() {
    QString name = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (name.isEmpty()) return false;
    if (!name.startsWith(u'/')) {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (runtime.isEmpty()) return false;
        name = runtime + u'/' + name;
    }
    return QFileInfo::exists(name);
}

// An X server answers: a connection is made and dropped (a few hundred microseconds locally).
bool x11Reachable() {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) return false;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reached;
}

}  // namespace

std::optional<std::string> whyUnreachable() {
    // QT_QPA_PLATFORM may list several ("wayland;xcb") and carry options ("xcb:option").
    const QString chosen = qEnvironmentVariable("QT_QPA_PLATFORM").section(u';', 0, 0).section(u':', 0, 0).trimmed();
    if (chosen == QLatin1String("xcb")) {
        if (x11Reachable()) return std::nullopt;
        return qEnvironmentVariableIsEmpty("DISPLAY")
                   ? "there is no display to show the window on (DISPLAY is not set)"
                   : "cannot connect to the X display \"" + qEnvironmentVariable("DISPLAY").toStdString() + '"';
    }
    if (chosen == QLatin1String("wayland") || chosen == QLatin1String("wayland-egl")) {
        if (waylandReachable()) return std::nullopt;
        return "cannot connect to the Wayland display (WAYLAND_DISPLAY names no socket that exists)";
    }
    // Another platform (offscreen, vnc, eglfs…) is Qt's to open.
    if (!chosen.isEmpty()) return std::nullopt;
    if (waylandReachable() || x11Reachable()) return std::nullopt;
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!x11 && !wayland)
        return "there is no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    if (x11 && !wayland)
        return "cannot connect to the X display \"" + qEnvironmentVariable("DISPLAY").toStdString() + '"';
    return "cannot connect to a display (neither DISPLAY nor WAYLAND_DISPLAY names one that is reachable)";
}

}  // namespace quibsum::DisplayAccess
