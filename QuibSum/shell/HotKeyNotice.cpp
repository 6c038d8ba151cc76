#include "QuibSum/shell/HotKeyNotice.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "QuibSum/shell/hotkey/GnomeShortcut.h"
#include "QuibSum/storage/SumSettings.h"

namespace quibsum {

HotKeyNotice::HotKeyNotice(SumSettings& settings, HotKeyAdvice::Desktop desktop, const GnomeShortcut* gnome,
                           bool dismissible, QWidget* parent)
    : QFrame(parent),
      settings_(settings),
      desktop_(desktop),
      gnome_(desktop == HotKeyAdvice::Desktop::gnome ? gnome : nullptr),
      message_(new QLabel(this)),
      line_(new QLabel(this)),
      action_(new QPushButton(this)),
      dismiss_(new QToolButton(this)) {
    setObjectName(QStringLiteral("hotKeyNotice"));
    setFrameShape(QFrame::NoFrame);
    message_->setObjectName(QStringLiteral("hotKeyAdvice"));
    message_->setWordWrap(true);
    message_->setTextFormat(Qt::PlainText);
    line_->setObjectName(QStringLiteral("hotKeyLine"));
    line_->setTextFormat(Qt::PlainText);
    line_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    line_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    action_->setObjectName(QStringLiteral("hotKeyAction"));
    dismiss_->setObjectName(QStringLiteral("hotKeyDismiss"));
    dismiss_->setText(QStringLiteral("×"));
    dismiss_->setAutoRaise(true);
    dismiss_->setToolTip(tr("Dismiss"));
    dismiss_->setAccessibleName(tr("Dismiss"));
    dismiss_->setVisible(dismissible);

    auto* text = new QVBoxLayout;
    text->setSpacing(4);
    text->addWidget(message_);
    auto* actionRow = new QHBoxLayout;
    actionRow->addWidget(line_, 1);
    actionRow->addWidget(action_);
    if (desktop_ != HotKeyAdvice::Desktop::sway) actionRow->insertStretch(0);
    text->addLayout(actionRow);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(dismissible ? 8 : 0, 6, dismissible ? 4 : 0, 6);
    row->addLayout(text, 1);
    row->addWidget(dismiss_, 0, Qt::AlignTop);

    connect(action_, &QPushButton::clicked, this, [this] { act(); });
    connect(dismiss_, &QToolButton::clicked, this, &HotKeyNotice::dismissed);
    connect(&settings_, &SumSettings::hotkeyChanged, this, [this] { refresh(); });
    refresh();
}

void HotKeyNotice::refresh() {
    const HotKeyCombination combination{settings_.hotkeyCode(), settings_.hotkeyModifiers()};
    message_->setText(HotKeyAdvice::text(desktop_, combination));
    line_->hide();
    action_->hide();
    action_->setEnabled(true);
    switch (desktop_) {
        case HotKeyAdvice::Desktop::sway:
            if (const std::optional<QString> binding = HotKeyAdvice::swayLine(combination)) {
                line_->setText(*binding);
                line_->show();
                action_->setText(tr("Copy"));
                action_->show();
            }
            break;
        case HotKeyAdvice::Desktop::gnome:
            if (!gnome_ || !HotKeyAdvice::gnomeBinding(combination)) break;
            if (gnome_->isAdded()) {
                message_->setText(
                    tr("%1 is in GNOME's keyboard shortcuts, where it opens Quib Sum.").arg(combination.label()));
            } else {
                action_->setText(tr("Add to GNOME Shortcuts"));
                action_->show();
            }
            break;
        case HotKeyAdvice::Desktop::other:
            break;
    }
}

void HotKeyNotice::act() {
    const HotKeyCombination combination{settings_.hotkeyCode(), settings_.hotkeyModifiers()};
    if (desktop_ == HotKeyAdvice::Desktop::sway) {
        QGuiApplication::clipboard()->setText(line_->text());
        action_->setText(tr("Copied"));
        return;
    }
    if (!gnome_) return;
    if (const std::optional<QString> error = gnome_->write(combination)) {
        message_->setText(tr("The shortcut could not be added to GNOME's settings: %1").arg(*error));
        return;
    }
    refresh();
    emit shortcutAdded();
}

}  // namespace quibsum
