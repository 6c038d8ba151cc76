#pragma once
// Schedule: runs an action once after a delay, on the main thread. Views that show feedback
// for a while take one, so that tests can fire the actions themselves instead of waiting.

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

namespace quibsum {

using Schedule = std::function<void(std::chrono::milliseconds, std::function<void()>)>;

// A precise single-shot timer owned by `context`: the action never runs after it is gone.
inline Schedule timerSchedule(QObject* context) {
    return [context](std::chrono::milliseconds delay, std::function<void()> action) {
        QTimer::singleShot(delay, Qt::PreciseTimer, context, std::move(action));
    };
}

}  // namespace quibsum
