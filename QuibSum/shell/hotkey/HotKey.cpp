#include "QuibSum/shell/hotkey/HotKey.h"

#include <QDBusConnection>
#include <QGuiApplication>

#include "QuibSum/shell/hotkey/none/NoHotKey.h"
#include "QuibSum/shell/hotkey/portal/PortalHotKey.h"
#include "QuibSum/shell/hotkey/x11/X11HotKey.h"

namespace quibsum {

HotKey::Mechanism HotKey::mechanismFor(const QString& sessionType, const QString& platformName) {
    if (sessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0 ||
        platformName.startsWith(QLatin1String("wayland")))
        return Mechanism::portal;
    if (platformName == QLatin1String("xcb")) return Mechanism::x11;
    return Mechanism::none;
}

std::unique_ptr<HotKey> HotKey::create() {
    const QString platform = qGuiApp ? QGuiApplication::platformName() : QString();
    switch (mechanismFor(qEnvironmentVariable("XDG_SESSION_TYPE"), platform)) {
        case Mechanism::x11:
            return std::make_unique<X11HotKey>();
        case Mechanism::portal: {
            QDBusConnection bus = QDBusConnection::sessionBus();
            if (PortalHotKey::available(bus)) return std::make_unique<PortalHotKey>(bus);
            return std::make_unique<NoHotKey>();
        }
        case Mechanism::none:
            break;
    }
    return std::make_unique<NoHotKey>();
}

}  // namespace quibsum
