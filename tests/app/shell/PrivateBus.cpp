#include "PrivateBus.h"

#include <QStandardPaths>

namespace quibsum::testing {

namespace {
PrivateBus* current = nullptr;
}

PrivateBus::PrivateBus() {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (program.isEmpty() || !dir_.isValid()) return;
    socketPath_ = dir_.path() + QStringLiteral("/bus");
    daemon_.setProgram(program);
    // The tests' own configuration: no service folders, so nothing installed on the machine
    // (a portal, a notification daemon) starts on this bus.
    daemon_.setArguments({QStringLiteral("--config-file=" QUIBSUM_SOURCE_DIR "/tests/support/session-bus.conf"),
                          QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                          QStringLiteral("--address=unix:path=") + socketPath_, QStringLiteral("--print-address=1")});
    daemon_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    daemon_.start();
    if (!daemon_.waitForStarted() || !daemon_.waitForReadyRead(10000)) return;
    address_ = QString::fromUtf8(daemon_.readLine().trimmed());
    qputenv("DBUS_SESSION_BUS_ADDRESS", address_.toUtf8());
}

PrivateBus::~PrivateBus() {
    daemon_.kill();
    daemon_.waitForFinished();
}

PrivateBus* PrivateBus::instance() { return current; }

void PrivateBus::setInstance(PrivateBus* bus) { current = bus; }

}  // namespace quibsum::testing
