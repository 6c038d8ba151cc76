#pragma once
// SelectionReader: reads the primary selection, else the clipboard, for a window once that
// window has the keyboard. A Wayland compositor offers the selection only to the client with
// the keyboard focus, so `append-selection` shows the window first and reads then. It waits a
// bounded time for the focus, and a moment after it for the selection's offer to arrive.

#include <QObject>
#include <QString>
#include <chrono>
#include <functional>

class QTimer;

namespace quibsum {

class SelectionReader : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // Whether the window has the keyboard now.
        std::function<bool()> hasKeyboard;
        // The primary selection's text, else the clipboard's; empty when neither has text.
        std::function<QString()> read;
    };
    // The longest it waits for the keyboard, and then for a selection to be offered.
    static constexpr std::chrono::milliseconds focusWait{2000};
    static constexpr std::chrono::milliseconds offerWait{300};

    SelectionReader(Hooks hooks, std::chrono::milliseconds focusLimit = focusWait,
                    std::chrono::milliseconds offerLimit = offerWait, QObject* parent = nullptr);

    // Calls `done` once, on the main thread, with the text (empty when there was none), then
    // deletes itself.
    void start(std::function<void(const QString& text)> done);

    // Looks again (the focus or the clipboard changed).
    void check();

    static Hooks standard(const std::function<bool()>& hasKeyboard);

private:
    void finish(const QString& text);

    Hooks hooks_;
    std::chrono::milliseconds offerLimit_;
    QTimer* deadline_;
    bool focused_ = false;
    std::function<void(const QString&)> done_;
};

}  // namespace quibsum
