#pragma once
// FakePortal: a stand-in for the desktop portal's GlobalShortcuts interface on a test's session
// bus. It answers CreateSession and BindShortcuts with Response signals on the request paths
// the real portal uses, records what it bound, the BindShortcuts calls and the sessions
// closed, and can refuse as a user would. By default it behaves as KDE Plasma 5.27's portal
// does: it binds the shortcuts given in CreateSession's options and answers CreateSession
// with them, and answers BindShortcuts with those too (an empty list when there were none),
// whatever BindShortcuts asks for (Plasma also opens its shortcut settings then). Lives in its
// own thread, so that blocking calls from the main thread get their answers.

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <atomic>

struct FakePortalShortcut {
    QString id;
    QVariantMap properties;
};
Q_DECLARE_METATYPE(FakePortalShortcut)

inline QDBusArgument& operator<<(QDBusArgument& argument, const FakePortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

inline const QDBusArgument& operator>>(const QDBusArgument& argument, FakePortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

namespace quibsum {

class FakePortal final : public QDBusVirtualObject {
public:
    enum class Answer {
        plasma,    // binds what CreateSession named; BindShortcuts answers with that list
        standard,  // binds what BindShortcuts names; CreateSession answers no shortcuts
        empty,     // answers success, but binds nothing: an empty list
        cancel,    // the user cancels the binding (response 1)
    };

    FakePortal() {
        qDBusRegisterMetaType<FakePortalShortcut>();
        qDBusRegisterMetaType<QList<FakePortalShortcut>>();
    }

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
        QMutexLocker lock(&mutex_);
        if (member == QLatin1String("CreateSession")) {
            const QString session = QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
                                        .arg(sender, options.value(QStringLiteral("session_handle_token")).toString());
            const QList<FakePortalShortcut> named = shortcutsIn(options.value(QStringLiteral("shortcuts")));
            created_[session] = named;
            session_ = session;
            results.insert(QStringLiteral("session_handle"), session);
            if (answer == Answer::plasma) {
                record(named);
                results.insert(QStringLiteral("shortcuts"), QVariant::fromValue(granted(named)));
            }
        } else {
            session_ = qdbus_cast<QDBusObjectPath>(arguments.at(0)).path();
            const QList<FakePortalShortcut> asked = shortcutsIn(arguments.at(1));
            QList<FakePortalShortcut> binding = answer == Answer::plasma ? created_.value(session_) : asked;
            if (answer == Answer::empty) binding.clear();
            if (answer == Answer::cancel) {
                response = 1;
            } else {
                if (answer != Answer::plasma) record(binding);
                results.insert(QStringLiteral("shortcuts"), QVariant::fromValue(granted(binding)));
            }
            asked_.append(asked.size());
        }
        QDBusMessage signal = QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"),
                                                         QStringLiteral("Response"));
        signal << response << results;
        connection.send(signal);
        return true;
    }

    // The desktop reports a press of `shortcut` in `session` (the last bound one when empty).
    void activate(const QDBusConnection& connection, const QString& shortcut, QString session = {},
                  const QVariantMap& options = {}) {
        if (session.isEmpty()) session = lastSession();
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/portal/desktop"),
                                                         QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
                                                         QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(session)) << shortcut << qulonglong(0) << options;
        connection.send(signal);
    }

    // "id=preferred trigger" of every shortcut bound, in order.
    QStringList bound() const {
        QMutexLocker lock(&mutex_);
        return bound_;
    }
    // How many shortcuts each BindShortcuts call named, one entry per call.
    QList<qsizetype> asked() const {
        QMutexLocker lock(&mutex_);
        return asked_;
    }
    QStringList closed() const {
        QMutexLocker lock(&mutex_);
        return closed_;
    }
    QString lastSession() const {
        QMutexLocker lock(&mutex_);
        return session_;
    }

    std::atomic<Answer> answer = Answer::plasma;

private:
    void record(const QList<FakePortalShortcut>& binding) {
        for (const FakePortalShortcut& s : binding)
            bound_.append(s.id + QLatin1Char('=') + s.properties.value(QStringLiteral("preferred_trigger")).toString());
    }

    static QList<FakePortalShortcut> shortcutsIn(const QVariant& value) {
        if (value.metaType() != QMetaType::fromType<QDBusArgument>()) return {};
        const auto argument = value.value<QDBusArgument>();
        if (argument.currentSignature() != QLatin1String("a(sa{sv})")) return {};
        return qdbus_cast<QList<FakePortalShortcut>>(argument);
    }

    // What the portal answers for bound shortcuts: the trigger as the desktop shows it.
    static QList<FakePortalShortcut> granted(const QList<FakePortalShortcut>& shortcuts) {
        QList<FakePortalShortcut> answer;
        for (const FakePortalShortcut& s : shortcuts)
            answer.append(
                {s.id,
                 {{QStringLiteral("description"), s.properties.value(QStringLiteral("description"))},
                  {QStringLiteral("trigger_description"), s.properties.value(QStringLiteral("preferred_trigger"))}}});
        return answer;
    }

    mutable QMutex mutex_;
    QHash<QString, QList<FakePortalShortcut>> created_;  // by session: what CreateSession named
    QStringList bound_;
    QList<qsizetype> asked_;
    QStringList closed_;
    QString session_;
};

}  // namespace quibsum
