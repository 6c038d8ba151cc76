#include "QuibSum/desktop/WindowPin.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

#include "QuibSum/desktop/x11/X11Workspaces.h"

namespace quibsum {

WindowPin::WindowPin(QWidget* window) : QObject(window), window_(window) { window_->installEventFilter(this); }

void WindowPin::setPinned(bool pinned) {
    pinned_ = pinned;
    const Qt::WindowFlags flags = window_->windowFlags().setFlag(Qt::WindowStaysOnTopHint, pinned);
    if (flags != window_->windowFlags()) {
        // Changed in place: QWidget::setWindowFlags() would hide a shown window. Qt asks the
        // window manager for _NET_WM_STATE_ABOVE itself.
        window_->overrideWindowFlags(flags);
        if (QWindow* handle = window_->windowHandle()) handle->setFlags(flags);
    }
    if (window_->windowHandle() && window_->windowHandle()->isExposed()) tellWindowManager();
}

void WindowPin::tellWindowManager() {
    told_ = true;
    X11Workspaces::setOnAllWorkspaces(window_, pinned_);
}

bool WindowPin::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        if (event->type() == QEvent::Show && window_->windowHandle()) {
            told_ = false;
            window_->windowHandle()->removeEventFilter(this);
            window_->windowHandle()->installEventFilter(this);
        }
    } else if (event->type() == QEvent::Expose && !told_ && pinned_) {
        // On screen: the window manager manages it now and takes requests for it. (The event
        // goes on to Qt after this look at it.)
        auto* handle = static_cast<QWindow*>(watched);
        if (handle->isExposed()) tellWindowManager();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quibsum
