#pragma once
// DesktopClipboard: puts a result of the desktop's search on the clipboard. The application
// answering a search has no window in focus, often no window shown at all, and a Wayland
// compositor may give the clipboard only to the client with the keyboard focus: KWin refuses
// it (mutter lets it through). Where KDE's clipboard manager, Klipper, is on the session bus,
// it sets the clipboard for us, as Plasma's own runners do; elsewhere, or when Klipper does
// not answer, Qt's clipboard does. Never waits: the call to Klipper goes out asynchronously.

#include <QDBusConnection>
#include <QString>

namespace quibsum::DesktopClipboard {

inline constexpr char klipperService[] = "org.kde.klipper";
inline constexpr char klipperPath[] = "/klipper";
inline constexpr char klipperInterface[] = "org.kde.klipper.klipper";

void copy(const QString& text, const QDBusConnection& bus);

}  // namespace quibsum::DesktopClipboard
