#pragma once
// FakeBusService: a stand-in for a desktop service (Klipper, a StatusNotifierWatcher) on the
// test's session bus. It owns a bus name on a connection of its own, in a thread of its own
// (so that a blocking call from the main thread gets its answer), answers every method call
// at its path with an empty reply and org.freedesktop.DBus.Properties.Get with the values it
// was given, describes the interface it was given when introspected (callers that use
// QDBusInterface read properties only after introspection), and records the calls it
// received, for the test to wait on.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>
#include <QVariantMap>

namespace quibsum {

class FakeBusService final : public QDBusVirtualObject {
public:
    struct Call {
        QString interface;
        QString member;
        QVariantList arguments;
    };

    FakeBusService(const QString& service, const QString& path, QVariantMap properties = {}, QString interfaceXml = {})
        : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake ") + service)),
          service_(service),
          properties_(std::move(properties)),
          interfaceXml_(std::move(interfaceXml)) {
        moveToThread(&thread_);
        thread_.start();
        registered_ = bus_.registerVirtualObject(path, this) && bus_.registerService(service);
    }

    ~FakeBusService() override {
        bus_.unregisterService(service_);
        QDBusConnection::disconnectFromBus(bus_.name());
        thread_.quit();
        thread_.wait();
    }

    bool isRegistered() const { return registered_; }

    QList<Call> calls() const {
        QMutexLocker lock(&mutex_);
        return calls_;
    }

    QString introspect(const QString&) const override { return interfaceXml_; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        // Introspection is Qt's, from introspect().
        if (message.interface() == QLatin1String("org.freedesktop.DBus.Introspectable")) return false;
        {
            QMutexLocker lock(&mutex_);
            calls_.append({message.interface(), message.member(), message.arguments()});
        }
        if (message.interface() == QLatin1String("org.freedesktop.DBus.Properties") &&
            message.member() == QLatin1String("Get")) {
            const QString name = message.arguments().value(1).toString();
            if (!properties_.contains(name)) {
                connection.send(message.createErrorReply(QDBusError::UnknownProperty, name));
                return true;
            }
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(properties_.value(name)))));
            return true;
        }
        connection.send(message.createReply());
        return true;
    }

private:
    QDBusConnection bus_;
    QString service_;
    QVariantMap properties_;
    QString interfaceXml_;
    QThread thread_;
    bool registered_ = false;
    mutable QMutex mutex_;
    QList<Call> calls_;
};

}  // namespace quibsum
