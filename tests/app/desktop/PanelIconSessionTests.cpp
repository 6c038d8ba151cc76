// The panel icon on an X display with a StatusNotifierWatcher on the session bus, as KDE,
// Xfce and GNOME's AppIndicator extension provide: the icon registers its item with the
// watcher, the item answers at the name it gave, a click on it asks for the window, and a
// hidden icon leaves the bus.

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QSignalSpy>

#include "QuibSum/desktop/PanelIcon.h"
#include "tests/app/desktop/FakeBusService.h"
#include "tests/app/hotkey/WaitUntil.h"

namespace quibsum {
namespace {

// The sizes of the pixmaps in an IconPixmap value (a(iiay): width, height, ARGB bytes).
QList<int> pixmapWidths(const QDBusMessage& reply) {
    const QDBusArgument pixmaps = reply.arguments().value(0).value<QDBusVariant>().variant().value<QDBusArgument>();
    QList<int> widths;
    pixmaps.beginArray();
    while (!pixmaps.atEnd()) {
        int width = 0, height = 0;
        QByteArray bytes;
        pixmaps.beginStructure();
        pixmaps >> width >> height >> bytes;
        pixmaps.endStructure();
        if (bytes.size() == width * height * 4) widths << width;
    }
    pixmaps.endArray();
    return widths;
}

QDBusMessage itemProperty(const QString& item, const QString& name) {
    QDBusMessage get =
        QDBusMessage::createMethodCall(item, QStringLiteral("/StatusNotifierItem"),
                                       QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.kde.StatusNotifierItem") << name;
    return get;
}

// Calls the item from a connection of its own, without blocking: the item answers from this
// thread's event loop.
QDBusMessage callItem(const QDBusMessage& message) {
    static QDBusConnection client =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("panel client"));
    QDBusPendingCall pending = client.asyncCall(message, 5000);
    EXPECT_TRUE(waitUntil([&] { return pending.isFinished(); }));
    return pending.reply();
}

// What Qt reads, by introspection, before it trusts the watcher.
const QString watcherInterface = QStringLiteral(
    "<interface name=\"org.kde.StatusNotifierWatcher\">"
    "<method name=\"RegisterStatusNotifierItem\"><arg name=\"service\" type=\"s\" direction=\"in\"/></method>"
    "<method name=\"RegisterStatusNotifierHost\"><arg name=\"service\" type=\"s\" direction=\"in\"/></method>"
    "<property name=\"RegisteredStatusNotifierItems\" type=\"as\" access=\"read\"/>"
    "<property name=\"IsStatusNotifierHostRegistered\" type=\"b\" access=\"read\"/>"
    "<property name=\"ProtocolVersion\" type=\"i\" access=\"read\"/>"
    "</interface>");

TEST(PanelIconSession, RegistersWithTheWatcherAndAClickAsksForTheWindow) {
    FakeBusService watcher(QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
                           {{QStringLiteral("IsStatusNotifierHostRegistered"), true},
                            {QStringLiteral("ProtocolVersion"), 0},
                            {QStringLiteral("RegisteredStatusNotifierItems"), QStringList{}}},
                           watcherInterface);
    ASSERT_TRUE(watcher.isRegistered());
    ASSERT_TRUE(PanelIcon::available());

    PanelIcon icon;
    QSignalSpy toggled(&icon, &PanelIcon::toggleRequested);
    icon.setWanted(true);
    EXPECT_TRUE(icon.isShown());

    QString item;
    ASSERT_TRUE(waitUntil([&] {
        for (const FakeBusService::Call& call : watcher.calls())
            if (call.member == QLatin1String("RegisterStatusNotifierItem")) item = call.arguments.value(0).toString();
        return !item.isEmpty();
    }));

    const QDBusMessage status = callItem(itemProperty(item, QStringLiteral("Status")));
    ASSERT_EQ(status.type(), QDBusMessage::ReplyMessage) << status.errorMessage().toStdString();
    EXPECT_EQ(status.arguments().value(0).value<QDBusVariant>().variant().toString(), QStringLiteral("Active"));
    // The test's desktop has no icon theme: the item still shows an icon of its own.
    EXPECT_FALSE(pixmapWidths(callItem(itemProperty(item, QStringLiteral("IconPixmap")))).isEmpty());

    QDBusMessage click =
        QDBusMessage::createMethodCall(item, QStringLiteral("/StatusNotifierItem"),
                                       QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Activate"));
    click << 10 << 10;
    EXPECT_EQ(callItem(click).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(waitUntil([&] { return toggled.count() == 1; }));

    icon.setWanted(false);
    EXPECT_FALSE(icon.isShown());
    EXPECT_TRUE(
        waitUntil([&] { return !QDBusConnection::sessionBus().interface()->isServiceRegistered(item).value(); }));
}

}  // namespace
}  // namespace quibsum
