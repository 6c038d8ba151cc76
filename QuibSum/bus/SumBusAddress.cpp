#include "QuibSum/bus/SumBusAddress.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <exception>

#include "QuibSum/storage/AppPaths.h"

namespace quibsum::SumBusAddress {

QString serviceName(const QString& dataDirectory) {
    if (!AppPaths::dataDirectoryChosen()) return QString::fromLatin1(defaultServiceName);
    // Bus name elements are ASCII letters, digits and "_" and may not start with a digit.
    const QString path = QDir::cleanPath(QFileInfo(dataDirectory).absoluteFilePath());
    const QByteArray digest = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256);
    return QString::fromLatin1(defaultServiceName) + QStringLiteral(".Data_") +
           QString::fromLatin1(digest.left(8).toHex());
}

QString serviceName() {
    try {
        return serviceName(AppPaths::dataDirectory());
    } catch (const std::exception&) {
        return QString::fromLatin1(defaultServiceName);
    }
}

std::optional<QDBusConnection> sessionBus() {
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        // libdbus would otherwise "autolaunch" a daemon of its own when a display is set.
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (runtime.isEmpty() || !QFileInfo::exists(runtime + QStringLiteral("/bus"))) return std::nullopt;
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(runtime) + "/bus");
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return std::nullopt;
    return bus;
}

}  // namespace quibsum::SumBusAddress
