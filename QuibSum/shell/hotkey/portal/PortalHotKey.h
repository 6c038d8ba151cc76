#pragma once
// PortalHotKey: the hot key on Wayland, through the desktop portal's GlobalShortcuts interface.
// Each registration opens a portal session and binds one shortcut with the combination as its
// preferred trigger. The shortcut is named when the session is created, which is where KDE
// Plasma's portal takes it, and bound with BindShortcuts unless the session's answer already
// grants it. The desktop may ask the user, so a refusal arrives later through failed(); an
// answer that does not grant the shortcut is a refusal too. The user can also change the trigger in the
// desktop's own settings.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include "QuibSum/shell/hotkey/HotKey.h"

namespace quibsum {

class PortalHotKey final : public HotKey {
    Q_OBJECT

public:
    explicit PortalHotKey(const QDBusConnection& bus);
    ~PortalHotKey() override;

    // Whether the bus has a portal that offers GlobalShortcuts; an answer takes at most a few
    // seconds even when the portal has to be started.
    static bool available(const QDBusConnection& bus);

    void registerCombination(std::uint32_t code, std::uint32_t modifiers) override;
    void unregister() override;
    Mechanism mechanism() const override { return Mechanism::portal; }

private slots:
    void sessionCreated(uint response, const QVariantMap& results);
    void shortcutsBound(uint response, const QVariantMap& results);
    void activated(const QDBusMessage& signal);

private:
    // The shortcut list asked for, a(sa{sv}).
    QVariant wanted() const;
    QString nextToken();
    QString requestPath(const QString& token) const;
    bool awaitResponse(const QString& path, const char* slot);
    void stopAwaiting();
    void refuse();

    QDBusConnection bus_;
    QString awaitedPath_;  // the portal request whose Response comes next
    QString session_;      // the open session's object path
    std::uint32_t code_ = 0;
    std::uint32_t modifiers_ = 0;
    QString trigger_;
    int tokens_ = 0;
};

}  // namespace quibsum
