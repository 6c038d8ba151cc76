#include "QuibSum/shell/hotkey/portal/PortalHotKey.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QList>
#include <algorithm>

#include "QuibSum/storage/HotKeyCombination.h"

namespace {

// One entry of the portal's shortcut lists, a(sa{sv}): asked for in CreateSession and
// BindShortcuts, granted in their answers.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

}  // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace quibsum {

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString sessionInterface = QStringLiteral("org.freedesktop.portal.Session");
const QString shortcutId = QStringLiteral("toggle");
// Method calls answer at once (the user's decision comes as a signal), so a slow answer means
// a portal that is not working.
constexpr int callTimeoutMs = 5000;

QDBusMessage portalCall(const QString& method) {
    return QDBusMessage::createMethodCall(portalService, portalPath, shortcutsInterface, method);
}

// The session handle arrives as a string in the interface's first version, and as an object
// path from some portals.
QString sessionHandle(const QVariant& value) {
    if (value.metaType() == QMetaType::fromType<QDBusObjectPath>()) return value.value<QDBusObjectPath>().path();
    return value.toString();
}

// Whether an answer's `shortcuts` grants the one shortcut asked for. A portal that binds
// nothing still answers success, with an empty or partial list: that is a refusal too.
bool grants(const QVariantMap& results, const QString& id) {
    const QVariant value = results.value(QStringLiteral("shortcuts"));
    if (value.metaType() != QMetaType::fromType<QDBusArgument>()) return false;
    const auto argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("a(sa{sv})")) return false;
    const auto granted = qdbus_cast<QList<PortalShortcut>>(argument);
    return std::any_of(granted.begin(), granted.end(), [&](const PortalShortcut& s) { return s.id == id; });
}

}  // namespace

PortalHotKey::PortalHotKey(const QDBusConnection& bus) : bus_(bus) {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    bus_.connect(portalService, portalPath, shortcutsInterface, QStringLiteral("Activated"), this,
                 SLOT(activated(QDBusMessage)));
}

PortalHotKey::~PortalHotKey() { unregister(); }

bool PortalHotKey::available(const QDBusConnection& bus) {
    if (!bus.isConnected()) return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        portalService, portalPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << shortcutsInterface << QStringLiteral("version");
    const QDBusMessage reply = bus.call(get, QDBus::Block, callTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

QVariant PortalHotKey::wanted() const {
    return QVariant::fromValue(
        QList<PortalShortcut>{{shortcutId,
                               {{QStringLiteral("description"), QStringLiteral("Show or hide Quib Sum")},
                                {QStringLiteral("preferred_trigger"), trigger_}}}});
}

QString PortalHotKey::nextToken() { return QStringLiteral("quibsum%1").arg(++tokens_); }

QString PortalHotKey::requestPath(const QString& token) const {
    // The portal names a request after the caller's unique bus name; knowing the path before
    // the call lets the Response be caught even when it comes at once.
    QString sender = bus_.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

bool PortalHotKey::awaitResponse(const QString& path, const char* slot) {
    stopAwaiting();
    awaitedPath_ = path;
    return bus_.connect(portalService, path, requestInterface, QStringLiteral("Response"), this, slot);
}

void PortalHotKey::stopAwaiting() {
    if (awaitedPath_.isEmpty()) return;
    bus_.disconnect(portalService, awaitedPath_, requestInterface, QStringLiteral("Response"), this, nullptr);
    awaitedPath_.clear();
}

void PortalHotKey::registerCombination(std::uint32_t code, std::uint32_t modifiers) {
    unregister();
    const std::optional<QString> trigger = HotKeyCombination{code, modifiers}.portalTrigger();
    if (!trigger) throw HotKeyError::noSuchKey(code, modifiers);
    if (!bus_.isConnected()) throw HotKeyError::unavailable(code, modifiers);
    code_ = code;
    modifiers_ = modifiers;
    trigger_ = *trigger;

    const QString token = nextToken();
    if (!awaitResponse(requestPath(token), SLOT(sessionCreated(uint, QVariantMap))))
        throw HotKeyError::unavailable(code, modifiers);
    // Plasma's portal binds only the shortcuts it is given here; others read BindShortcuts'.
    QDBusMessage create = portalCall(QStringLiteral("CreateSession"));
    create << QVariantMap{{QStringLiteral("handle_token"), token},
                          {QStringLiteral("session_handle_token"), nextToken()},
                          {QStringLiteral("shortcuts"), wanted()}};
    const QDBusMessage reply = bus_.call(create, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        stopAwaiting();
        throw HotKeyError::unavailable(code, modifiers);
    }
}

void PortalHotKey::sessionCreated(uint response, const QVariantMap& results) {
    stopAwaiting();
    session_ = sessionHandle(results.value(QStringLiteral("session_handle")));
    if (response != 0 || session_.isEmpty()) return refuse();
    // Plasma binds the shortcuts named at creation and says so here; binding them again would
    // open its shortcut settings in the user's face at every start.
    if (grants(results, shortcutId)) return;

    const QString token = nextToken();
    awaitResponse(requestPath(token), SLOT(shortcutsBound(uint, QVariantMap)));
    QDBusMessage bind = portalCall(QStringLiteral("BindShortcuts"));
    bind << QVariant::fromValue(QDBusObjectPath(session_)) << wanted() << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token}};
    const QDBusMessage reply = bus_.call(bind, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) refuse();
}

void PortalHotKey::shortcutsBound(uint response, const QVariantMap& results) {
    stopAwaiting();
    if (response != 0 || !grants(results, shortcutId)) refuse();
}

void PortalHotKey::activated(const QDBusMessage& signal) {
    // (o session_handle, s shortcut_id, t timestamp, a{sv} options)
    const QList<QVariant> arguments = signal.arguments();
    if (session_.isEmpty() || arguments.size() < 2) return;
    if (arguments.at(0).value<QDBusObjectPath>().path() != session_ || arguments.at(1).toString() != shortcutId) return;
    // Newer portals send the compositor's activation token with the press.
    QString token;
    if (arguments.size() >= 4) {
        const QVariantMap options = qdbus_cast<QVariantMap>(arguments.at(3));
        const QVariant value = options.value(QStringLiteral("activation_token"));
        if (value.metaType() == QMetaType::fromType<QString>()) token = value.toString();
    }
    reportPress(token);
}

void PortalHotKey::refuse() {
    unregister();
    emit failed(HotKeyError::refused(code_, modifiers_));
}

void PortalHotKey::unregister() {
    stopAwaiting();
    if (session_.isEmpty()) return;
    bus_.call(QDBusMessage::createMethodCall(portalService, session_, sessionInterface, QStringLiteral("Close")),
              QDBus::NoBlock);
    session_.clear();
}

}  // namespace quibsum
