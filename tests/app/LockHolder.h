#pragma once
// LockHolder: another process holding a file's flock, as a second program (or a user's
// `flock`) would, until the test lets it go. Constructed once the lock is held: the helper
// says so on its output, and the test waits for that line, not for a while.

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>

namespace quibsum::testing {

class LockHolder {
public:
    explicit LockHolder(const QString& path) {
        process_.start(QStringLiteral(QUIBSUM_PYTHON), {QStringLiteral("-c"),
                                                        QStringLiteral("import fcntl, sys\n"
                                                                       "f = open(sys.argv[1], 'a')\n"
                                                                       "fcntl.flock(f, fcntl.LOCK_EX)\n"
                                                                       "print('held', flush=True)\n"
                                                                       "sys.stdin.read()\n"),
                                                        path});
        held_ =
            process_.waitForStarted() && process_.waitForReadyRead(30000) && process_.readLine().trimmed() == "held";
        EXPECT_TRUE(held_) << "the lock holder did not start";
    }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    ~LockHolder() { release(); }

    bool held() const { return held_; }

    // Ends the helper (closing its input) and waits until it is gone with its lock.
    void release() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.closeWriteChannel();
        if (!process_.waitForFinished(30000)) {
            process_.kill();
            process_.waitForFinished();
        }
        held_ = false;
    }

private:
    QProcess process_;
    bool held_ = false;
};

}  // namespace quibsum::testing
