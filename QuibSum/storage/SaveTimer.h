#pragma once
// SaveTimer: when SheetStore's delayed save runs. A single-shot timer that every start
// restarts, so a burst of edits gives one save. The store owns its timer, so a discarded store
// is never saved late. The standard one is a precise QTimer; tests use one they fire themselves.

#include <chrono>
#include <functional>
#include <memory>

namespace quibsum {

class SaveTimer {
public:
    virtual ~SaveTimer() = default;

    // Calls onTimeout once, `delay` after the last start, unless stopped first.
    virtual void start(std::chrono::milliseconds delay) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;

    std::function<void()> onTimeout;

    // A precise QTimer on the calling thread's event loop.
    static std::unique_ptr<SaveTimer> standard();
};

}  // namespace quibsum
