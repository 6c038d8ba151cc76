#include "QuibSum/desktop/x11/X11Workspaces.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace quibsum::X11Workspaces {

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    if (!reply) return XCB_ATOM_NONE;
    const xcb_atom_t result = reply->atom;
    std::free(reply);
    return result;
}

void sendToRoot(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window, xcb_atom_t type, std::uint32_t d0,
                std::uint32_t d1) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    event.data.data32[0] = d0;
    event.data.data32[1] = d1;
    event.data.data32[2] = 0;
    event.data.data32[3] = 1;  // a normal application asks
    xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

// The workspace in view, if the window manager says.
std::optional<std::uint32_t> currentDesktop(xcb_connection_t* connection, xcb_window_t root) {
    const xcb_atom_t current = atom(connection, "_NET_CURRENT_DESKTOP");
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, current, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    if (!reply) return std::nullopt;
    std::optional<std::uint32_t> desktop;
    if (xcb_get_property_value_length(reply) >= 4)
        desktop = *static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
    std::free(reply);
    return desktop;
}

}  // namespace

void setOnAllWorkspaces(QWidget* window, bool all) {
    // Other platforms (offscreen among them) may still answer for X11 without a connection.
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !window->windowHandle()) return;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return;
    const auto id = static_cast<xcb_window_t>(
        window->windowHandle()->winId());  // QWidget::winId() may be of an earlier native window
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen) return;
    const xcb_atom_t sticky = atom(connection, "_NET_WM_STATE_STICKY");
    const xcb_atom_t desktopProperty = atom(connection, "_NET_WM_DESKTOP");
    constexpr std::uint32_t everyDesktop = 0xFFFFFFFF;
    constexpr std::uint32_t add = 1, remove = 0;
    sendToRoot(connection, screen->root, id, atom(connection, "_NET_WM_STATE"), all ? add : remove, sticky);
    std::uint32_t desktop = everyDesktop;
    if (!all) {
        // Back onto the workspace in view.
        const std::optional<std::uint32_t> current = currentDesktop(connection, screen->root);
        if (!current || *current == everyDesktop) {
            xcb_flush(connection);
            return;
        }
        desktop = *current;
    }
    sendToRoot(connection, screen->root, id, desktopProperty, desktop, 1);  // 1: a normal application asks
    xcb_flush(connection);
}

}  // namespace quibsum::X11Workspaces
