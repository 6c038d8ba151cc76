#pragma once
// PrivateBus: a session bus of the test's own (a dbus-daemon on a socket in a temporary
// folder), so that no test meets, or disturbs, the desktop's bus. Absent when dbus-daemon is
// not installed; the tests then skip.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace quibsum::testing {

class PrivateBus {
public:
    // Starts the daemon; on success DBUS_SESSION_BUS_ADDRESS names it for the whole process.
    PrivateBus();
    ~PrivateBus();

    bool isRunning() const { return !address_.isEmpty(); }
    const QString& address() const { return address_; }
    const QString& socketPath() const { return socketPath_; }
    // The process's bus, set up by the test program's main().
    static PrivateBus* instance();
    static void setInstance(PrivateBus* bus);

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
    QString socketPath_;
};

}  // namespace quibsum::testing
