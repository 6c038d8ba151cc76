#pragma once
// FakePortal: a stand-in for the desktop portal's GlobalShortcuts interface on a test's session
// bus. It answers CreateSession and BindShortcuts with Response signals on the request paths
// the real portal uses, records the trigger asked for and the sessions closed, and can refuse
// the binding as a user would. Lives in its own thread, so that blocking calls from the main
// thread get their answers.

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <atomic>

namespace quibsum {

class FakePortal final : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        const QString member = message.member();
        if (message.interface() == QLatin1String("org.freedesktop.DBus.Properties") && member == "Get") {
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(1u))));
            return true;
        }
        if (member == QLatin1String("Close")) {
            QMutexLocker lock(&mutex_);
            closed_.append(message.path());
            connection.send(message.createReply());
            return true;
        }
        if (member != QLatin1String("CreateSession") && member != QLatin1String("BindShortcuts")) return false;

        const QList<QVariant> arguments = message.arguments();
        const QVariantMap options = qdbus_cast<QVariantMap>(arguments.last());
        QString sender = message.service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString request = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                                    .arg(sender, options.value(QStringLiteral("handle_token")).toString());
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));

        QVariantMap results;
        uint response = 0;
        if (member == QLatin1String("CreateSession")) {
            const QString session = QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
                                        .arg(sender, options.value(QStringLiteral("session_handle_token")).toString());
            results.insert(QStringLiteral("session_handle"), session);
        } else {
            QMutexLocker lock(&mutex_);
            session_ = qdbus_cast<QDBusObjectPath>(arguments.at(0)).path();
            const QDBusArgument shortcuts = arguments.at(1).value<QDBusArgument>();
            shortcuts.beginArray();
            while (!shortcuts.atEnd()) {
                QString id;
                QVariantMap properties;
                shortcuts.beginStructure();
                shortcuts >> id >> properties;
                shortcuts.endStructure();
                bound_.append(id + QLatin1Char('=') + properties.value(QStringLiteral("preferred_trigger")).toString());
            }
            shortcuts.endArray();
            if (refuse) response = 1;  // the user cancelled
        }
        QDBusMessage signal = QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"),
                                                         QStringLiteral("Response"));
        signal << response << results;
        connection.send(signal);
        return true;
    }

    // The desktop reports a press of `shortcut` in `session` (the last bound one when empty).
    void activate(const QDBusConnection& connection, const QString& shortcut, QString session = {}) {
        if (session.isEmpty()) session = lastSession();
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/portal/desktop"),
                                                         QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
                                                         QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(session)) << shortcut << qulonglong(0) << QVariantMap();
        connection.send(signal);
    }

    QStringList bound() const {
        QMutexLocker lock(&mutex_);
        return bound_;
    }
    QStringList closed() const {
        QMutexLocker lock(&mutex_);
        return closed_;
    }
    QString lastSession() const {
        QMutexLocker lock(&mutex_);
        return session_;
    }

    std::atomic<bool> refuse = false;

private:
    mutable QMutex mutex_;
    QStringList bound_;  // "id=preferred trigger"
    QStringList closed_;
    QString session_;
};

}  // namespace quibsum
