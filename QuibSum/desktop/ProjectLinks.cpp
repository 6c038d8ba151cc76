#include "QuibSum/desktop/ProjectLinks.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>

namespace quibsum::ProjectLinks {

QString donate() { return QStringLiteral(QUIBSUM_DONATE_URL); }

QString releases() { return QStringLiteral(QUIBSUM_RELEASES_URL); }

bool open(const QString& address, QWidget* parent, const UrlOpener& opener) {
    const QUrl url(address);
    const bool opened = url.isValid() && (opener ? opener(url) : QDesktopServices::openUrl(url));
    if (opened) return true;
    // Not modal to the whole program: the window it stands over may hide, and nothing waits.
    auto* alert = new QMessageBox(QMessageBox::Warning, QCoreApplication::translate("ProjectLinks", "Quib Sum"),
                                  QCoreApplication::translate("ProjectLinks", "No program could open %1.").arg(address),
                                  QMessageBox::Ok, parent);
    alert->setObjectName(QStringLiteral("linkAlert"));
    alert->setInformativeText(
        QCoreApplication::translate("ProjectLinks", "Copy the address into a web browser to open it there."));
    alert->setTextInteractionFlags(Qt::TextSelectableByMouse);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->open();
    return false;
}

}  // namespace quibsum::ProjectLinks
