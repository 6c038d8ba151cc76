#pragma once
// Runs the event loop until a condition holds or ten seconds pass (a bound for a loaded
// machine: it returns as soon as the condition holds); says whether it held.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

namespace quibsum {

inline bool waitUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return done();
}

}  // namespace quibsum
