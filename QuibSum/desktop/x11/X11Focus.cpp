#include "QuibSum/desktop/x11/X11Focus.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstdlib>

namespace quibsum::X11Focus {

Holder holder(const QWidget* window) {
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !window->windowHandle()) return Holder::unknown;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return Holder::unknown;
    const auto ours = static_cast<xcb_window_t>(
        window->windowHandle()->winId());  // QWidget::winId() may be of an earlier native window
    xcb_get_input_focus_reply_t* focus =
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr);
    if (!focus) return Holder::unknown;
    xcb_window_t at = focus->focus;
    std::free(focus);
    // The focus may sit on a child of the window; walk up to the root. (None and PointerRoot,
    // 0 and 1, are no window of ours.)
    for (int depth = 0; depth < 32 && at > 1; ++depth) {
        if (at == ours) return Holder::window;
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, at), nullptr);
        if (!tree) break;
        const xcb_window_t parent = tree->parent;
        const bool top = parent == tree->root;
        std::free(tree);
        if (top) break;
        at = parent;
    }
    return Holder::other;
}

}  // namespace quibsum::X11Focus
