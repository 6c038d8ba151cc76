#include "QuibSum/desktop/DesktopClipboard.h"

#include <QClipboard>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QGuiApplication>

namespace quibsum::DesktopClipboard {

namespace {

void copyWithQt(const QString& text) { QGuiApplication::clipboard()->setText(text); }

}  // namespace

void copy(const QString& text, const QDBusConnection& bus) {
    if (!bus.isConnected()) return copyWithQt(text);
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(klipperService), QString::fromLatin1(klipperPath),
                                       QString::fromLatin1(klipperInterface), QStringLiteral("setClipboardContents"));
    call << text;
    // Klipper is part of the Plasma session: never start it for this. Without it the bus
    // answers at once with an error, and Qt's clipboard takes the text.
    call.setAutoStartService(false);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 2000), QGuiApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [text](QDBusPendingCallWatcher* done) {
        if (done->isError()) copyWithQt(text);
        done->deleteLater();
    });
}

}  // namespace quibsum::DesktopClipboard
