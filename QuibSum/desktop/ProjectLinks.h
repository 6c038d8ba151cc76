#pragma once
// The project's web pages that the program opens: where to support it and where its releases
// are published (there is no self-updating binary: a new release is installed like any other
// package). Packagers set them when building (QUIBSUM_DONATE_URL, QUIBSUM_RELEASES_URL); a
// page left unset has no menu item or button.

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace quibsum::ProjectLinks {

QString donate();
QString releases();

// Opens `address` in the desktop's browser. When no program takes it, an alert over `parent`
// says so and names the address, so that the user can open it another way.
using UrlOpener = std::function<bool(const QUrl&)>;
bool open(const QString& address, QWidget* parent, const UrlOpener& opener = {});

}  // namespace quibsum::ProjectLinks
