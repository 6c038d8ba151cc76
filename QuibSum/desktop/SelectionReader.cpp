#include "QuibSum/desktop/SelectionReader.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>
#include <utility>

namespace quibsum {

SelectionReader::SelectionReader(Hooks hooks, std::chrono::milliseconds focusLimit,
                                 std::chrono::milliseconds offerLimit, QObject* parent)
    : QObject(parent), hooks_(std::move(hooks)), offerLimit_(offerLimit), deadline_(new QTimer(this)) {
    deadline_->setSingleShot(true);
    deadline_->setInterval(focusLimit);
    // Without the keyboard in time nothing can be read on Wayland; elsewhere the selection
    // may still be there.
    connect(deadline_, &QTimer::timeout, this, [this] { finish(hooks_.read()); });
}

SelectionReader::Hooks SelectionReader::standard(const std::function<bool()>& hasKeyboard) {
    Hooks hooks;
    hooks.hasKeyboard = hasKeyboard;
    hooks.read = [] {
        QClipboard* clipboard = QGuiApplication::clipboard();
        QString text = clipboard->supportsSelection() ? clipboard->text(QClipboard::Selection) : QString();
        if (text.isEmpty()) text = clipboard->text(QClipboard::Clipboard);
        return text;
    };
    return hooks;
}

void SelectionReader::start(std::function<void(const QString&)> done) {
    done_ = std::move(done);
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this] { check(); });
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this] { check(); });
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::changed, this, [this] { check(); });
    deadline_->start();
    check();
}

void SelectionReader::check() {
    if (!done_ || !hooks_.hasKeyboard()) return;
    const QString text = hooks_.read();
    if (!text.isEmpty()) return finish(text);
    if (!focused_) {
        // The compositor offers the selection as the keyboard arrives; give the offer a moment.
        focused_ = true;
        deadline_->start(offerLimit_);
    }
}

void SelectionReader::finish(const QString& text) {
    if (!done_) return;
    deadline_->stop();
    const auto done = std::exchange(done_, nullptr);
    disconnect(qGuiApp, nullptr, this, nullptr);
    if (QClipboard* clipboard = QGuiApplication::clipboard()) disconnect(clipboard, nullptr, this, nullptr);
    deleteLater();
    done(text);
}

}  // namespace quibsum
