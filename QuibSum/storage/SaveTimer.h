#pragma once
// SaveTimer: when SheetStore's delayed save runs. A single-shot timer that every start
// restarts, so a burst of edits gives one save. The store owns its timer, so a discarded store
// is never saved late. The standard one is a precise QTimer; tests use one they fire themselves.

#include <QObject>
#include <chrono>
#include <memory>

namespace quibsum {

class SaveTimer : public QObject {
    Q_OBJECT
public:
    // Signals timeout once, `delay` after the last start, unless stopped first.
    virtual void start(std::chrono::milliseconds delay) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;

    // A precise QTimer on the calling thread's event loop.
    static std::unique_ptr<SaveTimer> standard();

signals:
    void timeout();
};

}  // namespace quibsum
