#include "QuibSum/desktop/PanelIcon.h"

#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace quibsum {

namespace {

// The installed icon; run from a build tree, the desktop's calculator icon; where the icon
// theme has neither, a drawn one, so that the panel never shows an empty slot.
QIcon panelIcon() {
    QIcon icon =
        QIcon::fromTheme(QStringLiteral("quibsum"), QIcon::fromTheme(QStringLiteral("accessories-calculator")));
    if (!icon.isNull()) return icon;
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xF5, 0xC2, 0x11));
        painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1.0, size - 1.0), size / 5.0, size / 5.0);
        QFont font = painter.font();
        font.setPixelSize(size * 3 / 4);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(QColor(0x20, 0x20, 0x20));
        painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("Σ"));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

PanelIcon::PanelIcon(QObject* parent)
    : QObject(parent), menu_(std::make_unique<QMenu>()), icon_(new QSystemTrayIcon(this)) {
    icon_->setIcon(panelIcon());
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
