#include "QuibSum/desktop/PanelIcon.h"

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

namespace quibsum {

PanelIcon::PanelIcon(QObject* parent)
    : QObject(parent), menu_(std::make_unique<QMenu>()), icon_(new QSystemTrayIcon(this)) {
    // The installed icon; run from a build tree, the desktop's calculator icon.
    icon_->setIcon(
        QIcon::fromTheme(QStringLiteral("quibsum"), QIcon::fromTheme(QStringLiteral("accessories-calculator"))));
    icon_->setToolTip(QStringLiteral("Quib Sum"));
    menu_->addAction(tr("Show Quib Sum"), this, &PanelIcon::showRequested);
    menu_->addAction(tr("New Sheet"), this, &PanelIcon::newSheetRequested);
    menu_->addAction(tr("Update Rates"), this, &PanelIcon::updateRatesRequested);
    menu_->addAction(tr("Settings…"), this, &PanelIcon::settingsRequested);
    menu_->addSeparator();
    menu_->addAction(tr("Quit"), this, &PanelIcon::quitRequested);
    icon_->setContextMenu(menu_.get());
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) emit toggleRequested();
    });
}

PanelIcon::~PanelIcon() = default;

bool PanelIcon::available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void PanelIcon::setWanted(bool wanted) { icon_->setVisible(wanted && available()); }

bool PanelIcon::isShown() const { return icon_->isVisible(); }

}  // namespace quibsum
